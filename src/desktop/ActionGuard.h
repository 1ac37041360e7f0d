#pragma once

#include "desktop/Prompts.h"
#include "store/Error.h"

#include <exception>

namespace wm {

// Runs one user action. A failure stops the action and shows its message in the error box; nothing
// escapes into the event loop. Returns whether the action ran to its end.
template <typename Action> bool guarded(Prompts& prompts, Action&& action) {
    try {
        action();
        return true;
    } catch (const Error& e) {
        prompts.error(e.message());
    } catch (const std::exception& e) {
        prompts.error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace wm

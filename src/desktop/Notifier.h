#pragma once

#include <QString>

namespace wm {

// Short announcements (all boats entered, race over, PDF written): shown for 10 seconds, replacing any
// notice still on screen.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& text) = 0;
    // Removes a notice still on screen (before a report preview, which it would cover).
    virtual void clear() {}
};

} // namespace wm

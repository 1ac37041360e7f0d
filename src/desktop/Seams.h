#pragma once

#include "store/ProgramDir.h"

namespace wm {

class Clock;
class Notifier;
class Preview;
class Prompts;

// What every window and panel takes from outside: the program folder and the seams that tests replace. The
// objects lent here outlive every window that holds the bundle.
struct Seams {
    ProgramDir programDir;
    const Clock& clock;
    Prompts& prompts;
    Notifier& notifier;
    Preview& preview;
};

} // namespace wm

#pragma once

#include "store/ProgramDir.h"

#include <QUrl>

#include <functional>

namespace wm {

class Clock;
class Prompts;
class Notifier;
class Preview;
class SignalSound;

// What the windows take from outside: the program folder and the seams that tests replace.
struct Services {
    ProgramDir programDir;
    QString programFile; // the executable, for its version
    Clock* clock = nullptr;
    Prompts* prompts = nullptr;
    Notifier* notifier = nullptr; // null: the tray icon (or the main window where there is no tray)
    Preview* preview = nullptr;
    std::function<int()> screenWidth;         // null: the primary screen's width
    SignalSound* sound = nullptr;             // null: the machine's audio output
    std::function<bool(const QUrl&)> openUrl; // null: the desktop opens pages and folders
};

} // namespace wm

#pragma once

#include "timing/StartSignals.h"

#include <QObject>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QWidget;

namespace wm {

class Clock;
class IniFile;
class Prompts;
class SignalSound;
class StartClock;

// The start signals of the committee boat beside the start clocks: a start sequence that sets the start
// times, the cue line with the next signal and its sound, a general recall and a postponement. Every change of
// a start goes through the start fields, as if typed; with the cues off nothing sounds and the line is empty.
class SignalDesk : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QPushButton* sequence = nullptr; // cmdStartfolge
        QPushButton* recall = nullptr;   // cmdRueckruf
        QPushButton* postpone = nullptr; // cmdVerschieben
        QCheckBox* cues = nullptr;       // chkSignale
        QLabel* nextSignal = nullptr;    // lblNextSignal
        QWidget* window = nullptr;       // parent of the dialog
    };

    // `finishMode` tells whether the race is in finish mode, when the starts are no longer changed here.
    SignalDesk(const Clock& clock, Prompts& prompts, SignalSound& sound, StartClock& startClock, const Widgets& widgets,
               std::function<bool()> finishMode, QObject* parent = nullptr);

    const StartSequence& sequence() const { return m_sequence; }

    void cmdStartfolgeClick();
    void cmdRueckrufClick();
    void cmdVerschiebenClick();
    void chkSignaleClick();
    // The cue line for the current second, and its sound once a second (after every refresh of the clocks).
    void refresh();

    // [Signale] of prefs.ini: the sequence and whether the cues are on.
    void load(const IniFile& prefs);
    void save(IniFile& prefs) const;

private:
    // What the line shows, in full in its tooltip.
    void showLine(const QString& line);
    bool refusedInFinishMode();
    // Puts these start times into the start fields; false when one was refused.
    bool apply(const QList<std::pair<int, int>>& starts);
    void remember();
    int now() const;

    const Clock& m_clock;
    Prompts& m_prompts;
    SignalSound& m_sound;
    StartClock& m_startClock;
    Widgets m_w;
    std::function<bool()> m_finishMode;
    StartSequence m_sequence = startSequences().first();
    QString m_prefsPath;
    int m_sounded = -1; // the second whose sound has been given
    static constexpr int kSmallestLinePixels = 9;
    const int m_linePixels; // the line's type as laid out
};

} // namespace wm

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace wm {

// A start sequence in minutes before the start: the warning signal, the preparatory signal and the one-minute
// signal (0: the sequence has none), then the start at 0.
struct StartSequence {
    QString name; // "5-4-1-0"
    int warning = 5;
    int preparatory = 4;
    int oneMinute = 1;

    // From the warning signal to the start, in minutes.
    int length() const { return warning; }
};

// "5-4-1-0" (the default), "3-2-1-0", "10-5-0".
const QList<StartSequence>& startSequences();
// The sequence of this name; the default for a name it does not know.
StartSequence sequenceNamed(const QString& name);

// Times of day in whole seconds, as the start clocks show them (0 … 86399).
constexpr int kSecondsPerDay = 86400;
// The second a time value (a fraction of a day) shows on a clock.
int clockSecond(double time);
// A whole second as a time value.
double timeOfSecond(int second);

// The first start a sequence is set for by default: the next full five minutes at least one sequence length
// from now.
int proposedFirstStart(int now, const StartSequence& sequence);

// The start times of `groups` start groups, `interval` minutes apart from `first`. Refused (nothing, with the
// reason in `error`) when the interval is shorter than the sequence or the last start would fall after
// midnight.
std::optional<QList<int>> plannedStarts(int first, int interval, int groups, const StartSequence& sequence,
                                        QString* error);

enum class SignalKind { Warning, Preparatory, OneMinute, Start };

struct StartSignal {
    int start = 0; // 1 … 5
    SignalKind kind = SignalKind::Warning;
    int second = 0; // time of day
};

// Every signal of the given starts (start number, start second) under a sequence, by time, then by start.
// Signals before midnight of a start just after it are left out: the clocks know no date.
QList<StartSignal> signalSchedule(const QList<std::pair<int, int>>& starts, const StartSequence& sequence);

// The signals of the next cue: the first second of the schedule not yet passed at `now` (a signal's own second
// still counts, as a start's does on its clock), with every signal in that second. Empty when none is left.
QList<StartSignal> nextCue(const QList<StartSignal>& schedule, int now);

// The cue line: "Start 2 · Vorbereitungssignal in 00:45 · P setzen"; signals in one second joined by " + ".
// The time left is that of the start clocks: from `now` as a time value to the cue's second.
QString cueLine(const QList<StartSignal>& cue, double now);

// What sounds at second `now`: a long tone on a signal, a short beep in each of the five seconds before one.
enum class Sound { None, Beep, Tone };
Sound soundAt(const QList<StartSignal>& schedule, int now);

// A general recall of start `recalled`: it moves behind the last scheduled start, `interval` minutes after it;
// every other start keeps its time. `starts` are (start number, start second) of the active starts.
QList<std::pair<int, int>> recallStart(const QList<std::pair<int, int>>& starts, int recalled, int interval);

// The starts a general recall may concern at `now`: those whose start passed in the last ten minutes or comes
// within the next minute, latest first.
QList<int> recallCandidates(const QList<std::pair<int, int>>& starts, int now);

// A postponement: every start still to come at `now` (not yet passed on its clock) moves by `minutes`.
QList<std::pair<int, int>> postponeStarts(const QList<std::pair<int, int>>& starts, int now, int minutes);

// The minutes between starts of a sequence in use: the gap between the first two active starts, or the
// sequence length when there is only one.
int intervalOf(const QList<std::pair<int, int>>& starts, const StartSequence& sequence);

} // namespace wm

#include "timing/StartSignals.h"

#include "timing/TimeMath.h"

#include <algorithm>
#include <cmath>

namespace wm {

const QList<StartSequence>& startSequences() {
    static const QList<StartSequence> sequences = {{QStringLiteral("5-4-1-0"), 5, 4, 1},
                                                   {QStringLiteral("3-2-1-0"), 3, 2, 1},
                                                   {QStringLiteral("10-5-0"), 10, 5, 0}};
    return sequences;
}

StartSequence sequenceNamed(const QString& name) {
    for (const StartSequence& s : startSequences()) {
        if (s.name == name.trimmed()) {
            return s;
        }
    }
    return startSequences().first();
}

int clockSecond(double time) {
    const QString text = FormatTime(time);
    return text.mid(0, 2).toInt() * 3600 + text.mid(3, 2).toInt() * 60 + text.mid(6, 2).toInt();
}

double timeOfSecond(int second) {
    return double(second) / kSecondsPerDay;
}

int proposedFirstStart(int now, const StartSequence& sequence) {
    const int earliest = now + sequence.length() * 60;
    return (earliest + 299) / 300 * 300 % kSecondsPerDay;
}

std::optional<QList<int>> plannedStarts(int first, int interval, int groups, const StartSequence& sequence,
                                        QString* error) {
    if (interval < sequence.length()) {
        *error = QStringLiteral("Der Abstand zwischen den Starts (%1 Minuten) ist kürzer als die Startfolge %2 "
                                "(%3 Minuten): das Ankündigungssignal eines Starts käme vor dem Start davor.")
                     .arg(interval)
                     .arg(sequence.name)
                     .arg(sequence.length());
        return std::nullopt;
    }
    QList<int> starts;
    for (int g = 0; g < groups; ++g) {
        starts << first + g * interval * 60;
    }
    if (!starts.isEmpty() && starts.last() >= kSecondsPerDay) {
        *error = QStringLiteral("Der letzte Start läge nach Mitternacht. Bitte eine frühere erste Startzeit, einen "
                                "kürzeren Abstand oder weniger Startgruppen wählen.");
        return std::nullopt;
    }
    return starts;
}

QList<StartSignal> signalSchedule(const QList<std::pair<int, int>>& starts, const StartSequence& sequence) {
    QList<StartSignal> schedule;
    for (const auto& [start, second] : starts) {
        const std::pair<SignalKind, int> offsets[] = {{SignalKind::Warning, sequence.warning},
                                                      {SignalKind::Preparatory, sequence.preparatory},
                                                      {SignalKind::OneMinute, sequence.oneMinute},
                                                      {SignalKind::Start, 0}};
        for (const auto& [kind, minutes] : offsets) {
            if (kind == SignalKind::OneMinute && minutes == 0) {
                continue;
            }
            const int at = second - minutes * 60;
            if (at >= 0) {
                schedule.append({start, kind, at});
            }
        }
    }
    std::stable_sort(schedule.begin(), schedule.end(), [](const StartSignal& a, const StartSignal& b) {
        return a.second != b.second ? a.second < b.second : a.start < b.start;
    });
    return schedule;
}

QList<StartSignal> nextCue(const QList<StartSignal>& schedule, int now) {
    QList<StartSignal> cue;
    for (const StartSignal& s : schedule) {
        if (s.second < now) {
            continue;
        }
        if (!cue.isEmpty() && s.second != cue.first().second) {
            break;
        }
        cue << s;
    }
    return cue;
}

namespace {

QString signalName(SignalKind kind) {
    switch (kind) {
    case SignalKind::Warning:
        return QStringLiteral("Ankündigungssignal");
    case SignalKind::Preparatory:
        return QStringLiteral("Vorbereitungssignal");
    case SignalKind::OneMinute:
        return QStringLiteral("Eine-Minute-Signal");
    case SignalKind::Start:
        return QStringLiteral("Startsignal");
    }
    return {};
}

QString flagOf(SignalKind kind) {
    switch (kind) {
    case SignalKind::Warning:
        return QStringLiteral("Klassenflagge setzen");
    case SignalKind::Preparatory:
        return QStringLiteral("P setzen");
    case SignalKind::OneMinute:
        return QStringLiteral("P einholen");
    case SignalKind::Start:
        return QStringLiteral("Klassenflagge einholen");
    }
    return {};
}

} // namespace

QString cueLine(const QList<StartSignal>& cue, double now) {
    if (cue.isEmpty()) {
        return {};
    }
    QString left = FormatTime(timeOfSecond(cue.first().second) - now);
    if (left.startsWith(QStringLiteral("00:"))) {
        left = left.mid(3);
    }
    QStringList signalTexts;
    QStringList flags;
    for (const StartSignal& s : cue) {
        signalTexts << QStringLiteral("Start %1 · %2").arg(s.start).arg(signalName(s.kind));
        flags << (cue.size() > 1 ? QStringLiteral("%1 (Start %2)").arg(flagOf(s.kind)).arg(s.start) : flagOf(s.kind));
    }
    return signalTexts.join(QStringLiteral(" + ")) + QStringLiteral(" in ") + left + QStringLiteral(" · ") +
           flags.join(QStringLiteral(", "));
}

Sound soundAt(const QList<StartSignal>& schedule, int now) {
    Sound sound = Sound::None;
    for (const StartSignal& s : schedule) {
        if (s.second == now) {
            return Sound::Tone;
        }
        if (s.second > now && s.second - now <= 5) {
            sound = Sound::Beep;
        }
    }
    return sound;
}

QList<std::pair<int, int>> recallStart(const QList<std::pair<int, int>>& starts, int recalled, int interval) {
    int last = 0;
    for (const auto& [start, second] : starts) {
        last = std::max(last, second);
    }
    QList<std::pair<int, int>> moved = starts;
    for (auto& [start, second] : moved) {
        if (start == recalled) {
            second = last + interval * 60;
        }
    }
    return moved;
}

QList<int> recallCandidates(const QList<std::pair<int, int>>& starts, int now) {
    QList<std::pair<int, int>> near;
    for (const auto& [start, second] : starts) {
        if (second >= now - 600 && second <= now + 60) {
            near << std::pair{second, start};
        }
    }
    std::sort(near.begin(), near.end(), std::greater<>());
    QList<int> candidates;
    for (const auto& [second, start] : near) {
        candidates << start;
    }
    return candidates;
}

QList<std::pair<int, int>> postponeStarts(const QList<std::pair<int, int>>& starts, int now, int minutes) {
    QList<std::pair<int, int>> moved = starts;
    for (auto& [start, second] : moved) {
        if (second >= now) {
            second += minutes * 60;
        }
    }
    return moved;
}

int intervalOf(const QList<std::pair<int, int>>& starts, const StartSequence& sequence) {
    QList<int> seconds;
    for (const auto& [start, second] : starts) {
        seconds << second;
    }
    std::sort(seconds.begin(), seconds.end());
    if (seconds.size() >= 2 && seconds[1] > seconds[0]) {
        return std::max(1, (seconds[1] - seconds[0]) / 60);
    }
    return sequence.length();
}

} // namespace wm

#include "timing/StartSignals.h"
#include "timing/TimeMath.h"

#include <QTest>

using namespace wm;
using namespace Qt::Literals::StringLiterals;

namespace {

int at(const QString& hhmmss) {
    return QTime(0, 0).secsTo(QTime::fromString(hhmmss, u"HH:mm:ss"_s));
}

QString text(int second) {
    return FormatTime(timeOfSecond(second));
}

// "1=18:05:00,2=18:10:00" as (start, second) pairs.
QList<std::pair<int, int>> starts(const QString& list) {
    QList<std::pair<int, int>> result;
    for (const QString& item : list.split(u',', Qt::SkipEmptyParts)) {
        result.append({item.section(u'=', 0, 0).toInt(), at(item.section(u'=', 1))});
    }
    return result;
}

QString startsText(const QList<std::pair<int, int>>& list) {
    QStringList items;
    for (const auto& [start, second] : list) {
        items << u"%1=%2"_s.arg(start).arg(text(second));
    }
    return items.join(u',');
}

} // namespace

class TestSignals : public QObject {
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void cue_data();
    void cue();
    void sound_data();
    void sound();
    void recallAndPostpone_data();
    void recallAndPostpone();
};

void TestSignals::plan_data() {
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("now");
    QTest::addColumn<int>("interval"); // 0: the proposal's first start, the sequence length
    QTest::addColumn<int>("groups");
    QTest::addColumn<QString>("expected"); // the start times, or a word of the refusal

    QTest::newRow("5-4-1-0, proposed from 18:01:30") << "5-4-1-0"
                                                     << "18:01:30" << 0 << 3 << "18:10:00 18:15:00 18:20:00";
    QTest::newRow("proposal on a full five minutes") << "5-4-1-0"
                                                     << "18:00:00" << 0 << 1 << "18:05:00";
    QTest::newRow("3-2-1-0, five groups") << "3-2-1-0"
                                          << "09:58:00" << 0 << 5 << "10:05:00 10:08:00 10:11:00 10:14:00 10:17:00";
    QTest::newRow("10-5-0, a longer interval") << "10-5-0"
                                               << "13:50:01" << 15 << 2 << "14:05:00 14:20:00";
    QTest::newRow("interval shorter than the sequence") << "10-5-0"
                                                        << "13:50:00" << 5 << 2 << "kürzer";
    QTest::newRow("last start after midnight") << "5-4-1-0"
                                               << "23:50:00" << 0 << 3 << "Mitternacht";
}

void TestSignals::plan() {
    QFETCH(QString, sequence);
    QFETCH(QString, now);
    QFETCH(int, interval);
    QFETCH(int, groups);
    QFETCH(QString, expected);

    const StartSequence s = sequenceNamed(sequence);
    QCOMPARE(s.name, sequence);
    QString error;
    const std::optional<QList<int>> planned =
        plannedStarts(proposedFirstStart(at(now), s), interval ? interval : s.length(), groups, s, &error);
    if (!planned) {
        QVERIFY2(error.contains(expected), qPrintable(error));
        return;
    }
    QStringList times;
    for (const int second : *planned) {
        times << text(second);
    }
    QCOMPARE(times.join(u' '), expected);
}

void TestSignals::cue_data() {
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("starts");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("line");

    const QString two = u"1=18:05:00,2=18:10:00"_s;
    QTest::newRow("warning, its own second") << "5-4-1-0" << two << "18:00:00.000"
                                             << "Start 1 · Ankündigungssignal in 00:00 · Klassenflagge setzen";
    QTest::newRow("preparatory, as the clocks count") << "5-4-1-0" << two << "18:00:15.400"
                                                      << "Start 1 · Vorbereitungssignal in 00:44 · P setzen";
    QTest::newRow("one-minute") << "5-4-1-0" << two << "18:03:59.999"
                                << "Start 1 · Eine-Minute-Signal in 00:00 · P einholen";
    QTest::newRow("a start and the next warning are one cue")
        << "5-4-1-0" << two << "18:04:30.000"
        << "Start 1 · Startsignal + Start 2 · Ankündigungssignal in 00:30 · Klassenflagge einholen (Start 1), "
           "Klassenflagge setzen (Start 2)";
    QTest::newRow("10-5-0 has no one-minute signal") << "10-5-0" << u"1=18:20:00"_s << "18:15:01.000"
                                                     << "Start 1 · Startsignal in 04:59 · Klassenflagge einholen";
    QTest::newRow("more than an hour ahead") << "3-2-1-0" << u"3=20:00:00"_s << "18:00:00.000"
                                             << "Start 3 · Ankündigungssignal in 01:57:00 · Klassenflagge setzen";
    QTest::newRow("every signal passed") << "5-4-1-0" << two << "18:10:01.000"
                                         << "";
}

void TestSignals::cue() {
    QFETCH(QString, sequence);
    QFETCH(QString, starts);
    QFETCH(QString, now);
    QFETCH(QString, line);

    const double time = TimeOfDay(QTime::fromString(now, u"HH:mm:ss.zzz"_s));
    const QList<StartSignal> schedule = signalSchedule(::starts(starts), sequenceNamed(sequence));
    QCOMPARE(cueLine(nextCue(schedule, clockSecond(time)), time), line);
}

void TestSignals::sound_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<int>("sound");

    // Start at 18:05:00 under 5-4-1-0: signals at 18:00, 18:01, 18:04, 18:05.
    QTest::newRow("six seconds before") << "17:59:54" << int(Sound::None);
    QTest::newRow("five seconds before") << "17:59:55" << int(Sound::Beep);
    QTest::newRow("one second before") << "17:59:59" << int(Sound::Beep);
    QTest::newRow("the signal") << "18:00:00" << int(Sound::Tone);
    QTest::newRow("after it") << "18:00:01" << int(Sound::None);
    QTest::newRow("the start") << "18:05:00" << int(Sound::Tone);
}

void TestSignals::sound() {
    QFETCH(QString, now);
    QFETCH(int, sound);
    const QList<StartSignal> schedule = signalSchedule(starts(u"1=18:05:00"_s), sequenceNamed(u"5-4-1-0"_s));
    QCOMPARE(int(soundAt(schedule, at(now))), sound);
}

void TestSignals::recallAndPostpone_data() {
    QTest::addColumn<QString>("action"); // "recall N", "postpone M", "candidates"
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("expected");

    QTest::newRow("recall the first behind the last") << "recall 1"
                                                      << "18:05:10"
                                                      << "1=18:20:00,2=18:10:00,3=18:15:00";
    QTest::newRow("recall the middle one") << "recall 2"
                                           << "18:10:05"
                                           << "1=18:05:00,2=18:20:00,3=18:15:00";
    QTest::newRow("recall the last one") << "recall 3"
                                         << "18:15:05"
                                         << "1=18:05:00,2=18:10:00,3=18:20:00";
    QTest::newRow("candidates: passed within ten minutes, latest first") << "candidates"
                                                                         << "18:13:30"
                                                                         << "2 1";
    QTest::newRow("candidates: one about to start") << "candidates"
                                                    << "18:14:10"
                                                    << "3 2 1";
    QTest::newRow("candidates: too late for the first") << "candidates"
                                                        << "18:15:01"
                                                        << "3 2";
    QTest::newRow("postpone what is still to come") << "postpone 10"
                                                    << "18:06:00"
                                                    << "1=18:05:00,2=18:20:00,3=18:25:00";
    QTest::newRow("postpone: a start in its own second is still to come") << "postpone -2"
                                                                          << "18:10:00"
                                                                          << "1=18:05:00,2=18:08:00,3=18:13:00";
}

void TestSignals::recallAndPostpone() {
    QFETCH(QString, action);
    QFETCH(QString, now);
    QFETCH(QString, expected);

    const QList<std::pair<int, int>> three = starts(u"1=18:05:00,2=18:10:00,3=18:15:00"_s);
    const StartSequence sequence = sequenceNamed(u"5-4-1-0"_s);
    const int number = action.section(u' ', 1).toInt();
    if (action.startsWith(u"recall"_s)) {
        QCOMPARE(startsText(recallStart(three, number, intervalOf(three, sequence))), expected);
    } else if (action.startsWith(u"postpone"_s)) {
        QCOMPARE(startsText(postponeStarts(three, at(now), number)), expected);
    } else {
        QStringList candidates;
        for (const int n : recallCandidates(three, at(now))) {
            candidates << QString::number(n);
        }
        QCOMPARE(candidates.join(u' '), expected);
    }
}

QTEST_GUILESS_MAIN(TestSignals)
#include "tst_signals.moc"

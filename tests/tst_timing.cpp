#include "TestSupport.h"
#include "store/Clock.h"
#include "store/IniFile.h"
#include "store/Table.h"
#include "timing/Race.h"
#include "timing/RacePanel.h"
#include "timing/Scoring.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using wm::Race;
using wm::Table;

namespace {

double at(int h, int m, int s, int ms = 0) {
    return wm::TimeOfDay(QTime(h, m, s, ms));
}

QColor colourOf(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// Five starts as the main window holds them, start n at 18:(10 + 5n):00, all ticked.
struct ClockRig {
    wm::ManualClock clock{QDateTime(QDate(2026, 6, 13), QTime(18, 0))};
    wm::test::ScriptedPrompts prompts;
    QWidget host;
    QLabel* timeOfDay = new QLabel(&host);
    std::array<wm::StartClock::StartWidgets, wm::StartClock::kStarts> w;
    std::unique_ptr<wm::StartClock> starts;

    ClockRig() {
        for (int n = 1; n <= wm::StartClock::kStarts; ++n) {
            auto* active = new QCheckBox(&host);
            active->setChecked(true);
            w[size_t(n - 1)] = {new QLineEdit(u"18"_s, &host),
                                new QLineEdit(QString::number(10 + 5 * n), &host),
                                new QLineEdit(u"0"_s, &host),
                                active,
                                new QLabel(&host),
                                new QLabel(&host),
                                new QLabel(&host)};
        }
        starts = std::make_unique<wm::StartClock>(clock, prompts, timeOfDay, w);
    }
    const wm::StartClock::StartWidgets& start(int n) const { return w[size_t(n - 1)]; }
};

} // namespace

class TimingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { wm::useGermanLocale(); }

    void clockFace_data();
    void clockFace();
    void clockTicksAcrossTheStart();
    void startFields_data();
    void startFields();
    void loadAndSave();

    void checkStarter_data();
    void checkStarter();
};

void TimingTest::clockFace_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("now");
    QTest::addColumn<bool>("active");
    QTest::addColumn<QString>("clock");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QColor>("name");
    QTest::addColumn<QColor>("colour"); // of clock and sign

    const QColor red = wm::kClockRed, green = wm::kClockGreen, black = wm::kClockBlack, grey = wm::kClockGrey;
    QTest::newRow("counting down") << at(18, 15, 0) << at(18, 10, 5) << true << u"00:04:55"_s << u"-"_s << red << black;
    QTest::newRow("the start second is still before")
        << at(18, 15, 0) << at(18, 15, 0) << true << u"00:00:00"_s << u"-"_s << red << black;
    QTest::newRow("also its last millisecond")
        << at(18, 15, 0) << at(18, 15, 0, 999) << true << u"00:00:00"_s << u"-"_s << red << black;
    QTest::newRow("passed one second later")
        << at(18, 15, 0) << at(18, 15, 1) << true << u"00:00:01"_s << u"+"_s << green << black;
    QTest::newRow("counting up") << at(18, 15, 0) << at(18, 27, 41) << true << u"00:12:41"_s << u"+"_s << green
                                 << black;
    QTest::newRow("late start, just after midnight")
        << at(23, 50, 0) << at(0, 10, 0) << true << u"23:40:00"_s << u"-"_s << red << black;
    QTest::newRow("midnight start at midnight")
        << at(0, 0, 0) << at(0, 0, 0) << true << u"00:00:00"_s << u"-"_s << red << black;
    QTest::newRow("midnight start passed")
        << at(0, 0, 0) << at(0, 0, 1) << true << u"00:00:01"_s << u"+"_s << green << black;
    QTest::newRow("inactive before") << at(18, 15, 0) << at(18, 10, 5) << false << u"00:04:55"_s << QString() << grey
                                     << grey;
}

void TimingTest::clockFace() {
    QFETCH(double, start);
    QFETCH(double, now);
    QFETCH(bool, active);
    QFETCH(QString, clock);
    QFETCH(QString, sign);
    QFETCH(QColor, name);
    QFETCH(QColor, colour);

    const wm::ClockFace face = wm::clockFace(start, now, active);
    QCOMPARE(face.clockText, clock);
    QCOMPARE(face.sign, sign);
    QCOMPARE(face.bold, sign == u"+"_s);
    QCOMPARE(face.nameColour, name);
    QCOMPARE(face.clockColour, colour);
    QCOMPARE(face.signColour, colour);
}

void TimingTest::clockTicksAcrossTheStart() {
    ClockRig rig;
    const auto& s1 = rig.start(1);
    rig.clock.setTime(QTime(18, 15, 0, 400));
    rig.starts->Timer2Timer();
    QCOMPARE(s1.clock->text(), u"00:00:00"_s);
    QCOMPARE(s1.sign->text(), u"-"_s);
    QVERIFY(!s1.sign->font().bold());
    QCOMPARE(colourOf(s1.name), wm::kClockRed);

    rig.clock.setTime(QTime(18, 15, 1));
    rig.starts->Timer2Timer();
    rig.starts->Timer1Timer();
    QCOMPARE(rig.timeOfDay->text(), u"18:15:01"_s);
    QCOMPARE(s1.clock->text(), u"00:00:01"_s);
    QCOMPARE(rig.starts->clockText(1), u"00:00:01"_s);
    QCOMPARE(s1.sign->text(), u"+"_s);
    QVERIFY(s1.sign->font().bold());
    QCOMPARE(colourOf(s1.name), wm::kClockGreen);
    QCOMPARE(rig.starts->clockText(2), u"00:04:59"_s);
    QCOMPARE(rig.start(2).sign->text(), u"-"_s);

    // Moved later, the start is ahead again; its sign keeps the bold it once got.
    s1.minute->setText(u"20"_s);
    rig.starts->Timer2Timer();
    QCOMPARE(s1.sign->text(), u"-"_s);
    QVERIFY(s1.sign->font().bold());
    QCOMPARE(colourOf(s1.name), wm::kClockRed);
    QCOMPARE(s1.clock->text(), u"00:04:59"_s);

    s1.active->setChecked(false);
    rig.starts->Timer2Timer();
    QCOMPARE(s1.sign->text(), u"-"_s);
    for (const QLabel* label : {s1.name, s1.sign, s1.clock}) {
        QCOMPARE(colourOf(label), wm::kClockGrey);
    }
    s1.active->setChecked(true);
    rig.starts->Timer2Timer();
    QCOMPARE(colourOf(s1.sign), wm::kClockBlack);
    QVERIFY(rig.prompts.errors.isEmpty());
}

void TimingTest::startFields_data() {
    QTest::addColumn<int>("field"); // 0 hour, 1 minute, 2 second of start 1 (18:15:00)
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QStringList>("errors");

    QTest::newRow("empty keeps the time") << 1 << QString() << QString() << QTime(18, 15) << QStringList();
    QTest::newRow("below zero empties") << 1 << u"-5"_s << QString() << QTime(18, 15) << QStringList();
    QTest::newRow("minute 75 refused") << 1 << u"75"_s << u"75"_s << QTime(18, 15)
                                       << QStringList{u"'18:75:0' ist kein gültiger Datums- und Zeitwert"_s};
    QTest::newRow("hour 24 refused") << 0 << u"24"_s << u"24"_s << QTime(18, 15)
                                     << QStringList{u"'24:15:0' ist kein gültiger Datums- und Zeitwert"_s};
    QTest::newRow("single digit minute") << 1 << u"5"_s << u"5"_s << QTime(18, 5) << QStringList();
    QTest::newRow("leading zero") << 2 << u"07"_s << u"07"_s << QTime(18, 15, 7) << QStringList();
}

void TimingTest::startFields() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QTime, time);
    QFETCH(QStringList, errors);

    ClockRig rig;
    QLineEdit* edit = std::array{rig.start(1).hour, rig.start(1).minute, rig.start(1).second}[size_t(field)];
    edit->setText(typed);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(wm::FormatTime(rig.starts->startTime(1)), time.toString(u"HH:mm:ss"_s));
    QCOMPARE(rig.prompts.errors, errors);
    QCOMPARE(wm::FormatTime(rig.starts->startTime(2)), u"18:20:00"_s);
}

void TimingTest::loadAndSave() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"prefs.ini"_s);
    wm::test::writeFile(path, "[StarterID]\nS1=0\nS2=abc\nS1Zeit=18:05:00\nS2Zeit=18:10:30\n"
                              "S4Zeit=kaputt\nS5Zeit=19:00\n");
    ClockRig rig;
    {
        wm::IniFile ini(path);
        rig.starts->load(ini, u"StarterID"_s);
    }
    const QStringList times = {u"18:05:00"_s, u"18:10:30"_s, u"18:10:30"_s, u"18:10:30"_s, u"19:00:00"_s};
    const QList<bool> active = {false, true, true, true, true};
    for (int n = 1; n <= wm::StartClock::kStarts; ++n) {
        QCOMPARE(wm::FormatTime(rig.starts->startTime(n)), times[n - 1]);
        QCOMPARE(rig.starts->isActive(n), active[n - 1]);
    }
    QCOMPARE(rig.start(2).minute->text(), u"10"_s);
    QCOMPARE(rig.start(2).second->text(), u"30"_s);
    QVERIFY(rig.prompts.errors.isEmpty());

    {
        wm::IniFile ini(path);
        rig.starts->save(ini, u"Andere"_s);
        ini.save();
    }
    wm::IniFile saved(path);
    QCOMPARE(saved.readString(u"Andere"_s, u"S1"_s, QString()), u"0"_s);
    QCOMPARE(saved.readString(u"Andere"_s, u"S4Zeit"_s, QString()), u"18:10:30"_s);
    ClockRig again;
    again.starts->load(saved, u"Andere"_s);
    for (int n = 1; n <= wm::StartClock::kStarts; ++n) {
        QCOMPARE(again.starts->startTime(n), rig.starts->startTime(n));
        QCOMPARE(again.starts->isActive(n), rig.starts->isActive(n));
    }

    // Nothing saved: every start at the time of loading.
    again.starts->load(saved, u"Leer"_s);
    QCOMPARE(wm::FormatTime(again.starts->startTime(5)), u"18:00:00"_s);
    QVERIFY(again.starts->isActive(1));
}

void TimingTest::checkStarter_data() {
    QTest::addColumn<QString>("ticked"); // start 1 to 5
    QTest::addColumn<QList<int>>("used");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QList<int>>("asked");
    QTest::addColumn<QString>("after");

    QTest::newRow("all active") << u"11111"_s << QList<int>{1, 3, 7} << QList<bool>{} << true << QList<int>{}
                                << u"11111"_s;
    QTest::newRow("unused starts inactive")
        << u"10100"_s << QList<int>{1, 3, 7} << QList<bool>{} << true << QList<int>{} << u"10100"_s;
    QTest::newRow("yes, yes") << u"11000"_s << QList<int>{1, 3, 5, 5} << QList<bool>{true, true} << true
                              << QList<int>{3, 5} << u"11101"_s;
    QTest::newRow("yes, no") << u"11000"_s << QList<int>{1, 3, 5} << QList<bool>{true, false} << false
                             << QList<int>{3, 5} << u"11000"_s;
    QTest::newRow("no stops at once") << u"11000"_s << QList<int>{5, 3, 1} << QList<bool>{false} << false
                                      << QList<int>{3} << u"11000"_s;
}

void TimingTest::checkStarter() {
    QFETCH(QString, ticked);
    QFETCH(QList<int>, used);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, result);
    QFETCH(QList<int>, asked);
    QFETCH(QString, after);

    ClockRig rig;
    for (int n = 1; n <= wm::StartClock::kStarts; ++n) {
        rig.starts->setActive(n, ticked[n - 1] == u'1');
    }
    rig.prompts.answers.assign(answers.cbegin(), answers.cend());
    QTemporaryDir dir;
    const QString path = dir.filePath(u"race.db"_s);
    Table::create(path, wm::raceFields(wm::participantFields()));
    Table race;
    race.open(path);
    for (int start : used) {
        race.insert({{wm::field::START, start}});
    }
    race.insert({{wm::field::NAME, u"ohne Start"_s}});

    std::array<bool, wm::kStarts> active{};
    for (int n = 1; n <= wm::kStarts; ++n) {
        active[size_t(n - 1)] = rig.starts->isActive(n);
    }
    QCOMPARE(wm::confirmStarts(*rig.starts, rig.prompts, wm::startsWithoutActiveStart(race, active)), result);
    QStringList questions;
    for (int n : asked) {
        questions << u"Mindestens ein Teilnehmer erfordert den Start %1.\rSoll Start %1 jetzt aktiviert werden?\r"
                     "Klicken Sie Ja für eine automatische Änderung und Nein um zurückzukehren."_s.arg(n);
    }
    QCOMPARE(rig.prompts.asked, questions);
    QCOMPARE(rig.prompts.captions, QStringList(asked.size(), u"Bestätigung"_s));
    QString state;
    for (int n = 1; n <= wm::StartClock::kStarts; ++n) {
        state += rig.starts->isActive(n) ? u'1' : u'0';
    }
    QCOMPARE(state, after);
}

QTEST_MAIN(TimingTest)
#include "tst_timing.moc"

#include "MainFixture.h"
#include "WebPage.h"
#include "app/LivePage.h"
#include "app/LiveWriter.h"
#include "desktop/AppSetup.h"
#include "reports/Result.h"
#include "store/Log.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;
using namespace wm;
using namespace wm::test;

namespace {

const QString kChromium = u"/usr/bin/chromium"_s;
const QStringList kRankingHeader = {u"Platz"_s, u"Segelnr."_s, u"Bootsname"_s, u"Name"_s,
                                    u"YS"_s,    u"Ges.Zeit"_s, u"Ber.Zeit"_s};
const QStringList kRacingHeader = {u"Segelnr."_s,      u"Bootsname"_s, u"Start"_s, u"Ges.Zeit"_s,
                                   u"Zeit zum Sieg"_s, u"Name"_s,      u"YS"_s};

// Race rows written "sail|boat|name|YS|start|elapsed|corrected", as a race table shows them (type "Jolle").
ReportData rows(const QStringList& lines) {
    ReportData data{kRaceFieldNames, {}};
    for (const QString& line : lines) {
        const QStringList v = line.split(u'|');
        const bool racing = v.value(6).isEmpty();
        data.rows << QStringList{v[0], v[1], v[2], u"Jolle"_s, v[3], v[4], v[5], v[6], racing ? u"1"_s : u"2"_s, {}};
    }
    return data;
}

// Starts at 18:00, 18:05, 18:10, 18:15 and 19:00; the page is made at 18:50.
LiveRace liveRace(const QStringList& lines, bool over = false) {
    LiveRace race;
    race.name = u"Abend's <Cup>"_s;
    race.date = QDate(2024, 12, 24);
    race.over = over;
    race.rows = rows(lines);
    race.starts = {ParseTime(u"18:00:00"_s), ParseTime(u"18:05:00"_s), ParseTime(u"18:10:00"_s),
                   ParseTime(u"18:15:00"_s), ParseTime(u"19:00:00"_s)};
    race.now = QDateTime(QDate(2024, 12, 24), QTime(18, 50, 0));
    race.rules = u"Regeln"_s;
    return race;
}

QStringList lines(const QList<QStringList>& table) {
    QStringList out;
    for (const QStringList& row : table) {
        out << row.join(u'|');
    }
    return out;
}

} // namespace

class TestLive : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*QCoreApplication::instance()); }

    void tables_rankAndTimeToWin_data();
    void tables_rankAndTimeToWin();
    void page_readBackByAParser_data();
    void page_readBackByAParser();
    void page_inChromium();
    void mainWindow_pageFollowsFinishesUndoAndTheMinute();
    void mainWindow_pageThatCannotBeWritten_timingGoesOn();
};

void TestLive::tables_rankAndTimeToWin_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("ranking");
    QTest::addColumn<QStringList>("racing");
    QTest::newRow("before any finish: elapsed, no time to win")
        << QStringList{u"GER 2|B|Bea|120|2||"_s, u"GER 1|A|Ann|100|1||"_s} << QStringList{}
        << QStringList{u"GER 1|A|1|00:50:00||Ann|100"_s, u"GER 2|B|2|00:45:00||Bea|120"_s};
    // Leader 00:40:00: a Yardstick of 120 from 18:05 may take until 18:53:00, one of 80 from 18:10 until 18:42:00.
    QTest::newRow("a finish and a code; the code scores the number of entries")
        << QStringList{u"G 5|Code|Cem|100|2|DNF|DNF"_s, u"GER 1|A|Ann|100|1|00:40:00|00:40:00"_s,
                       u"GER 3|C|Cai|120|2||"_s, u"GER 4|D|Dan|80|3||"_s}
        << QStringList{u"1|GER 1|A|Ann|100|00:40:00|00:40:00"_s, u"4|G 5|Code|Cem|100|DNF|DNF"_s}
        << QStringList{u"GER 3|C|2|00:45:00|18:53:00 (noch 00:03:00)|Cai|120"_s,
                       u"GER 4|D|3|00:40:00|18:42:00 (vorbei)|Dan|80"_s};
    QTest::newRow("equal corrected times go by sail number as text; every code after the times")
        << QStringList{u"X|DSQ|Xa|100|1|DSQ|DSQ"_s, u"GER 9|N|Nia|100|1|00:30:00|00:30:00"_s,
                       u"GER 10|T|Tom|112,5|1|00:33:45|00:30:00"_s, u"Y|DNS|Yo|100|1|DNS|DNS"_s}
        << QStringList{u"1|GER 10|T|Tom|112,5|00:33:45|00:30:00"_s, u"2|GER 9|N|Nia|100|00:30:00|00:30:00"_s,
                       u"4|Y|DNS|Yo|100|DNS|DNS"_s, u"4|X|DSQ|Xa|100|DSQ|DSQ"_s}
        << QStringList{};
    QTest::newRow("a start still to come counts down; no start group or Yardstick, no time")
        << QStringList{u"GER 1|A|Ann|100|1|00:30:00|00:30:00"_s, u"L|Late|Lu|100|5||"_s, u"N|NoYs|No||1||"_s,
                       u"Q|NoStart|Qi|100|||"_s}
        << QStringList{u"1|GER 1|A|Ann|100|00:30:00|00:30:00"_s}
        << QStringList{u"Q|NoStart||||Qi|100"_s, u"N|NoYs|1|00:50:00||No|"_s,
                       u"L|Late|5|-00:10:00|19:30:00 (noch 00:40:00)|Lu|100"_s};
}

void TestLive::tables_rankAndTimeToWin() {
    QFETCH(QStringList, entries);
    QFETCH(QStringList, ranking);
    QFETCH(QStringList, racing);
    const LiveTables tables = liveTables(liveRace(entries));
    QCOMPARE(lines(tables.ranking), ranking);
    QCOMPARE(lines(tables.racing), racing);
}

void TestLive::page_readBackByAParser_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("over");
    QTest::addColumn<int>("ranked");
    QTest::addColumn<int>("racing");
    QTest::newRow("before any finish") << QStringList{u"GER 1|A|Ann|100|1||"_s, u"GER 2|B|Bea|120|2||"_s} << false << 0
                                       << 2;
    QTest::newRow("some finished, one with a code")
        << QStringList{u"GER 1|A|Ann|100|1|00:40:00|00:40:00"_s, u"G 5|<b>&|Cem|100|2|RET|RET"_s,
                       u"GER 3|C|Cai|120|2||"_s}
        << false << 2 << 1;
    QTest::newRow("over") << QStringList{u"GER 1|A|Ann|100|1|00:40:00|00:40:00"_s, u"G 5|B|Cem|100|2|DNF|DNF"_s} << true
                          << 2 << 0;
}

void TestLive::page_readBackByAParser() {
    QFETCH(QStringList, entries);
    QFETCH(bool, over);
    QFETCH(int, ranked);
    QFETCH(int, racing);
    const QByteArray html = livePage(liveRace(entries, over));
    const ParsedPage page = parsePage(html);
    if (!page.ok) {
        QSKIP("python3 is not installed");
    }
    QVERIFY(page.headings.contains(u"h2:Abend's <Cup> – 24.12.2024"_s));
    QCOMPARE(page.meta.value(u"refresh"_s), u"30"_s);
    QVERIFY(page.meta.value(u"viewport"_s).contains(u"width=device-width"_s));
    QCOMPARE(page.outside, QStringList{});
    QVERIFY(!html.contains("<script"));
    const bool provisional = std::any_of(page.paragraphs.cbegin(), page.paragraphs.cend(),
                                         [](const QString& p) { return p.contains(u"vorläufig"_s); });
    QCOMPARE(provisional, !over);
    QCOMPARE(page.tables.size(), racing > 0 ? 2 : 1);
    QCOMPARE(page.tables[0].value(0), kRankingHeader);
    QCOMPARE(page.tables[0].size() - 1, ranked);
    if (ranked > 1) {
        QCOMPARE(page.tables[0][2].mid(1, 2), entries[1].split(u'|').mid(0, 2));
    }
    if (racing > 0) {
        QCOMPARE(page.tables[1].value(0), kRacingHeader);
        QCOMPARE(page.tables[1].size() - 1, racing);
        // Beside every racing boat its time to win, once a boat has finished.
        for (qsizetype r = 1; r < page.tables[1].size(); ++r) {
            QCOMPARE(page.tables[1][r].value(4).isEmpty(), ranked == 0);
        }
    }
}

void TestLive::page_inChromium() {
    if (!QFile::exists(kChromium)) {
        QSKIP("Chromium is not installed (make test installs it)");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Abend.html"_s);
    QStringList entries;
    for (int i = 1; i <= 12; ++i) {
        entries << (i <= 7
                        ? u"GER %1|Möwe %1|Jörg Süß|%2|%3|00:4%1:00|00:4%1:00"_s.arg(i % 10).arg(90 + i).arg(i % 3 + 1)
                        : u"GER %1|Boot %1|Ann|%2|%3||"_s.arg(i).arg(90 + i).arg(i % 3 + 1));
    }
    writeFile(path, livePage(liveRace(entries)));
    auto run = [&](const QStringList& extra) {
        QProcess chromium;
        chromium.start(kChromium, QStringList{u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s,
                                              u"--disable-quic"_s, u"--no-first-run"_s,
                                              u"--disable-background-networking"_s, u"--disable-component-update"_s,
                                              u"--disable-sync"_s, u"--user-data-dir="_s + dir.filePath(u"profile"_s)} +
                                      extra + QStringList{QUrl::fromLocalFile(path).toString()});
        chromium.waitForFinished(60000);
        return chromium.readAllStandardOutput();
    };
    const QByteArray dom = run({u"--dump-dom"_s});
    const ParsedPage page = parsePage(dom);
    if (!page.ok) {
        QSKIP("python3 is not installed");
    }
    QCOMPARE(page.tables.size(), 2);
    QCOMPARE(page.tables[0].size(), 1 + 7);
    QCOMPARE(page.tables[1].size(), 1 + 5);
    QVERIFY2(page.tables[0][1].contains(u"Möwe 1"_s), qPrintable(page.tables[0][1].join(u'|')));
    for (const QStringList& row : page.tables[1].mid(1)) {
        QVERIFY2(row.value(4).contains(u" ("_s), qPrintable(row.join(u'|')));
    }
    // Screenshots at phone and clubhouse-screen width, kept when WM_SCREENSHOTS names a folder to look at them.
    const QString shots = qEnvironmentVariable("WM_SCREENSHOTS", dir.path());
    for (const auto& [name, size] : {std::pair{u"phone"_s, u"390,844"_s}, std::pair{u"screen"_s, u"1920,1080"_s}}) {
        const QString png = shots + u"/live-"_s + name + u".png"_s;
        run({u"--screenshot="_s + png, u"--window-size="_s + size, u"--hide-scrollbars"_s});
        QVERIFY2(QFileInfo(png).size() > 1000, qPrintable(png));
    }
}

namespace {

// A race "Abend" of the example fleet with starts at 18:00, 18:05 and 18:10, in finish mode at 18:30.
void toFinishMode(MainFixture& f, TMain& main) {
    main.timLoadTimer();
    const char* fields[3][3] = {{"Edit1", "Edit2", "Edit3"}, {"Edit4", "Edit5", "Edit6"}, {"Edit9", "Edit8", "Edit7"}};
    for (int n = 0; n < 3; ++n) {
        widget<QLineEdit>(main, fields[n][0])->setText(u"18"_s);
        widget<QLineEdit>(main, fields[n][1])->setText(QString::number(5 * n));
        widget<QLineEdit>(main, fields[n][2])->setText(u"0"_s);
    }
    f.prompts.inputs = {u"Abend"_s};
    PRESS(main, "Label22");
    for (int i = 0; i < 6; ++i) {
        PRESS(main, "cmdAdd");
    }
    f.clock.setTime(QTime(18, 30, 0));
    f.prompts.answers = {true, true, true, true, true, true};
    PRESS(main, "cmdZiel");
}

ParsedPage livePageOf(const MainFixture& f) {
    return parsePage(readBytes(f.folder.path() + u"/Reports/Live/Abend.html"_s));
}

} // namespace

void TestLive::mainWindow_pageFollowsFinishesUndoAndTheMinute() {
    if (!parsePage("<p>x</p>").ok) {
        QSKIP("python3 is not installed");
    }
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    f.clock.set(QDateTime(QDate(2024, 12, 24), QTime(17, 50, 0)));
    TMain& main = f.start().main();
    const QString path = f.folder.path() + u"/Reports/Live/Abend.html"_s;
    toFinishMode(f, main);
    QCOMPARE(main.race().mode(), Race::Mode::Finish);
    QVERIFY(main.liveWriter().timLive()->isActive());

    ParsedPage page = livePageOf(f);
    QVERIFY2(page.tables.size() == 2, readBytes(path).left(400).constData());
    QCOMPARE(page.tables[0].size(), 1);     // nobody has finished
    QCOMPARE(page.tables[1].size(), 1 + 6); // all six racing, counting up from their starts
    QCOMPARE(page.tables[1][1].mid(2, 2), (QStringList{u"1"_s, u"00:30:00"_s}));

    auto* raceList = widget<QTableView>(main, "DBGrid2");
    f.clock.setTime(QTime(18, 40, 0));
    main.startClock().Timer2Timer();
    QTest::keyClick(raceList, Qt::Key_Return); // GER 1, start 1: 00:40:00, Yardstick 113
    page = livePageOf(f);
    QCOMPARE(page.tables[0].size(), 1 + 1);
    QCOMPARE(page.tables[0][1].mid(0, 2), (QStringList{u"1"_s, u"GER 1"_s}));
    QCOMPARE(page.tables[1].size(), 1 + 5);
    // GER 2 (start 1, Yardstick 115) may take until 18:00 + 00:35:23 × 1,15 = 18:40:41.
    QCOMPARE(page.tables[1][1].value(0), u"GER 2"_s);
    QCOMPARE(page.tables[1][1].value(4), u"18:40:41 (noch 00:00:41)"_s);

    // Once a minute while boats race, the elapsed times move on.
    f.clock.setTime(QTime(18, 41, 0));
    main.liveWriter().timLiveTimer();
    page = livePageOf(f);
    QCOMPARE(page.tables[1][1].value(3), u"00:41:00"_s);
    QCOMPARE(page.tables[1][1].value(4), u"18:40:41 (vorbei)"_s);

    PRESS(main, "cmdUndo");
    page = livePageOf(f);
    QCOMPARE(page.tables[0].size(), 1);
    QCOMPARE(page.tables[1].size(), 1 + 6);

    // To the end: a code, then every other boat; the page then shows the places the race is scored with.
    PRESS(main, "cmdDNF");
    QCOMPARE(livePageOf(f).tables[0].value(1).value(0), u"6"_s);
    for (int i = 0; i < 5; ++i) {
        f.clock.setTime(QTime(18, 45 + i, 0));
        main.startClock().Timer2Timer();
        QTest::keyClick(raceList, Qt::Key_Return);
    }
    QCOMPARE(main.race().mode(), Race::Mode::Over);
    QVERIFY(!main.liveWriter().timLive()->isActive());
    page = livePageOf(f);
    QVERIFY(std::none_of(page.paragraphs.cbegin(), page.paragraphs.cend(),
                         [](const QString& p) { return p.contains(u"vorläufig"_s); }));
    QCOMPARE(page.tables.size(), 1);
    QMap<QString, QString> stored;
    for (const Table::Row& row : main.race().table().select()) {
        stored.insert(displayText(row.values.value(main.race().table().fieldIndex(field::SEGELNR))),
                      displayText(row.values.value(main.race().table().fieldIndex(field::Punkte))));
    }
    QCOMPARE(page.tables[0].size(), 1 + 6);
    for (qsizetype r = 1; r < page.tables[0].size(); ++r) {
        QCOMPARE(page.tables[0][r][0], stored.value(page.tables[0][r][1]));
    }
    const QString heading = u"h2:Abend – "_s + raceDate(main.race().table().path()).toString(u"dd.MM.yyyy"_s);
    QVERIFY2(page.headings.contains(heading), qPrintable(page.headings.join(u'\n')));
    // The published result's web page carries the same heading above its table.
    PRESS(main, "cmdReportPDF");
    const ParsedPage published = parsePage(readBytes(f.folder.path() + u"/Reports/Abend.html"_s));
    QVERIFY2(published.headings.contains(heading), qPrintable(published.headings.join(u'\n')));
    QCOMPARE(published.tables.value(0).size(), 1 + 6);
    QVERIFY(f.prompts.errors.isEmpty());
}

void TestLive::mainWindow_pageThatCannotBeWritten_timingGoesOn() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    f.clock.set(QDateTime(QDate(2024, 12, 24), QTime(17, 50, 0)));
    // A file where the page's folder should be: no page can be written.
    writeFile(f.folder.path() + u"/Reports/Live"_s, "not a folder");
    const LogFile log(f.folder.path());
    TMain& main = f.start().main();
    toFinishMode(f, main);
    f.clock.setTime(QTime(18, 40, 0));
    main.startClock().Timer2Timer();
    QTest::keyClick(widget<QTableView>(main, "DBGrid2"), Qt::Key_Return);
    QCOMPARE(main.race().list().count(), 5);
    QVERIFY(f.prompts.errors.isEmpty());
    QVERIFY(f.notifier.notices.isEmpty());
    QVERIFY(readFile(f.folder.path() + u"/wendemark.log"_s).contains(u"Live-Seite"_s));
}

QTEST_MAIN(TestLive)
#include "tst_live.moc"

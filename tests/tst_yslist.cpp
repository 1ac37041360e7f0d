#include "MainFixture.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "participants/ParticipantRegister.h"
#include "participants/YardstickList.h"
#include "reports/ResultPage.h"
#include "store/IniFile.h"
#include "store/Table.h"
#include "timing/Race.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using namespace wm;
using namespace wm::test;

namespace {

// A list's lines joined by CRLF, as a spreadsheet saves them.
QByteArray csv(const QStringList& lines) {
    return lines.join(u"\r\n"_s).toUtf8() + "\r\n";
}

// What a list says of each type and of each row it could not use, as one comparable text.
QString summary(const YardstickList& list) {
    QStringList types;
    for (const YardstickEntry& e : list.byType) {
        types << u"%1=%2%3"_s.arg(e.type, displayText(e.yardstick), e.note.isEmpty() ? QString() : u" "_s + e.note);
    }
    types.sort();
    QStringList problems;
    for (const YardstickProblem& p : list.problems) {
        problems << u"%1:%2"_s.arg(p.line).arg(p.reason);
    }
    return types.join(u", "_s) + u" | "_s + problems.join(u", "_s);
}

YardstickChange changeOf(qint64 rowid, double listed) {
    YardstickChange change;
    change.rowid = rowid;
    change.listed = listed;
    return change;
}

} // namespace

class TestYardstickList : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*QCoreApplication::instance()); }
    void yardstickText_data();
    void yardstickText();
    void readList_data();
    void readList();
    void proposedName_data();
    void proposedName();
    void compare_listsChangesOnceAndTypesTheListLacks();
    void apply_settingsNotWritable_changesNothing();
    void rulesLine_namesTheListOnlyWhenOneIsInForce();
    void window_loadUntickApply_registerAndSettings_storedRaceUnchanged();
};

void TestYardstickList::yardstickText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("yardstick");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("reason");
    QTest::newRow("whole number") << u" 104 "_s << 104.0 << QString() << QString();
    QTest::newRow("letter after a blank") << u"104 B"_s << 104.0 << u"B"_s << QString();
    QTest::newRow("letter right after") << u"104v"_s << 104.0 << u"v"_s << QString();
    QTest::newRow("comma decimal") << u"112,5"_s << 112.5 << QString() << QString();
    QTest::newRow("point decimal") << u"112.5"_s << 112.5 << QString() << QString();
    QTest::newRow("note in brackets") << u"98  (alt   vermessen)"_s << 98.0 << u"(alt vermessen)"_s << QString();
    QTest::newRow("empty") << u"  "_s << 0.0 << QString() << u"keine Yardstick-Zahl"_s;
    QTest::newRow("negative") << u"-104"_s << 0.0 << QString() << u"Yardstick '-104' ist nicht größer als 0"_s;
    QTest::newRow("zero") << u"0,0"_s << 0.0 << QString() << u"Yardstick '0,0' ist nicht größer als 0"_s;
    QTest::newRow("no number") << u"abc"_s << 0.0 << QString() << u"Yardstick 'abc' ist keine Zahl"_s;
    QTest::newRow("two numbers") << u"104-2"_s << 0.0 << QString() << u"Yardstick '104-2' ist keine Zahl"_s;
}

void TestYardstickList::yardstickText() {
    QFETCH(QString, text);
    QFETCH(double, yardstick);
    QFETCH(QString, note);
    QFETCH(QString, reason);
    double value = 0;
    QString readNote;
    QCOMPARE(readYardstickText(text, value, readNote), reason);
    QCOMPARE(value, yardstick);
    QCOMPARE(readNote, note);
}

void TestYardstickList::readList_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected"); // summary(), or the error
    QTest::newRow("semicolons, hint column")
        << csv({u"Typ;Yardstick;Hinweis"_s, u"Laser;113;"_s, u"Pirat;112 B;neu"_s}) << u"Laser=113, Pirat=112 B | "_s;
    QTest::newRow("commas, header in any case and order")
        << csv({u"HINWEIS,yardstick,TYP"_s, u"x,\"112,5\",Finn"_s, u",104,Korsar"_s}) << u"Finn=112,5, Korsar=104 | "_s;
    QTest::newRow("a type twice: the later row wins")
        << csv({u"Typ;Yardstick"_s, u"Laser;113"_s, u"Pirat;112"_s, u"laser ;111"_s})
        << u"Pirat=112, laser=111 | 4:Typ steht schon in Zeile 2; die spätere Zeile gilt"_s;
    QTest::newRow("repeated inner blanks are one blank")
        << csv({u"Typ;Yardstick"_s, u"Laser   Radial;117"_s, u"laser radial;116"_s})
        << u"laser radial=116 | 3:Typ steht schon in Zeile 2; die spätere Zeile gilt"_s;
    QTest::newRow("rows refused, the others kept")
        << csv({u"Typ;Yardstick"_s, u"Laser;"_s, u"Pirat;-3"_s, u";104"_s, u"Finn;abc"_s, u"Korsar;103"_s})
        << u"Korsar=103 | 2:keine Yardstick-Zahl, 3:Yardstick '-3' ist nicht größer als 0, 4:kein Typ, "
           u"5:Yardstick 'abc' ist keine Zahl"_s;
    QTest::newRow("Windows-1252 umlauts")
        << QByteArray("Typ;Yardstick\r\nM\xF6we;98\r\nZugv\xF6gel;99\r\n") << u"Möwe=98, Zugvögel=99 | "_s;
    QTest::newRow("no Yardstick column") << csv({u"Typ;Zahl"_s, u"Laser;113"_s})
                                         << u"Die Datei ist keine Yardstick-Liste: ihre erste Zeile braucht die "
                                            u"Spalten 'Typ' und 'Yardstick'."_s;
    QTest::newRow("empty file") << QByteArray()
                                << u"Die Datei ist keine Yardstick-Liste: ihre erste Zeile braucht die Spalten 'Typ' "
                                   u"und 'Yardstick'."_s;
}

void TestYardstickList::readList() {
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QString actual;
    const QString error = errorOf([&] { actual = summary(readYardstickList(file)); });
    QCOMPARE(error == kNoError ? actual : error, expected);
}

void TestYardstickList::proposedName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("underscore") << u"/home/club/DSV_2027.csv"_s << u"DSV 2027"_s;
    QTest::newRow("blanks, upper-case extension") << u"Listen/Revier  Nord 2027.CSV"_s << u"Revier Nord 2027"_s;
    QTest::newRow("dots in the name") << u"ys.2027.csv"_s << u"ys.2027"_s;
}

void TestYardstickList::proposedName() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(proposedListName(path), name);
}

void TestYardstickList::compare_listsChangesOnceAndTypesTheListLacks() {
    ProgramFolder folder;
    QList<QVariantMap> boats = boatList({
        u"GER 1|Möwe|Anke|Laser|113|1"_s,
        u"GER 2|Wal|Tim| LASER  |111|1"_s, // already the list's number
        u"GER 3|Blitz|Lars|Pirat|113|2"_s,
        u"GER 4|Fisch|Paula|Optimist|165|2"_s,
        u"GER 5|Stern|Klaus|optimist|165|2"_s,
        u"GER 6|Ohne|Malte||100|3"_s,
    });
    boats << boat(u"GER 7"_s, u"Neu"_s, u"Jörg"_s, u"Pirat"_s, 0, 1);
    boats.last().insert(field::YS, QVariant()); // entered without a number
    folder.writeParticipants(folder.starter(), boats);
    Table participants;
    participants.open(folder.starter());
    const YardstickList list = readYardstickList(
        csv({u"Typ;Yardstick;Hinweis"_s, u"Laser;112;"_s, u"Pirat;110 B;neu vermessen"_s, u"laser;111;"_s}));

    const YardstickComparison comparison = compareWithRegister(list, participants);
    QStringList rows;
    for (const YardstickChange& c : comparison.changes) {
        rows << u"%1 %2 %3->%4 %5"_s.arg(c.sailNumber, c.type, displayText(c.now), displayText(c.listed), c.remark);
    }
    QCOMPARE(rows,
             (QStringList{u"GER 1 Laser 113->111 Typ doppelt in der Liste: Zeile 4 gilt, nicht Zeile 2"_s,
                          u"GER 3 Pirat 113->110 B · neu vermessen"_s, u"GER 7 Pirat ->110 B · neu vermessen"_s}));
    // Listed once whatever its spelling; a boat without a type is nobody's.
    QCOMPARE(comparison.missingTypes, QStringList{u"Optimist"_s});
}

void TestYardstickList::apply_settingsNotWritable_changesNothing() {
    ProgramFolder folder;
    folder.writeParticipants(folder.starter(), exampleFleet());
    Table participants;
    participants.open(folder.starter(), Table::Mode::Exclusive);
    const QList<YardstickChange> changes = {changeOf(1, 111), changeOf(2, 116)};
    // A folder where prefs.ini should be: the settings cannot be written.
    const QString blocked = folder.path() + u"/blocked.ini"_s;
    QVERIFY(QDir().mkpath(blocked));
    const QString error = errorOf([&] {
        applyYardsticks(participants, changes, {u"DSV 2027"_s, QDate(2027, 1, 10), u"x"_s, blocked});
    });
    QVERIFY2(error != kNoError, "a failed settings write was taken for success");
    QCOMPARE(participants.value(1, field::YS).toDouble(), 113.0);
    QCOMPARE(participants.value(2, field::YS).toDouble(), 115.0);

    QCOMPARE(
        applyYardsticks(participants, changes, {u"DSV 2027"_s, QDate(2027, 1, 10), u"StarterID.db"_s, folder.prefs()}),
        2);
    QCOMPARE(participants.value(1, field::YS).toDouble(), 111.0);
    QCOMPARE(participants.value(2, field::YS).toDouble(), 116.0);
    const IniFile prefs(folder.prefs());
    QCOMPARE(prefs.readString(u"Yardstick"_s, u"Datum"_s, {}), u"2027-01-10"_s);
}

void TestYardstickList::rulesLine_namesTheListOnlyWhenOneIsInForce() {
    ProgramFolder folder;
    const QString info = folder.data(u"Abend.ini"_s);
    QCOMPARE(raceRulesOf(info), kRaceRules); // no file
    writeFile(info, "[General]\r\nStarted=3\r\n");
    QCOMPARE(raceRulesOf(info), kRaceRules);
    writeFile(info, "[General]\r\nStarted=3\r\n[Yardstick]\r\nListe=DSV 2027\r\n");
    QCOMPARE(raceRulesOf(info), kRaceRules + u" · Yardstick: DSV 2027"_s);
}

void TestYardstickList::window_loadUntickApply_registerAndSettings_storedRaceUnchanged() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), boatList({
                                                       u"GER 1|Möwe|Anke|Laser|113|1"_s,
                                                       u"GER 2|Wal|Tim|Laser|113|1"_s,
                                                       u"GER 3|Blitz|Lars|Pirat|113|1"_s,
                                                       u"GER 4|Fisch|Paula|Optimist|165|1"_s,
                                                   }));
    // A race stored last season, with last season's numbers.
    const QString stored = f.folder.data(u"Alt.db"_s);
    Table::create(stored, raceFields(participantFields()));
    {
        Table race;
        race.open(stored);
        race.insert(boat(u"GER 1"_s, u"Möwe"_s, u"Anke"_s, u"Laser"_s, 113, 1, 2));
    }
    const QByteArray storedBefore = fileBytes(stored);
    const QString file = f.folder.path() + u"/DSV_2027.csv"_s;
    writeFile(file, csv({u"Typ;Yardstick;Hinweis"_s, u"Laser;111;"_s, u"Pirat;112 B;neu vermessen"_s,
                         u"Optimist;165;"_s, u"Finn;abc;"_s}));
    TMain& main = f.start().main();
    main.show();
    Table& table = main.participants().table();
    RecordModel& model = main.participants().model();
    auto ysTip = [&](int row) { return model.data(model.index(row, 4), Qt::ToolTipRole); };
    QVERIFY(ysTip(0).isNull()); // no list applied: as it always was

    // Cancel writes nothing, even with a list loaded.
    f.prompts.fileNames = {file};
    onNextDialog([](QDialog& window) {
        QCOMPARE(window.objectName(), u"TYardstickList"_s);
        PRESS(window, "cmdFile");
        QCOMPARE(window.findChild<QTableWidget*>(u"DBGrid1"_s)->rowCount(), 3);
        PRESS(window, "cmdCancel");
    });
    PRESS(main, "cmdYsList");
    QCOMPARE(table.value(1, field::YS).toDouble(), 113.0);
    QVERIFY(!IniFile(f.folder.prefs()).hasKey(u"Yardstick"_s, u"Liste"_s));

    QStringList grid;
    QString problems;
    f.prompts.fileNames = {file};
    onNextDialog([&](QDialog& window) {
        QVERIFY(!window.findChild<QWidget*>(u"cmdApply"_s)->isEnabled()); // nothing loaded yet
        PRESS(window, "cmdFile");
        QCOMPARE(window.findChild<QLineEdit*>(u"txtName"_s)->text(), u"DSV 2027"_s);
        auto* changes = window.findChild<QTableWidget*>(u"DBGrid1"_s);
        for (int r = 0; r < changes->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < changes->columnCount(); ++c) {
                cells << changes->item(r, c)->text();
            }
            grid << cells.join(u'|') + (changes->item(r, 5)->checkState() == Qt::Checked ? u" ✓"_s : u""_s);
        }
        problems = window.findChild<QPlainTextEdit*>(u"memProblems"_s)->toPlainText();
        // Untick GER 2: a click on its tick cell, then the space bar, as on any check box.
        const QModelIndex tick = changes->model()->index(1, 5);
        QTest::mouseClick(changes->viewport(), Qt::LeftButton, {}, changes->visualRect(tick).center());
        QTest::keyClick(changes->viewport(), Qt::Key_Space);
        QCOMPARE(changes->item(1, 5)->checkState(), Qt::Unchecked);
        PRESS(window, "cmdApply");
        QVERIFY(!window.isVisible());
    });
    PRESS(main, "cmdYsList");
    QVERIFY2(f.prompts.errors.isEmpty(), qPrintable(f.prompts.errors.join(u'|')));
    QCOMPARE(grid, (QStringList{u"GER 1|Möwe|Laser|113|111||"_s + u" ✓"_s, u"GER 2|Wal|Laser|113|111||"_s + u" ✓"_s,
                                u"GER 3|Blitz|Pirat|113|112||B · neu vermessen ✓"_s}));
    QCOMPARE(problems, u"Zeile 5: Finn – Yardstick 'abc' ist keine Zahl"_s);
    QCOMPARE(f.prompts.messages,
             QStringList{u"Die Yardstick-Liste 'DSV 2027' ist übernommen: 2 Boote haben eine neue Yardstick-Zahl."_s});

    // Read back from the files, not from the window (the program holds the participant table).
    QStringList numbers;
    for (const Table::Row& row : table.select()) {
        numbers << displayText(row.values.value(table.fieldIndex(field::YS)));
    }
    QCOMPARE(numbers, (QStringList{u"111"_s, u"113"_s, u"112"_s, u"165"_s}));
    const IniFile prefs(f.folder.prefs());
    QCOMPARE(prefs.readString(u"Yardstick"_s, u"Liste"_s, {}), u"DSV 2027"_s);
    QCOMPARE(prefs.readString(u"Yardstick"_s, u"Datum"_s, {}), u"2024-12-24"_s);
    QCOMPARE(fileBytes(stored), storedBefore);
    // The register shows the new numbers and names their list.
    QCOMPARE(model.value(0, field::YS).toDouble(), 111.0);
    QCOMPARE(ysTip(0).toString(), u"Yardstick: DSV 2027"_s);
    QVERIFY(model.data(model.index(0, 0), Qt::ToolTipRole).isNull());

    // A race timed now copies the new numbers, and its result names the list.
    raceToTheEnd(f, main);
    QVERIFY(!widget<QToolButton>(main, "cmdYsList")->isEnabled());
    QCOMPARE(main.race().table().value(1, field::YS).toDouble(), 111.0);
    PRESS(main, "cmdReportPDF");
    QVERIFY2(f.prompts.errors.isEmpty(), qPrintable(f.prompts.errors.join(u'|')));
    QVERIFY(readFile(f.folder.path() + u"/Reports/Abend.html"_s).contains(u"Yardstick: DSV 2027"_s));
}

QTEST_MAIN(TestYardstickList)
#include "tst_yslist.moc"

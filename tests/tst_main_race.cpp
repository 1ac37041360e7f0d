#include "MainFixture.h"
#include "PdfRead.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "participants/ParticipantRegister.h"
#include "store/IniFile.h"
#include "store/Table.h"
#include "timing/Race.h"
#include "timing/RacePanel.h"
#include "timing/StampDesk.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace wm;
using namespace Qt::Literals::StringLiterals;
using namespace wm::test;

namespace {

struct Entry {
    QString sail;
    QString gzeit;
    QString bzeit;
    int status;
    QVariant punkte;
};

QMap<QString, Entry> readRace(const Table& t) {
    QMap<QString, Entry> result;
    for (const Table::Row& r : t.select()) {
        const QString sail = r.values.value(t.fieldIndex(field::SEGELNR)).toString();
        result.insert(sail, {sail, r.values.value(t.fieldIndex(field::GZEIT)).toString(),
                             r.values.value(t.fieldIndex(field::BZEIT)).toString(),
                             r.values.value(t.fieldIndex(field::STATUS)).toInt(),
                             r.values.value(t.fieldIndex(field::Punkte))});
    }
    return result;
}

QMap<QString, Entry> readRace(const QString& path) {
    Table t;
    t.open(path);
    return readRace(t);
}

void typeEnter(QWidget* w) {
    QTest::keyClick(w, Qt::Key_Return);
}

} // namespace

class TestMainRace : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*QCoreApplication::instance()); }

    void wholeRace_fromNewRaceToPoints();
    void check_beforeFirstPublishing_data();
    void check_beforeFirstPublishing();
    void newRace_cancelTakesDefaultName();
    void newRace_existingNameAnsweredNo_keepsStoredRace();
    void newRace_refusesPathNames_data();
    void newRace_refusesPathNames();
    void newRace_nameWithApostrophe();
    void enter_beforeAnyRace_addsNothing();
    void add_emptyRegister_notifiesOrClearsSearch();
    void finish_failures_keepEntryListed_data();
    void finish_failures_keepEntryListed();
    void finishMode_searchNeverShowsFinishedBoats();
    void scoring_duplicateEntries_showsMessageAndWritesNoPoints();
    void enter_afterTypingTakesTheFirstMatch_andIgnoresAHeldKey();
    void switchDatabase_inFinishMode_keepsTheStartTimes();
    void newRace_replacingARaceHeldElsewhere_keepsItWhole();
    void resultButtons_listPreviewAndPdf();
    void undo_takesBackFinishesToTheFirst();
    void resume_afterTheRecorderWasKilled();
    void resume_declined_isNotAskedAgain();
    void finish_onAFullDisk_savedOrRefusedWithOneBox();
    void code_fromTheMenu_finishesLikeDnfAndUndoes();
    void signals_sequenceCuesRecallThenRace();
    void stamps_assignedAsZielWouldHave_data();
    void stamps_assignedAsZielWouldHave();
    void stamps_undoDeleteAndF5();
};

void TestMainRace::switchDatabase_inFinishMode_keepsTheStartTimes() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    const QString other = f.folder.starter(QStringLiteral("Jugend.db"));
    f.folder.writeParticipants(other, {});
    TMain& main = f.start().main();
    main.timLoadTimer();
    PRESS(main, "Label22");
    PRESS(main, "cmdAdd");
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    QCOMPARE(main.race().mode(), Race::Mode::Finish);
    f.prompts.fileNames = {other};
    PRESS(main, "cmdChangeSID");
    QCOMPARE(main.currentSID(), other);
    QVERIFY(!main.timLoad()->isActive());
}

void TestMainRace::enter_afterTypingTakesTheFirstMatch_andIgnoresAHeldKey() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(),
                               boatList({QStringLiteral("12|A|||100|1"), QStringLiteral("120|B|||100|1"),
                                         QStringLiteral("5|C|||100|1"), QStringLiteral("121|D|||100|1")}));
    TMain& main = f.start().main();
    PRESS(main, "Label22");
    auto* search = widget<QLineEdit>(main, "FilterStarter");
    main.participants().model().setCurrent(1); // "120" highlighted
    search->setText(QStringLiteral("12"));
    typeEnter(search);
    QCOMPARE(main.race().list().currentText(field::SEGELNR), QStringLiteral("12"));
    search->clear();
    for (int i = 0; i < 3; ++i) {
        PRESS(main, "cmdAdd");
    }
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    auto* raceList = widget<QTableView>(main, "DBGrid2");
    auto* filterToday = widget<QLineEdit>(main, "FilterToday");
    main.race().list().setCurrent(2); // "121" highlighted
    filterToday->setText(QStringLiteral("12"));
    QCOMPARE(main.race().list().currentText(field::SEGELNR), QStringLiteral("12"));
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(raceList, &held);
    QCOMPARE(main.race().table().count(Filter::equals(field::STATUS, 2)), 0);
    typeEnter(raceList);
    QCOMPARE(main.race().table().count(Filter::equals(field::STATUS, 2)), 1);
    QCOMPARE(main.race().table().count(Filter::equals(field::SEGELNR, QStringLiteral("12")) &&
                                       Filter::equals(field::STATUS, 2)),
             1);
}

void TestMainRace::wholeRace_fromNewRaceToPoints() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    f.clock.set(QDateTime(QDate(2024, 12, 24), QTime(17, 50, 0)));
    TMain& main = f.start().main();
    main.timLoadTimer();
    // Starts at 18:00, 18:05 and 18:10; start 3 is switched off for now.
    auto set = [&](const char* h, const char* m, const char* s, const QString& hv, const QString& mv) {
        widget<QLineEdit>(main, h)->setText(hv);
        widget<QLineEdit>(main, m)->setText(mv);
        widget<QLineEdit>(main, s)->setText(QStringLiteral("0"));
    };
    set("Edit1", "Edit2", "Edit3", QStringLiteral("18"), QStringLiteral("0"));
    set("Edit4", "Edit5", "Edit6", QStringLiteral("18"), QStringLiteral("5"));
    set("Edit9", "Edit8", "Edit7", QStringLiteral("18"), QStringLiteral("10"));
    widget<QCheckBox>(main, "S3Active")->setChecked(false);
    widget<QCheckBox>(main, "S4Active")->setChecked(false);
    widget<QCheckBox>(main, "S5Active")->setChecked(false);
    QVERIFY(f.prompts.errors.isEmpty());

    f.prompts.inputs = {QStringLiteral("Herbstpokal")};
    PRESS(main, "Label22");
    QCOMPARE(main.windowTitle(), QStringLiteral("Wendemark - Wettfahrt [Herbstpokal] - Start"));
    QVERIFY(widget<QPushButton>(main, "cmdAdd")->isEnabled());
    QVERIFY(!widget<QPushButton>(main, "cmdZiel")->isHidden());

    // Boats are entered by typing the start of a sail number and pressing Enter.
    auto* search = widget<QLineEdit>(main, "FilterStarter");
    auto* available = widget<QTableView>(main, "DBGrid1");
    auto* raceList = widget<QTableView>(main, "DBGrid2");
    for (const char* sail : {"GER 1", "GER 2", "G 12", "G 17", "GER 3", "GER 4"}) {
        search->setText(QString::fromLatin1(sail));
        QCOMPARE(available->model()->rowCount(), 1);
        typeEnter(search);
    }
    QCOMPARE(raceList->model()->rowCount(), 6);
    QCOMPARE(main.participants().table().count(Filter::equals(field::STATUS, 1)), 6);
    search->clear();
    QCOMPARE(available->model()->rowCount(), 0);

    // Start 3 is used but switched off: "Nein" stays in start mode, "Ja" turns it on.
    f.prompts.answers = {true, false};
    PRESS(main, "cmdZiel");
    QVERIFY(!main.startClock().isActive(3));
    QCOMPARE(main.race().mode(), Race::Mode::Start);
    f.prompts.asked.clear();
    f.prompts.answers = {true, true};
    PRESS(main, "cmdZiel");
    QCOMPARE(f.prompts.asked.size(), 2);
    QCOMPARE(f.prompts.captions.last(), QStringLiteral("Bestätigung"));
    QVERIFY(f.prompts.asked[1].startsWith(QStringLiteral("Mindestens ein Teilnehmer erfordert den Start 3.\r")));
    QVERIFY(main.startClock().isActive(3));
    QVERIFY(!main.startClock().isActive(4));
    QCOMPARE(main.windowTitle(), QStringLiteral("Wendemark - Wettfahrt [ Herbstpokal ] - Ziel"));
    QCOMPARE(widget<QLabel>(main, "Label17")->text(), QStringLiteral("Ziel"));
    QVERIFY(!widget<QLabel>(main, "Label22")->isEnabled());
    QVERIFY(widget<QTableView>(main, "DBGrid1")->isHidden());
    QCOMPARE(raceList->geometry().top(), 152);

    // Finishes: the elapsed time is what the start's clock shows.
    auto finishAt = [&](const QTime& t) {
        f.clock.setTime(t);
        main.startClock().Timer2Timer();
        typeEnter(raceList);
    };
    finishAt(QTime(18, 47, 12)); // GER 1, start 1: 00:47:12
    auto* filterToday = widget<QLineEdit>(main, "FilterToday");
    filterToday->setText(QStringLiteral("g 1"));
    QCOMPARE(raceList->model()->rowCount(), 2); // G 12 and G 17
    finishAt(QTime(18, 52, 12));                // G 12, start 2: 00:47:12
    PRESS(main, "cmdDNF");                      // G 17: the last boat the search shows
    QCOMPARE(filterToday->text(), QString());   // the search is emptied, the race goes on
    QCOMPARE(raceList->model()->rowCount(), 3);
    QVERIFY(f.notifier.notices.isEmpty());
    main.race().list().locate(main.race().list().rowid(1));
    PRESS(main, "cmdDSQ");      // GER 3; the next boat in the list, GER 4, becomes current
    finishAt(QTime(18, 50, 1)); // GER 4, start 3: 00:40:01
    finishAt(QTime(19, 0, 0));  // GER 2, start 1: 01:00:00

    QCOMPARE(f.notifier.notices.size(), 1);
    QCOMPARE(f.notifier.notices[0].text,
             QStringLiteral(
                 "Alle Teilnehmer der Wettfahrt 'Herbstpokal' gezeitet!\r\rFür Ergebnisse einen Report erstellen"));
    QVERIFY(!widget<QPushButton>(main, "cmdZeiten")->isEnabled());
    QVERIFY(!widget<QPushButton>(main, "cmdReport")->isHidden());
    QCOMPARE(raceList->model()->rowCount(), 0);
    QVERIFY(f.prompts.errors.isEmpty());

    f.stop();
    const auto race = readRace(f.folder.data(QStringLiteral("Herbstpokal.db")));
    QCOMPARE(race.size(), 6);
    QCOMPARE(race[QStringLiteral("GER 1")].gzeit, QStringLiteral("00:47:12"));
    QCOMPARE(race[QStringLiteral("GER 1")].bzeit, QStringLiteral("00:41:46"));
    QCOMPARE(race[QStringLiteral("G 12")].bzeit, QStringLiteral("00:42:31"));
    QCOMPARE(race[QStringLiteral("G 17")].gzeit, QStringLiteral("DNF"));
    QCOMPARE(race[QStringLiteral("GER 3")].bzeit, QStringLiteral("DSQ"));
    QCOMPARE(race[QStringLiteral("GER 4")].gzeit, QStringLiteral("00:40:01"));
    QCOMPARE(race[QStringLiteral("GER 4")].bzeit, QStringLiteral("00:42:07"));
    QCOMPARE(race[QStringLiteral("GER 2")].gzeit, QStringLiteral("01:00:00"));
    QCOMPARE(race[QStringLiteral("GER 2")].bzeit, QStringLiteral("00:52:10"));
    QCOMPARE(race[QStringLiteral("GER 1")].punkte.toInt(), 1);
    QCOMPARE(race[QStringLiteral("GER 4")].punkte.toInt(), 2);
    QCOMPARE(race[QStringLiteral("G 12")].punkte.toInt(), 3);
    QCOMPARE(race[QStringLiteral("GER 2")].punkte.toInt(), 4);
    QCOMPARE(race[QStringLiteral("G 17")].punkte.toInt(), 6);
    QCOMPARE(race[QStringLiteral("GER 3")].punkte.toInt(), 6);
    for (const Entry& e : race) {
        QCOMPARE(e.status, 2);
    }
    QCOMPARE(IniFile(f.folder.data(QStringLiteral("Herbstpokal.ini")))
                 .readInt(QStringLiteral("General"), QStringLiteral("Started"), 0),
             6);
}

void TestMainRace::newRace_cancelTakesDefaultName() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    TMain& main = f.start().main();
    PRESS(main, "Label22");
    QCOMPARE(f.prompts.inputPrompts, QStringList{QStringLiteral("Bezeichnung der Wettfahrt [2024-Dec-24]")});
    QCOMPARE(main.race().name(), QStringLiteral("2024-Dec-24"));
    QVERIFY(QFileInfo::exists(f.folder.data(QStringLiteral("2024-Dec-24.db"))));
    QCOMPARE(widget<QLabel>(main, "Label11")->text(), QStringLiteral("2024-Dec-24"));
}

void TestMainRace::newRace_existingNameAnsweredNo_keepsStoredRace() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    f.folder.writeParticipants(f.folder.data(QStringLiteral("Pokal.db")), {exampleFleet().first()});
    TMain& main = f.start().main();
    f.prompts.inputs = {QStringLiteral("Pokal"), QStringLiteral("Pokal 2")};
    f.prompts.answers = {false};
    PRESS(main, "Label22");
    QCOMPARE(f.prompts.asked, QStringList{QStringLiteral("Die Wettfahrt 'Pokal' existiert bereits. Überschreiben?")});
    QCOMPARE(main.race().name(), QStringLiteral("Pokal 2"));
    Table stored;
    stored.open(f.folder.data(QStringLiteral("Pokal.db")));
    QCOMPARE(stored.count(), 1);
}

void TestMainRace::newRace_refusesPathNames_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("parent folder") << QStringLiteral("../Pokal");
    QTest::newRow("slash") << QStringLiteral("a/b");
    QTest::newRow("backslash") << QStringLiteral("a\\b");
    QTest::newRow("empty") << QString();
    QTest::newRow("percent sign and slash") << QStringLiteral("Cup %1/2");
}

void TestMainRace::newRace_refusesPathNames() {
    QFETCH(QString, name);
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    TMain& main = f.start().main();
    f.prompts.inputs = {name, QStringLiteral("Gut")};
    PRESS(main, "Label22");
    QCOMPARE(f.prompts.errors.size(), 1);
    if (!name.isEmpty()) {
        // The name shows as typed, whatever it contains, and the limit is not replaced by it.
        QVERIFY2(f.prompts.errors[0].startsWith(u'\'' + name + QStringLiteral("' kann nicht")) &&
                     f.prompts.errors[0].contains(QStringLiteral("höchstens 120 Zeichen")),
                 qPrintable(f.prompts.errors[0]));
    }
    QCOMPARE(f.prompts.inputPrompts.size(), 2);
    QCOMPARE(main.race().name(), QStringLiteral("Gut"));
    QVERIFY(!QFileInfo::exists(f.folder.path() + QStringLiteral("/data/Pokal.db")));
    QVERIFY(!QFileInfo::exists(f.folder.path() + QStringLiteral("/Pokal.db")));
}

void TestMainRace::newRace_nameWithApostrophe() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(),
                               {boat(QStringLiteral("IRL 7"), QStringLiteral("O'Neil's Pride"),
                                     QStringLiteral("Seán O'Neil"), QStringLiteral("Laser"), 113, 1)});
    TMain& main = f.start().main();
    f.prompts.inputs = {QStringLiteral("O'Neil Cup")};
    PRESS(main, "Label22");
    PRESS(main, "cmdAdd");
    QCOMPARE(main.race().list().count(), 1);
    QCOMPARE(main.race().list().currentText(field::BOOTSNAME), QStringLiteral("O'Neil's Pride"));
    QVERIFY(QFileInfo::exists(f.folder.data(QStringLiteral("O'Neil Cup.db"))));
}

void TestMainRace::enter_beforeAnyRace_addsNothing() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    TMain& main = f.start().main();
    typeEnter(widget<QTableView>(main, "DBGrid1"));
    typeEnter(widget<QLineEdit>(main, "FilterStarter"));
    QCOMPARE(main.participants().model().count(), 6);
    QVERIFY(f.prompts.errors.isEmpty());
    QVERIFY(f.notifier.notices.isEmpty());
}

void TestMainRace::add_emptyRegister_notifiesOrClearsSearch() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {exampleFleet().first()});
    TMain& main = f.start().main();
    PRESS(main, "Label22");
    auto* search = widget<QLineEdit>(main, "FilterStarter");
    search->setText(QStringLiteral("xyz"));
    PRESS(main, "cmdAdd");
    QCOMPARE(search->text(), QString());
    QCOMPARE(main.race().list().count(), 0);
    PRESS(main, "cmdAdd");
    QCOMPARE(main.race().list().count(), 1);
    PRESS(main, "cmdAdd");
    QCOMPARE(f.notifier.notices.size(), 1);
    QCOMPARE(f.notifier.notices[0].text,
             QStringLiteral("Alle vorhandenen Boote am Start\nggf. mit NEU Starter hinzufügen"));
    QCOMPARE(main.race().list().count(), 1);
}

void TestMainRace::finish_failures_keepEntryListed_data() {
    QTest::addColumn<QVariant>("yardstick");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("message");
    QTest::newRow("yardstick 0") << QVariant(0) << 1 << QStringLiteral("Gleitkommadivision durch Null");
    QTest::newRow("no yardstick") << QVariant() << 1 << QStringLiteral("'' ist kein gültiger Gleitkommawert");
    QTest::newRow("start 6") << QVariant(100) << 6 << QStringLiteral("'' ist keine gültige Uhrzeit");
}

void TestMainRace::finish_failures_keepEntryListed() {
    QFETCH(QVariant, yardstick);
    QFETCH(int, start);
    QFETCH(QString, message);
    MainFixture f;
    QVariantMap b = boat(QStringLiteral("X 1"), QStringLiteral("Problem"), QStringLiteral("Name"),
                         QStringLiteral("Typ"), 100, start);
    b.insert(field::YS, yardstick);
    f.folder.writeParticipants(f.folder.starter(), {b});
    TMain& main = f.start().main();
    PRESS(main, "Label22");
    PRESS(main, "cmdAdd");
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    PRESS(main, "cmdZeiten");
    QCOMPARE(f.prompts.errors, QStringList{message});
    QCOMPARE(main.race().list().count(), 1);
    QCOMPARE(main.race().list().currentText(field::GZEIT), QString());
    QCOMPARE(main.race().list().currentValue(field::STATUS).toInt(), 1);
}

void TestMainRace::finishMode_searchNeverShowsFinishedBoats() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    TMain& main = f.start().main();
    PRESS(main, "Label22");
    for (int i = 0; i < 6; ++i) {
        PRESS(main, "cmdAdd");
    }
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    auto* filterToday = widget<QLineEdit>(main, "FilterToday");
    filterToday->setText(QStringLiteral("GER 1"));
    QCOMPARE(main.race().list().count(), 1);
    PRESS(main, "cmdZeiten");
    QCOMPARE(filterToday->text(), QString());
    filterToday->setText(QStringLiteral("GER 1"));
    QCOMPARE(main.race().list().count(), 0);
    PRESS(main, "cmdZeiten"); // nothing listed: nothing happens
    QCOMPARE(main.race().table().count(Filter::equals(field::STATUS, 2)), 1);
}

void TestMainRace::scoring_duplicateEntries_showsMessageAndWritesNoPoints() {
    MainFixture f;
    const QVariantMap twin = exampleFleet().first();
    f.folder.writeParticipants(f.folder.starter(), {twin, twin});
    TMain& main = f.start().main();
    PRESS(main, "Label22");
    PRESS(main, "cmdAdd");
    QCOMPARE(main.race().list().count(), 2);
    QCOMPARE(main.participants().model().count(), 1); // only the current one left the register
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    PRESS(main, "cmdDNF");
    PRESS(main, "cmdDNF");
    QCOMPARE(f.prompts.errors.size(), 1);
    QVERIFY2(f.prompts.errors[0].startsWith(
                 QStringLiteral("Alle Ergebnisse der Wettfahrt sind gespeichert, die Wettfahrt ist aber noch nicht "
                                "gewertet:")),
             qPrintable(f.prompts.errors[0]));
    QCOMPARE(main.race().table().count(Filter::isNotNull(field::Punkte)), 0);
    QVERIFY(!IniFile(f.folder.data(main.race().name() + QStringLiteral(".ini")))
                 .hasKey(QStringLiteral("General"), QStringLiteral("Started")));
}

void TestMainRace::newRace_replacingARaceHeldElsewhere_keepsItWhole() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    const QString held = f.folder.data(QStringLiteral("Gesperrt.db"));
    const QString info = f.folder.data(QStringLiteral("Gesperrt.ini"));
    f.folder.writeParticipants(held, exampleFleet());
    writeFile(info, "[General]\nStarted=6\n");
    QProcess holder;
    holder.start(QStringLiteral(TABLE_HOLDER), {QStringLiteral("hold"), held});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));
    TMain& main = f.start().main();
    f.prompts.inputs = {QStringLiteral("Gesperrt")};
    f.prompts.answers = {true};
    PRESS(main, "Label22");
    QCOMPARE(f.prompts.errors.size(), 1);
    QVERIFY2(f.prompts.errors[0].contains(QStringLiteral("von einem anderen Programm benutzt")),
             qPrintable(f.prompts.errors[0]));
    QVERIFY(!main.race().isOpen());
    QCOMPARE(readFile(info), QStringLiteral("[General]\nStarted=6\n"));
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    Table stored;
    stored.open(held);
    QCOMPARE(stored.count(), 6);
}

void TestMainRace::resultButtons_listPreviewAndPdf() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    TMain& main = f.start().main();
    f.prompts.inputs = {QStringLiteral("Abend")};
    PRESS(main, "Label22");
    for (int i = 0; i < 3; ++i) {
        PRESS(main, "cmdAdd");
    }
    const QString preview = f.folder.path() + QStringLiteral("/preview.pdf");
    PRESS(main, "cmdCompList");
    QCOMPARE(f.preview->shown, 1);
    QStringList pages = readPdfFile(preview).pageTexts;
    QCOMPARE(pages.size(), 1);
    QVERIFY2(pages[0].contains(QStringLiteral("Teilnehmer: Abend")) && pages[0].contains(QStringLiteral("Möwe")),
             qPrintable(pages[0]));

    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    PRESS(main, "cmdZeiten");
    PRESS(main, "cmdDNF");
    PRESS(main, "cmdDSQ");
    QCOMPARE(main.race().mode(), Race::Mode::Over);

    PRESS(main, "cmdReport");
    QCOMPARE(f.preview->shown, 2);
    QVERIFY(f.notifier.cleared > 0);
    pages = readPdfFile(preview).pageTexts;
    QCOMPARE(pages.size(), 1);
    QVERIFY2(pages[0].contains(QStringLiteral("Platz")) && pages[0].contains(QStringLiteral("DSQ")),
             qPrintable(pages[0]));

    f.notifier.notices.clear();
    PRESS(main, "cmdReportPDF");
    QVERIFY2(f.prompts.errors.isEmpty(), qPrintable(f.prompts.errors.join(u'|')));
    const QString pdf = f.folder.path() + QStringLiteral("/Reports/Abend.pdf");
    pages = readPdfFile(pdf).pageTexts;
    QCOMPARE(pages.size(), 1);
    QVERIFY2(pages[0].contains(QStringLiteral("Abend - ")) && pages[0].contains(QStringLiteral("DNF")),
             qPrintable(pages[0]));
    QCOMPARE(f.notifier.notices.size(), 1);
    QVERIFY(f.notifier.notices[0].text.endsWith(pdf));
    // After the export both result buttons stay disabled for the rest of the run.
    QVERIFY(!widget<QPushButton>(main, "cmdReport")->isEnabled());
    QVERIFY(!widget<QPushButton>(main, "cmdReportPDF")->isEnabled());
}

void TestMainRace::undo_takesBackFinishesToTheFirst() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    TMain& main = f.start().main();
    f.prompts.inputs = {QStringLiteral("Lauf")};
    PRESS(main, "Label22");
    for (int i = 0; i < 4; ++i) {
        PRESS(main, "cmdAdd");
    }
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    QVERIFY(!widget<QPushButton>(main, "cmdUndo")->isHidden());
    PRESS(main, "cmdZeiten"); // GER 1
    PRESS(main, "cmdDNF");    // GER 2
    PRESS(main, "cmdZeiten"); // G 12
    const QStringList undone = {QStringLiteral("G 12"), QStringLiteral("GER 2"), QStringLiteral("GER 1")};
    for (int k = 0; k < undone.size(); ++k) {
        if (k == 1) {
            QTest::keyClick(widget<QTableView>(main, "DBGrid2"), Qt::Key_Z, Qt::ControlModifier);
        } else {
            PRESS(main, "cmdUndo");
        }
        const QMap<QString, Entry> race = readRace(main.race().table());
        QCOMPARE(race[undone[k]].status, 1);
        QVERIFY(race[undone[k]].gzeit.isEmpty() && race[undone[k]].bzeit.isEmpty());
        QCOMPARE(main.race().list().currentText(field::SEGELNR), undone[k]);
        for (int later = k + 1; later < undone.size(); ++later) {
            QCOMPARE(race[undone[later]].status, 2);
        }
    }
    QCOMPARE(main.race().list().count(), 4);
    PRESS(main, "cmdUndo");
    QCOMPARE(f.notifier.notices.last().text, QStringLiteral("Es gibt keinen Zieleinlauf zum Zurücknehmen."));
    QVERIFY(f.prompts.errors.isEmpty());
    // Timing goes on as before, and after the race is over there is nothing more to take back.
    for (int i = 0; i < 4; ++i) {
        PRESS(main, "cmdZeiten");
    }
    QCOMPARE(main.race().mode(), Race::Mode::Over);
    QVERIFY(!widget<QPushButton>(main, "cmdUndo")->isEnabled());
}

void TestMainRace::resume_afterTheRecorderWasKilled() {
    MainFixture f;
    const QString path = f.folder.data(QStringLiteral("Crashlauf.db"));
    QProcess prepare;
    prepare.start(QStringLiteral(FINISH_RECORDER), {QStringLiteral("--prepare"), path, f.folder.starter()});
    QVERIFY(prepare.waitForFinished(120000));
    QCOMPARE(prepare.exitCode(), 0);
    // What finish mode keeps with the race: its start times.
    writeFile(f.folder.data(QStringLiteral("Crashlauf.ini")),
              "[Startzeiten]\nS1=1\nS1Zeit=17:00:00\nS2=1\nS2Zeit=17:05:00\nS3=1\nS3Zeit=17:10:00\n"
              "S4=0\nS4Zeit=17:10:00\nS5=0\nS5Zeit=17:10:00\n");
    QProcess child;
    child.start(QStringLiteral(FINISH_RECORDER), {QStringLiteral("--stamps"), path, f.folder.starter()});
    QVERIFY(child.waitForStarted());
    QByteArray last;
    int reported = 0;
    QStringList stamps;
    while (reported < 40) {
        QVERIFY2(child.waitForReadyRead(20000), child.readAllStandardError().constData());
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("stamp ")) {
                stamps.prepend(stampText(line.mid(6).toInt()));
                continue;
            }
            last = line;
            ++reported;
        }
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(20000));

    f.prompts.answers = {true};
    TMain& main = f.start().main();
    // Asked only with the main window on the screen behind the question.
    QVERIFY(f.prompts.asked.isEmpty());
    f.prompts.watched = &main;
    main.show();
    QTRY_COMPARE(f.prompts.asked.size(), 1);
    QCOMPARE(f.prompts.watchedShownWhenAsked, QList<bool>{true});
    QCOMPARE(f.prompts.asked.value(0), QStringLiteral("Die Wettfahrt 'Crashlauf' wurde nicht beendet. Fortsetzen?"));
    QCOMPARE(main.race().mode(), Race::Mode::Finish);
    QCOMPARE(main.windowTitle(), QStringLiteral("Wendemark - Wettfahrt [ Crashlauf ] - Ziel"));
    QCOMPARE(main.startClock().startTime(2), wm::ParseTime(QStringLiteral("17:05:00")));
    QVERIFY(!main.startClock().isActive(4));
    // The start settings loaded after start-up do not replace the race's own.
    QVERIFY(!main.timLoad()->isActive());
    const int racing = main.race().table().count(Filter::equals(field::STATUS, 1));
    QVERIFY(racing >= 300 - reported - 1 && racing <= 300 - reported);
    QCOMPARE(main.race().list().count(), racing);
    // Every time taken at the line is still there, newest first; one more may have been kept unreported.
    auto* stampList = widget<QListWidget>(main, "lstStamps");
    QVERIFY(stampList->isVisible());
    QStringList shown;
    for (int i = 0; i < stampList->count(); ++i) {
        shown << stampList->item(i)->text();
    }
    QVERIFY(!stamps.isEmpty());
    QVERIFY2(shown == stamps || shown.mid(1) == stamps, qPrintable(shown.join(u' ')));

    // The last finish the killed recorder reported can be taken back.
    const QString lastSail = QString::fromUtf8(last.split(' ').value(1));
    if (racing == 300 - reported) {
        PRESS(main, "cmdUndo");
        QCOMPARE(main.race().list().currentText(field::SEGELNR), lastSail);
    }
    while (main.race().mode() == Race::Mode::Finish) {
        PRESS(main, "cmdZeiten");
    }
    QVERIFY2(f.prompts.errors.isEmpty(), qPrintable(f.prompts.errors.join(u'|')));
    QCOMPARE(main.race().table().count(Filter::isNull(field::Punkte)), 0);
    QCOMPARE(main.race().table().count(Filter::equals(field::STATUS, 1)), 0);
}

void TestMainRace::resume_declined_isNotAskedAgain() {
    MainFixture f;
    const QString path = f.folder.data(QStringLiteral("Crashlauf.db"));
    QProcess prepare;
    prepare.start(QStringLiteral(FINISH_RECORDER), {QStringLiteral("--prepare"), path, f.folder.starter()});
    QVERIFY(prepare.waitForFinished(120000));
    writeFile(f.folder.data(QStringLiteral("Crashlauf.ini")), "[Startzeiten]\nS1=1\nS1Zeit=17:00:00\n");
    f.prompts.answers = {false};
    f.start().main().show();
    QTRY_COMPARE(f.prompts.asked.size(), 1);
    QCOMPARE(f.app->main().race().mode(), Race::Mode::NoRace);
    f.stop();
    f.prompts.asked.clear();
    f.start().main().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.app->main()));
    QTest::qWait(50);
    QVERIFY(f.prompts.asked.isEmpty());
    QVERIFY(!f.app->main().race().isOpen());
}

void TestMainRace::finish_onAFullDisk_savedOrRefusedWithOneBox() {
    MainFixture f;
    SmallDisk disk(f.folder.path() + QStringLiteral("/data"), 4096);
    if (!disk.ok()) {
        QSKIP("needs root to mount a small tmpfs as a full disk");
    }
    QVERIFY(QDir().mkpath(f.folder.path() + QStringLiteral("/data/Starter")));
    QVERIFY(QDir().mkpath(f.folder.path() + QStringLiteral("/data/Serien")));
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    TMain& main = f.start().main();
    main.timLoadTimer();
    PRESS(main, "Label22");
    for (int i = 0; i < 4; ++i) {
        PRESS(main, "cmdAdd");
    }
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    QCOMPARE(main.race().mode(), Race::Mode::Finish);
    auto finished = [&] { return main.race().table().count(Filter::equals(field::STATUS, 2)); };

    // Nearly full: finishes are saved one after the other, and nothing stands in the way of the next.
    disk.fill(64 * 1024);
    PRESS(main, "cmdZeiten");
    QCOMPARE(f.prompts.errors, QStringList());
    QCOMPARE(finished(), 1);

    // Full: a finish that fits into the pages the race already has is saved without a word; one that does
    // not is refused with one box, and its boat stays in the list to be timed again. Never both.
    disk.release();
    disk.fill();
    for (int press = 1; press <= 2; ++press) {
        PRESS(main, "cmdZeiten");
        QCOMPARE(finished() - 1 + int(f.prompts.errors.size()), press);
        QCOMPARE(main.race().list().count(), 4 - finished());
    }
    for (const QString& error : f.prompts.errors) {
        QVERIFY2(error.startsWith(QStringLiteral("Der Zieleinlauf wurde nicht gespeichert")), qPrintable(error));
    }
    disk.release();
    const qsizetype boxes = f.prompts.errors.size();
    while (finished() < 3) {
        PRESS(main, "cmdZeiten");
    }
    QCOMPARE(f.prompts.errors.size(), boxes);
    // Taken back in the order they were saved.
    PRESS(main, "cmdUndo");
    QCOMPARE(finished(), 2);
    QCOMPARE(main.race().list().count(), 2);
}

void TestMainRace::check_beforeFirstPublishing_data() {
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("a sail number twice") << true;
    QTest::newRow("nothing found") << false;
}

// "Prüfen" once the race is over, and the box before the race is first printed or exported: "Abbrechen"
// publishes nothing, "Trotzdem fortfahren" goes on, and the race is not checked again.
void TestMainRace::check_beforeFirstPublishing() {
    QFETCH(bool, duplicate);
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), boatList({u"GER 1|Möwe|Anke|Laser|113|1"_s,
                                                             duplicate ? u"GER 1|Kleiner Wal|Tim|Europe|115|1"_s
                                                                       : u"GER 2|Kleiner Wal|Tim|Europe|115|1"_s,
                                                             u"G 12|Nordlicht|Lars|420er|111|2"_s}));
    TMain& main = f.start().main();
    const QString pdf = f.folder.path() + u"/Reports/Abend.pdf"_s;
    const QStringList twice = {u"Segelnummer GER 1 2-mal vergeben: GER 1 Möwe, GER 1 Kleiner Wal"_s};
    QVERIFY(!press(widget<QPushButton>(main, "cmdCheck")));

    f.prompts.inputs = {u"Abend"_s};
    PRESS(main, "Label22");
    for (int i = 0; i < 3; ++i) {
        PRESS(main, "cmdAdd");
    }
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    // While boats finish, the stamps hold the place below the result buttons.
    QVERIFY(!press(widget<QPushButton>(main, "cmdCheck")));
    PRESS(main, "cmdZeiten");
    PRESS(main, "cmdZeiten");
    PRESS(main, "cmdDNF");
    QCOMPARE(main.race().mode(), Race::Mode::Over);

    if (!duplicate) {
        // The documented flow, untouched: no box, the file and its notice.
        PRESS(main, "cmdCheck");
        QCOMPARE(f.prompts.messages, QStringList{u"Keine Auffälligkeiten gefunden."_s});
        f.notifier.notices.clear();
        QCOMPARE(resultChecksDuring([&] { PRESS(main, "cmdReportPDF"); }), 0);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(f.notifier.notices.size(), 1);
        return;
    }
    QStringList lines;
    onNextResultCheck("cmdCancel", lines);
    PRESS(main, "cmdCheck");
    QCOMPARE(lines, twice);
    // "Prüfen" on demand does not count as the check before publishing.
    onNextResultCheck("cmdCancel", lines);
    PRESS(main, "cmdReportPDF");
    QCOMPARE(lines, twice);
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(widget<QPushButton>(main, "cmdReportPDF")->isEnabled());
    QVERIFY(widget<QPushButton>(main, "cmdReport")->isEnabled());

    onNextResultCheck("cmdContinue", lines);
    PRESS(main, "cmdReport");
    QCOMPARE(lines, twice);
    QCOMPARE(f.preview->shown, 1);
    QCOMPARE(resultChecksDuring([&] { PRESS(main, "cmdReport"); }), 0);
    QCOMPARE(f.preview->shown, 2);
    QCOMPARE(resultChecksDuring([&] { PRESS(main, "cmdReportPDF"); }), 0);
    QVERIFY(QFile::exists(pdf));
    QVERIFY(f.prompts.errors.isEmpty());
}

void TestMainRace::code_fromTheMenu_finishesLikeDnfAndUndoes() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    TMain& main = f.start().main();
    main.timLoadTimer();
    PRESS(main, "Label22");
    QVERIFY(widget<QPushButton>(main, "cmdCode")->isHidden());
    PRESS(main, "cmdAdd");
    PRESS(main, "cmdAdd");
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    const QString boat = main.race().list().currentText(field::SEGELNR);
    PRESS(main, "cmdCode");
    QMenu* menu = main.racePanel().popCode();
    QVERIFY(menu->isVisible());
    QStringList codes;
    for (QAction* action : menu->actions()) {
        codes << action->text();
    }
    QCOMPARE(codes, (QStringList{u"DNS"_s, u"OCS"_s, u"RET"_s, u"UFD"_s, u"BFD"_s, u"NSC"_s, u"DNE"_s}));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().last()).center());
    // Stored as "DNF" is: the code in both time fields, finished.
    const Table& stored = main.race().table();
    const QList<Table::Row> coded = stored.select(Filter::equals(field::SEGELNR, boat));
    QCOMPARE(coded.size(), 1);
    QCOMPARE(coded[0].values.value(stored.fieldIndex(field::GZEIT)).toString(), u"DNE"_s);
    QCOMPARE(coded[0].values.value(stored.fieldIndex(field::BZEIT)).toString(), u"DNE"_s);
    QCOMPARE(coded[0].values.value(stored.fieldIndex(field::STATUS)).toInt(), 2);
    QCOMPARE(main.race().list().count(), 1);
    PRESS(main, "cmdUndo");
    QCOMPARE(main.race().list().count(), 2);
    QCOMPARE(main.race().list().currentText(field::SEGELNR), boat);
    // When the race is over the report buttons stand where "Code…" was.
    PRESS(main, "cmdZeiten");
    PRESS(main, "cmdDNF");
    QCOMPARE(main.race().mode(), Race::Mode::Over);
    QVERIFY(widget<QPushButton>(main, "cmdCode")->isHidden());
    QVERIFY(!widget<QPushButton>(main, "cmdReport")->isHidden());
}

void TestMainRace::signals_sequenceCuesRecallThenRace() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    f.clock.setTime(QTime(17, 58, 10));
    TMain& main = f.start().main();
    main.timLoadTimer();

    // Three groups from the proposed first start, five minutes apart.
    QString plan;
    onNextDialog([&](QDialog& dialog) {
        auto* groups = dialog.findChild<QSpinBox*>(u"spnGroups"_s);
        groups->selectAll();
        QTest::keyClicks(groups, u"3"_s);
        plan = dialog.findChild<QLabel*>(u"lblPlan"_s)->text();
        QVERIFY(press(dialog.findChild<QWidget*>(u"cmdOK"_s)));
    });
    PRESS(main, "cmdStartfolge");
    QCOMPARE(plan, u"Start 1: 18:05:00, Start 2: 18:10:00, Start 3: 18:15:00"_s);
    const QStringList fields = {u"Edit1"_s, u"Edit2"_s, u"Edit3"_s, u"Edit4"_s, u"Edit5"_s,
                                u"Edit6"_s, u"Edit9"_s, u"Edit8"_s, u"Edit7"_s};
    auto shown = [&] {
        QStringList texts;
        for (const QString& name : fields) {
            texts << main.findChild<QLineEdit*>(name)->text();
        }
        return texts.join(u' ');
    };
    QCOMPARE(shown(), u"18 5 0 18 10 0 18 15 0"_s);
    QVERIFY(main.startClock().isActive(3) && !main.startClock().isActive(4) && !main.startClock().isActive(5));
    QCOMPARE(IniFile(f.folder.prefs()).readString(u"Signale"_s, u"Folge"_s, {}), u"5-4-1-0"_s);

    // With the cues on, the line follows the clocks and the sound is recorded at each second.
    auto* line = widget<QLabel>(main, "lblNextSignal");
    QCOMPARE(line->toolTip(), QString());
    QVERIFY(!widget<QCheckBox>(main, "chkSignale")->isChecked());
    PRESS(main, "chkSignale");
    const std::pair<QTime, QString> cues[] = {
        {QTime(17, 59, 54), u"Start 1 · Ankündigungssignal in 00:06 · Klassenflagge setzen"_s},
        {QTime(17, 59, 55), u"Start 1 · Ankündigungssignal in 00:05 · Klassenflagge setzen"_s},
        {QTime(18, 0, 0), u"Start 1 · Ankündigungssignal in 00:00 · Klassenflagge setzen"_s},
        {QTime(18, 0, 30), u"Start 1 · Vorbereitungssignal in 00:30 · P setzen"_s},
        {QTime(18, 3, 30), u"Start 1 · Eine-Minute-Signal in 00:30 · P einholen"_s},
    };
    for (const auto& [time, text] : cues) {
        f.clock.setTime(time);
        main.startClock().Timer2Timer();
        QCOMPARE(line->toolTip(), text);
        QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
    }
    QCOMPARE(f.sound.sounds, QStringList({u"17:59:55 beep"_s, u"18:00:00 tone"_s}));

    // A general recall of group 1 moves it behind group 3; the line shows the new sequence at once.
    f.clock.setTime(QTime(18, 5, 20));
    f.prompts.answers = {true};
    PRESS(main, "cmdRueckruf");
    QVERIFY2(f.prompts.asked.value(0).contains(u"18:20:00"_s), qPrintable(f.prompts.asked.value(0)));
    QCOMPARE(shown(), u"18 20 0 18 10 0 18 15 0"_s);
    QCOMPARE(line->toolTip(), u"Start 2 · Vorbereitungssignal in 00:40 · P setzen"_s);

    // A race timed with those start times: a boat of group 1 counts from 18:20.
    f.prompts.inputs = {u"Abend"_s};
    PRESS(main, "Label22");
    auto* search = widget<QLineEdit>(main, "FilterStarter");
    search->setText(u"GER 1"_s);
    typeEnter(search);
    search->clear();
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    QVERIFY(widget<QPushButton>(main, "cmdStartfolge")->isHidden());
    f.prompts.messages.clear();
    PRESS(main, "cmdRueckruf");
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(shown(), u"18 20 0 18 10 0 18 15 0"_s);
    f.clock.setTime(QTime(18, 47, 12));
    main.startClock().Timer2Timer();
    PRESS(main, "cmdZeiten");
    QCOMPARE(readRace(main.race().table()).value(u"GER 1"_s).gzeit, u"00:27:12"_s);
}

namespace {

// Finish mode with two boats "A" and "B" (Yardstick 104,5) in start group `group`; the five starts at 18:00,
// 18:05, … 18:20.
void stampRace(MainFixture& f, int group) {
    f.folder.writeParticipants(f.folder.starter(),
                               boatList({u"A|Anna|||104.5|%1"_s.arg(group), u"B|Berta|||104.5|%1"_s.arg(group)}));
    f.clock.setTime(QTime(17, 50, 0));
    TMain& main = f.start().main();
    main.timLoadTimer();
    for (int n = 1; n <= StartClock::kStarts; ++n) {
        main.startClock().setStartTime(n, ParseTime(u"18:%1:00"_s.arg((n - 1) * 5)));
        main.startClock().setActive(n, true);
    }
    f.prompts.inputs = {u"Pulk"_s};
    PRESS(main, "Label22");
    PRESS(main, "cmdAdd");
    PRESS(main, "cmdAdd");
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
}

void selectBoat(TMain& main, const QString& sail) {
    RecordModel& list = main.race().list();
    for (int i = 0; i < list.count(); ++i) {
        if (list.value(i, field::SEGELNR).toString() == sail) {
            list.setCurrent(i);
        }
    }
}

} // namespace

void TestMainRace::stamps_assignedAsZielWouldHave_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<QTime>("at");

    QTest::newRow("start 1") << 1 << QTime(18, 47, 12, 345);
    QTest::newRow("start 2, just before a second turns") << 2 << QTime(18, 52, 12, 999);
    QTest::newRow("start 3") << 3 << QTime(19, 1, 0, 1);
    QTest::newRow("start 4, over an hour") << 4 << QTime(19, 30, 59, 500);
    QTest::newRow("start 5, in the last second of its start") << 5 << QTime(18, 20, 0, 999);
}

void TestMainRace::stamps_assignedAsZielWouldHave() {
    QFETCH(int, group);
    QFETCH(QTime, at);
    MainFixture f;
    stampRace(f, group);
    TMain& main = f.app->main();
    QCOMPARE(main.race().mode(), Race::Mode::Finish);

    // At the same moment: B crosses and is timed with ZIEL, A crosses and only the time is taken.
    f.clock.setTime(at);
    main.startClock().Timer2Timer();
    selectBoat(main, u"B"_s);
    PRESS(main, "cmdZeiten");
    PRESS(main, "cmdStamp");
    auto* stamps = widget<QListWidget>(main, "lstStamps");
    QCOMPARE(stamps->count(), 1);
    QCOMPARE(stamps->item(0)->text(), at.toString(u"HH:mm:ss.zzz"_s));

    // Named seven seconds later, A gets what its clock showed at the stamp.
    f.clock.setTime(at.addSecs(7));
    main.startClock().Timer2Timer();
    selectBoat(main, u"A"_s);
    QCOMPARE(stamps->currentRow(), 0);
    PRESS(main, "cmdAssign");
    QCOMPARE(main.race().mode(), Race::Mode::Over);
    const QMap<QString, Entry> race = readRace(main.race().table());
    QCOMPARE(race.value(u"A"_s).gzeit, race.value(u"B"_s).gzeit);
    QCOMPARE(race.value(u"A"_s).bzeit, race.value(u"B"_s).bzeit);
    QCOMPARE(race.value(u"A"_s).status, 2);
    QVERIFY(f.prompts.errors.isEmpty());
}

void TestMainRace::stamps_undoDeleteAndF5() {
    MainFixture f;
    stampRace(f, 1);
    TMain& main = f.app->main();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    auto* stamps = widget<QListWidget>(main, "lstStamps");
    auto* timeToWin = widget<QLabel>(main, "lblZeitZumSieg");

    // F5 takes the time whatever has the focus; the newest time stands first.
    auto* search = widget<QLineEdit>(main, "FilterToday");
    search->setFocus();
    for (const QTime& t : {QTime(18, 40, 1, 100), QTime(18, 40, 2, 200), QTime(18, 40, 3, 300)}) {
        f.clock.setTime(t);
        QTest::keyClick(search, Qt::Key_F5);
    }
    QCOMPARE(stamps->count(), 3);
    QCOMPARE(stamps->item(0)->text(), u"18:40:03.300"_s);
    QCOMPARE(timeToWin->text(), QString()); // nobody has finished yet

    // Enter in the stamp list assigns the selected time to the selected boat.
    selectBoat(main, u"B"_s);
    stamps->setCurrentRow(2);
    QTest::keyClick(stamps, Qt::Key_Return);
    QCOMPARE(readRace(main.race().table()).value(u"B"_s).gzeit, u"00:40:01"_s);
    QCOMPARE(stamps->count(), 2);
    // A, Yardstick 104,5, beats B's 00:38:17 until 18:00:00 + 00:38:17 × 1,045 = 18:40:00.
    selectBoat(main, u"A"_s);
    QCOMPARE(timeToWin->text(), u"Zeit zum Sieg: 18:40:00 (vorbei)"_s);

    // Undo gives the time back and B races again.
    PRESS(main, "cmdUndo");
    QCOMPARE(stamps->count(), 3);
    QCOMPARE(readRace(main.race().table()).value(u"B"_s).status, 1);
    QCOMPARE(timeToWin->text(), QString());

    // Deleting asks; "Nein" keeps the time, "Ja" removes it for good.
    stamps->setCurrentRow(0);
    f.prompts.answers = {false, true};
    PRESS(main, "cmdStampDelete");
    QCOMPARE(stamps->count(), 3);
    PRESS(main, "cmdStampDelete");
    QCOMPARE(stamps->count(), 2);
    QCOMPARE(stamps->item(0)->text(), u"18:40:02.200"_s);
    QCOMPARE(main.race().stamps().size(), 2);
    QVERIFY(f.prompts.errors.isEmpty());
}

QTEST_MAIN(TestMainRace)
#include "tst_main_race.moc"

#include "MainFixture.h"
#include "app/FileVersion.h"
#include "app/TMain.h"
#include "app/TrayIcon.h"
#include "desktop/AppSetup.h"
#include "participants/ParticipantRegister.h"
#include "store/IniFile.h"
#include "store/Table.h"
#include "timing/Race.h"
#include "timing/StartClock.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace wm;
using namespace Qt::Literals::StringLiterals;
using namespace wm::test;

class TestMain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*QCoreApplication::instance()); }

    void startup_resetsStatusOfEveryRecord();
    void help_f1OpensThePageOfTheWindowInFront();
    void help_withoutHandbook_ownWindowSaysSo();
    void about_fromTheVersionLine_opensEachPlace();
    void firstSteps_emptyRegisterOffersImportAndExampleFleet();
    void startup_backupOnlyAsTheOnlyCopy_data();
    void startup_backupOnlyAsTheOnlyCopy();
    void startup_withoutPrefs_opensDefaultsAndLoadsCurrentTime();
    void startSettings_fallBackToTheStartBefore();
    void startup_failedParticipantTable_leavesPrefsUntouched_data();
    void startup_failedParticipantTable_leavesPrefsUntouched();
    void startup_garbagePrefs_readsDefaults_data();
    void startup_garbagePrefs_readsDefaults();
    void quit_no_savesNothing();
    void quit_yes_writesSettingsAndKeepsOtherSections();
    void quit_unwritableSettings_showsMessage();
    void quit_fullDisk_keepsSavedSettings();
    void startup_emptyLastSID_opensDefault_data();
    void startup_emptyLastSID_opensDefault();
    void hover_leavingAnEntry_restoresOnlyIt();
    void regattaEntry_togglesSecondaryEntries();
    void scaling_data();
    void scaling();
    void versionLabel_andTrayMenu();
    void fileVersion_data();
    void fileVersion();
};

void TestMain::startup_resetsStatusOfEveryRecord() {
    MainFixture f;
    QList<QVariantMap> boats;
    for (int i = 1; i <= 5; ++i) {
        boats << boat(QStringLiteral("GER %1").arg(i), QStringLiteral("Boot %1").arg(i), QStringLiteral("Name"),
                      QStringLiteral("Laser"), 113, 1, 1);
    }
    f.folder.writeParticipants(f.folder.starter(), boats);
    TMain& main = f.start().main();
    QVERIFY(f.prompts.errors.isEmpty());
    QCOMPARE(widget<QTableView>(main, "DBGrid1")->model()->rowCount(), 5);
    QCOMPARE(main.participants().table().count(Filter::equals(field::STATUS, 0)), 5);
}

void TestMain::startup_backupOnlyAsTheOnlyCopy_data() {
    QTest::addColumn<QString>("lastSID");
    QTest::addColumn<bool>("heldElsewhere");
    QTest::addColumn<bool>("backup");
    QTest::newRow("the only copy") << QStringLiteral("StarterID.db") << false << true;
    QTest::newRow("register held by another copy") << QStringLiteral("StarterID.db") << true << false;
    QTest::newRow("register missing") << QStringLiteral("Fehlt.db") << false << true;
}

void TestMain::startup_backupOnlyAsTheOnlyCopy() {
    QFETCH(QString, lastSID);
    QFETCH(bool, heldElsewhere);
    QFETCH(bool, backup);
    MainFixture f;
    // One boat still taken by the last race: start-up makes it available again, the backup keeps it as it was.
    f.folder.writeParticipants(f.folder.starter(), boatList({QStringLiteral("GER 1|Möwe|Anke|Laser|113|1|1"),
                                                             QStringLiteral("GER 2|Uhu|Jörg O'Neill|Pirat|113|2|0")}));
    writeFile(f.folder.prefs(), "[General]\nLastSID=" + lastSID.toUtf8() + "\n");
    const QString backups = f.folder.data(QStringLiteral("Sicherung"));
    const QString earlier = QStringLiteral("2024-12-23_18-00-00");
    QVERIFY(QDir().mkpath(backups + u'/' + earlier));
    QProcess holder;
    if (heldElsewhere) {
        holder.start(QStringLiteral(TABLE_HOLDER), {QStringLiteral("hold"), f.folder.starter()});
        QVERIFY2(waitForReady(holder), holder.readAllStandardError().constData());
    }

    TMain& main = f.start().main();
    const QStringList taken = QDir(backups).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    if (backup) {
        const QString now = QStringLiteral("2024-12-24_18-10-05");
        QCOMPARE(taken, QStringList({earlier, now}));
        QVERIFY(f.notifier.notices.isEmpty());
        Table copy;
        copy.open(backups + u'/' + now + QStringLiteral("/Starter/StarterID.db"));
        QCOMPARE(copy.count(), 2);
        QCOMPARE(copy.count(Filter::equals(field::STATUS, 1)), 1);
    } else {
        QCOMPARE(taken, QStringList({earlier}));
        QCOMPARE(f.prompts.errors.size(), 1);
        QVERIFY2(f.prompts.errors[0].contains(QStringLiteral("von einem anderen Programm benutzt")),
                 qPrintable(f.prompts.errors[0]));
        QVERIFY(!main.participants().isOpen());
    }
    if (heldElsewhere) {
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
    }
}

void TestMain::startup_withoutPrefs_opensDefaultsAndLoadsCurrentTime() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {boat(QStringLiteral("1"), {}, {}, {}, 100, 1)});
    f.clock.setTime(QTime(7, 8, 9));
    TMain& main = f.start().main();
    QCOMPARE(main.currentSID(), QStringLiteral("StarterID.db"));
    QVERIFY(main.participants().isOpen());
    QVERIFY(main.timLoad()->isActive());
    main.timLoadTimer();
    QVERIFY(!main.timLoad()->isActive());
    const char* edits[5][3] = {{"Edit1", "Edit2", "Edit3"},
                               {"Edit4", "Edit5", "Edit6"},
                               {"Edit9", "Edit8", "Edit7"},
                               {"Edit12", "Edit11", "Edit10"},
                               {"Edit15", "Edit14", "Edit13"}};
    for (int n = 0; n < 5; ++n) {
        QVERIFY(widget<QCheckBox>(main, QStringLiteral("S%1Active").arg(n + 1).toLatin1().constData())->isChecked());
        QCOMPARE(widget<QLineEdit>(main, edits[n][0])->text(), QStringLiteral("7"));
        QCOMPARE(widget<QLineEdit>(main, edits[n][1])->text(), QStringLiteral("8"));
        QCOMPARE(widget<QLineEdit>(main, edits[n][2])->text(), QStringLiteral("9"));
        QCOMPARE(main.startClock().startTime(n + 1), (7 * 3600 + 8 * 60 + 9) / 86400.0);
    }
}

void TestMain::startSettings_fallBackToTheStartBefore() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    writeFile(f.folder.prefs(), "[StarterID.db]\nS1=1\nS2=0\nS3=abc\nS4=7\nS5=0\n"
                                "S1Zeit=10:00:00\nS2Zeit=10:05:30\nS4Zeit=kaputt\n");
    TMain& main = f.start().main();
    main.timLoadTimer();
    const QList<bool> active = {true, false, true, true, false};
    const QList<QString> times = {QStringLiteral("10:00:00"), QStringLiteral("10:05:30"), QStringLiteral("10:05:30"),
                                  QStringLiteral("10:05:30"), QStringLiteral("10:05:30")};
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(main.startClock().isActive(n), active[n - 1]);
        const HourMinuteSecond hms = splitTime(main.startClock().startTime(n));
        QCOMPARE(QStringLiteral("%1:%2:%3")
                     .arg(hms.hour, 2, 10, QLatin1Char('0'))
                     .arg(hms.minute, 2, 10, QLatin1Char('0'))
                     .arg(hms.second, 2, 10, QLatin1Char('0')),
                 times[n - 1]);
    }
    QCOMPARE(widget<QLineEdit>(main, "Edit9")->text(), QStringLiteral("10"));
    QCOMPARE(widget<QLineEdit>(main, "Edit8")->text(), QStringLiteral("5"));
    QCOMPARE(widget<QLineEdit>(main, "Edit7")->text(), QStringLiteral("30"));
}

void TestMain::startup_failedParticipantTable_leavesPrefsUntouched_data() {
    QTest::addColumn<QString>("lastSID");
    QTest::addColumn<int>("kind");
    QTest::newRow("missing file") << QStringLiteral("Fehlt.db") << 0;
    QTest::newRow("a directory") << QStringLiteral("Ordner.db") << 1;
    QTest::newRow("not a table file") << QStringLiteral("Text.db") << 2;
    QTest::newRow("another kind of table") << QStringLiteral("Serie.db") << 3;
    QTest::newRow("a stored race") << QStringLiteral("../Sommer.db") << 4;
    QTest::newRow("read-only file") << QStringLiteral("StarterID.db") << 5;
}

void TestMain::startup_failedParticipantTable_leavesPrefsUntouched() {
    QFETCH(QString, lastSID);
    QFETCH(int, kind);
    MainFixture f;
    if (kind == 1) {
        QDir(f.folder.path()).mkpath(QStringLiteral("data/Starter/") + lastSID);
    } else if (kind == 2) {
        writeFile(f.folder.starter(lastSID), "Dies ist keine Tabelle.\n");
    } else if (kind == 3) {
        Table::create(f.folder.starter(lastSID), {{QStringLiteral("PunkteTotal"), FieldType::Float, 0, false}});
    }
    std::unique_ptr<ImmutableFile> readOnly;
    if (kind == 4) {
        Table::create(f.folder.starter(lastSID), raceFields(participantFields()));
        Table race;
        race.open(f.folder.starter(lastSID));
        race.insert(boat(QStringLiteral("7"), QStringLiteral("Alk"), QStringLiteral("Ute"), QString(), 100, 0, 2));
    } else if (kind == 5) {
        f.folder.writeParticipants(f.folder.starter(lastSID), {boat(QStringLiteral("7"), QStringLiteral("Alk"),
                                                                    QStringLiteral("Ute"), QString(), 100, 0, 1)});
        readOnly = std::make_unique<ImmutableFile>(f.folder.starter(lastSID));
        if (!readOnly->ok()) {
            QSKIP("the file cannot be made read-only here");
        }
    }
    const QByteArray table = fileBytes(f.folder.starter(lastSID));
    const QByteArray prefs = "[General]\nLastSID=" + lastSID.toUtf8() + "\n\n[Other]\nkey=value\n";
    writeFile(f.folder.prefs(), prefs);
    TMain& main = f.start().main();
    QCOMPARE(f.prompts.errors.size(), 1);
    const QString error = f.prompts.errors.first();
    QVERIFY2(!error.contains(QStringLiteral("database")) && !error.contains(QStringLiteral("attempt")),
             qPrintable(error));
    if (kind == 4) {
        QVERIFY2(error.contains(QStringLiteral("Tabelle einer Wettfahrt")), qPrintable(error));
    } else if (kind == 5) {
        QVERIFY2(error.contains(QStringLiteral("schreibgeschützt")), qPrintable(error));
    }
    QCOMPARE(fileBytes(f.folder.starter(lastSID)), table);
    QVERIFY(!main.participants().isOpen());
    QVERIFY(!main.timLoad()->isActive());
    f.prompts.answers = {true};
    QSignalSpy quit(&main, &TMain::quitRequested);
    PRESS(main, "Label19");
    QCOMPARE(quit.size(), 1);
    f.stop();
    QCOMPARE(readFile(f.folder.prefs()).toUtf8(), prefs);
    QVERIFY(!QFileInfo::exists(f.folder.starter(QStringLiteral("Fehlt.db"))));
}

void TestMain::startup_garbagePrefs_readsDefaults_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("text without sections") << QByteArray("das ist = kein\n[[[ ini\n=\n");
    static const char binary[] = "\x00\x01\xff\xfe[General]\x00LastSID=x";
    QTest::newRow("binary") << QByteArray(binary, sizeof binary - 1);
}

void TestMain::startup_garbagePrefs_readsDefaults() {
    QFETCH(QByteArray, content);
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    writeFile(f.folder.prefs(), content);
    TMain& main = f.start().main();
    QVERIFY(f.prompts.errors.isEmpty());
    QCOMPARE(main.currentSID(), QStringLiteral("StarterID.db"));
    QVERIFY(main.participants().isOpen());
}

void TestMain::quit_no_savesNothing() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    TMain& main = f.start().main();
    QSignalSpy quit(&main, &TMain::quitRequested);
    f.prompts.answers = {false};
    PRESS(main, "Label19");
    QCOMPARE(f.prompts.asked, QStringList{QStringLiteral("Programm beenden?")});
    QCOMPARE(f.prompts.captions, QStringList{QStringLiteral("Wendemark")});
    QCOMPARE(quit.size(), 0);
    QVERIFY(!QFileInfo::exists(f.folder.prefs()));
    QVERIFY(main.participants().isOpen());
}

void TestMain::quit_yes_writesSettingsAndKeepsOtherSections() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    writeFile(f.folder.prefs(), "[Fremd]\nSchluessel=Wert\n");
    TMain& main = f.start().main();
    main.timLoadTimer();
    widget<QCheckBox>(main, "S2Active")->setChecked(false);
    widget<QLineEdit>(main, "Edit1")->setText(QStringLiteral("9"));
    widget<QLineEdit>(main, "Edit2")->setText(QStringLiteral("5"));
    widget<QLineEdit>(main, "Edit3")->setText(QStringLiteral("0"));
    f.prompts.answers = {true};
    QSignalSpy quit(&main, &TMain::quitRequested);
    PRESS(main, "Label19");
    QCOMPARE(quit.size(), 1);
    const QString text = readFile(f.folder.prefs());
    QVERIFY2(text.contains(QStringLiteral("[General]\nLastSID=StarterID.db\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("[StarterID.db]\n")));
    QVERIFY(text.contains(QStringLiteral("S1=1\n")));
    QVERIFY(text.contains(QStringLiteral("S2=0\n")));
    QVERIFY(text.contains(QStringLiteral("S1Zeit=09:05:00\n")));
    QVERIFY(text.contains(QStringLiteral("S2Zeit=18:10:05\n")));
    QVERIFY(text.contains(QStringLiteral("[Fremd]\nSchluessel=Wert\n")));
    // Writing a second time (the windows going away) changes nothing.
    f.stop();
    QCOMPARE(readFile(f.folder.prefs()), text);
}

void TestMain::quit_unwritableSettings_showsMessage() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    // A folder in the place of the settings file cannot be written, not even by root.
    QDir(f.folder.path()).mkdir(QStringLiteral("prefs.ini"));
    TMain& main = f.start().main();
    f.prompts.answers = {true};
    PRESS(main, "Label19");
    QCOMPARE(f.prompts.errors.size(), 1);
    QVERIFY2(f.prompts.errors.first().contains(QStringLiteral("konnte nicht geschrieben werden")),
             qPrintable(f.prompts.errors.first()));
}

void TestMain::quit_fullDisk_keepsSavedSettings() {
    MainFixture f;
    SmallDisk disk(f.folder.path());
    if (!disk.ok()) {
        QSKIP("needs root to mount a small tmpfs as a full disk");
    }
    QDir(f.folder.path()).mkpath(QStringLiteral("data/Starter"));
    f.folder.writeParticipants(f.folder.starter(), {});
    const QByteArray prefs = "[General]\nLastSID=StarterID.db\n\n[StarterID.db]\nS1Zeit=09:05:00\n";
    writeFile(f.folder.prefs(), prefs);
    TMain& main = f.start().main();
    disk.fill();
    f.prompts.answers = {true};
    PRESS(main, "Label19");
    QCOMPARE(f.prompts.errors.size(), 1);
    QVERIFY2(
        f.prompts.errors.first().startsWith(QStringLiteral("Die Einstellungen konnten nicht gespeichert werden.")) &&
            f.prompts.errors.first().contains(QStringLiteral("Der Datenträger ist voll.")),
        qPrintable(f.prompts.errors.first()));
    f.stop();
    QCOMPARE(readFile(f.folder.prefs()).toUtf8(), prefs);
}

void TestMain::startup_emptyLastSID_opensDefault_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blanks") << QByteArray("   ");
}

void TestMain::startup_emptyLastSID_opensDefault() {
    QFETCH(QByteArray, value);
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    writeFile(f.folder.prefs(), "[General]\nLastSID=" + value + "\n");
    TMain& main = f.start().main();
    QVERIFY2(f.prompts.errors.isEmpty(), qPrintable(f.prompts.errors.join(u'|')));
    QCOMPARE(main.currentSID(), QStringLiteral("StarterID.db"));
    QVERIFY(main.participants().isOpen());
}

void TestMain::hover_leavingAnEntry_restoresOnlyIt() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    TMain& main = f.start().main();
    PRESS(main, "Label20");
    auto* quitLabel = widget<QLabel>(main, "Label19");
    auto* quitIcon = widget<QLabel>(main, "imgHalt");
    auto* editLabel = widget<QLabel>(main, "Label24");
    auto* editIcon = widget<QLabel>(main, "imgRaceEdit");
    auto picture = [](const QLabel* icon) { return icon->property("imageIndex").toInt(); };
    const int quitNormal = picture(quitIcon);
    const int editNormal = picture(editIcon);
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(quitIcon, &enter);
    QVERIFY(quitLabel->font().bold());
    const int quitHighlighted = picture(quitIcon);
    QVERIFY(quitHighlighted != quitNormal);
    QCoreApplication::sendEvent(editLabel, &enter);
    QVERIFY(editLabel->font().bold());
    QVERIFY(picture(editIcon) != editNormal);
    QCoreApplication::sendEvent(editLabel, &leave);
    QVERIFY(!editLabel->font().bold());
    QCOMPARE(picture(editIcon), editNormal);
    QVERIFY(quitLabel->font().bold());
    QCOMPARE(picture(quitIcon), quitHighlighted);
    // Leaving an icon alone changes nothing; entering the area behind the entries resets them all.
    QCoreApplication::sendEvent(quitIcon, &leave);
    QCOMPARE(picture(quitIcon), quitHighlighted);
    QCoreApplication::sendEvent(widget<QLabel>(main, "MisterX"), &enter);
    QVERIFY(!quitLabel->font().bold());
    QCOMPARE(picture(quitIcon), quitNormal);
}

void TestMain::regattaEntry_togglesSecondaryEntries() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    TMain& main = f.start().main();
    auto* series = widget<QLabel>(main, "imgSeries");
    QVERIFY(series->isHidden());
    PRESS(main, "Label20");
    QVERIFY(!series->isHidden());
    QVERIFY(!widget<QLabel>(main, "Label24")->isHidden());
    PRESS(main, "Label20");
    QVERIFY(series->isHidden());
    QVERIFY(widget<QLabel>(main, "imgRaceEdit")->isHidden());
}

void TestMain::scaling_data() {
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<QRect>("grid");
    QTest::addColumn<QSize>("window");
    QTest::newRow("1024 wide: scaled by 1024/1350")
        << 1024 << QRect(12, 115, 480, 213)
        << QSize(qRound(664 * 1024 / 1350.0) + qRound(297 * 1024 / 1350.0) + 16,
                 qRound(758 * 1024 / 1350.0) + qRound(23 * 1024 / 1350.0) + 35);
    QTest::newRow("1100 wide: as designed") << 1100 << QRect(16, 152, 633, 281) << QSize(972, 791);
}

void TestMain::scaling() {
    QFETCH(int, screenWidth);
    QFETCH(QRect, grid);
    QFETCH(QSize, window);
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    f.screenWidth = screenWidth;
    TMain& main = f.start().main();
    QCOMPARE(widget<QTableView>(main, "DBGrid1")->geometry(), grid);
    QCOMPARE(main.size(), window);
    const int expectedFont = screenWidth < 1100 ? qRound(37 * screenWidth / 1350.0) : 37;
    QCOMPARE(widget<QLabel>(main, "Label14")->font().pixelSize(), expectedFont);
}

void TestMain::versionLabel_andTrayMenu() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    TMain& main = f.start().main();
    // The test program carries no version record, so the version text is empty.
    QCOMPARE(widget<QLabel>(main, "Label30")->text(), QStringLiteral("Wendemark "));
    const QList<QAction*> actions = main.trayIcon().menu()->actions();
    QCOMPARE(actions.size(), 4);
    QCOMPARE(actions[0]->objectName(), QStringLiteral("mnuWebsite"));
    QCOMPARE(actions[1]->objectName(), QStringLiteral("Beenden1"));
    QCOMPARE(actions[1]->text(), QStringLiteral("Wendemark "));
    QVERIFY(!actions[1]->isEnabled());
    QVERIFY(actions[2]->isSeparator());
    QCOMPARE(actions[3]->text(), QStringLiteral("Beenden"));
    f.prompts.answers = {false};
    QVERIFY(actions[3]->isEnabled());
    actions[3]->trigger();
    QCOMPARE(f.prompts.asked, QStringList{QStringLiteral("Programm beenden?")});
}

void TestMain::fileVersion_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("program file") << QStringLiteral(WENDEMARK_EXE) << QStringLiteral(WENDEMARK_VERSION);
    QTest::newRow("missing file") << QStringLiteral("/nonexistent/wendemark") << QStringLiteral("-1");
    QTest::newRow("file without version") << QCoreApplication::applicationFilePath() << QString();
    QTest::newRow("text file") << QStringLiteral(__FILE__) << QString();
}

void TestMain::fileVersion() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(GetFileVersion(path), expected);
}

void TestMain::help_f1OpensThePageOfTheWindowInFront() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet());
    QDir(f.folder.path()).mkpath(u"Hilfe"_s);
    for (const char* page : {"boote.html", "start.html", "zieleinlauf.html", "nachbearbeiten.html", "serien.html"}) {
        writeFile(f.folder.path() + u"/Hilfe/"_s + QString::fromLatin1(page), "<html></html>");
    }
    TMain& main = f.start().main();
    main.show();
    auto pressF1 = [&](QWidget* window) {
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_F1);
        return f.openedUrls.isEmpty() ? QString()
                                      : f.openedUrls.last().fileName() + u'#' + f.openedUrls.last().fragment();
    };
    QCOMPARE(pressF1(&main), u"boote.html#"_s);
    PRESS(main, "Label22");
    QCOMPARE(pressF1(&main), u"start.html#"_s);
    PRESS(main, "cmdAdd");
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    widget<QTableView>(main, "DBGrid2")->setFocus();
    QCOMPARE(pressF1(&main), u"zieleinlauf.html#"_s);
    QVERIFY(f.openedUrls.last().isLocalFile());

    // The race browser and the series window are modal: F1 still reaches the one in front.
    QString browser;
    onNextDialog([&](QDialog& dialog) { browser = pressF1(&dialog); });
    PRESS(main, "Label20");
    PRESS(main, "Label24");
    QCOMPARE(browser, u"nachbearbeiten.html#"_s);
    QString series;
    onNextDialog([&](QDialog& dialog) { series = pressF1(&dialog); });
    if (!widget<QLabel>(main, "Label23")->isVisible()) {
        PRESS(main, "Label20");
    }
    PRESS(main, "Label23");
    QCOMPARE(series, u"serien.html#"_s);
    QCOMPARE(f.openedUrls.size(), 5);
}

void TestMain::help_withoutHandbook_ownWindowSaysSo() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    TMain& main = f.start().main();
    main.show();
    QTest::keyClick(&main, Qt::Key_F1);
    QVERIFY(f.openedUrls.isEmpty());
    QTextBrowser* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"helpWindow"_s) {
            help = qobject_cast<QTextBrowser*>(w);
        }
    }
    QVERIFY(help && help->isVisible());
    QVERIFY2(help->toPlainText().contains(u"boote.html"_s), qPrintable(help->toPlainText()));
}

void TestMain::about_fromTheVersionLine_opensEachPlace() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    QDir(f.folder.path()).mkpath(u"data/Sicherung/2024-12-01_10-00-00"_s);
    QDir(f.folder.path()).mkpath(u"data/Sicherung/Notizen"_s); // not a backup
    TMain& main = f.start().main();
    main.show();
    QStringList shown;
    onNextDialog([&](QDialog& dialog) {
        for (const char* name : {"lblVersion", "lblSicherung"}) {
            shown << dialog.findChild<QLabel*>(QString::fromLatin1(name))->toolTip();
        }
        QVERIFY(press(dialog.findChild<QWidget*>(u"cmdSicherung"_s)));
        QVERIFY(press(dialog.findChild<QWidget*>(u"cmdDaten"_s)));
        QVERIFY(press(dialog.findChild<QWidget*>(u"cmdClose"_s)));
    });
    QTest::mouseClick(widget<QLabel>(main, "Label30"), Qt::LeftButton);
    // The start-up backup of this very start is the newest.
    const QString newest = f.folder.path() + u"/data/Sicherung/2024-12-24_18-10-05"_s;
    QCOMPARE(shown.value(1), QDir::toNativeSeparators(newest));
    QCOMPARE(f.openedUrls,
             QList<QUrl>({QUrl::fromLocalFile(newest), QUrl::fromLocalFile(f.folder.path() + u"/data/"_s)}));
}

void TestMain::firstSteps_emptyRegisterOffersImportAndExampleFleet() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), {});
    TMain& main = f.start().main();
    main.show();
    auto* hint = widget<QWidget>(main, "frmErsteSchritte");
    QVERIFY(hint->isVisible());

    // "Boote importieren…" is the import: its file dialog opens (and is cancelled here).
    PRESS(main, "cmdHintImport");
    QCOMPARE(f.prompts.dialogs.size(), 1);
    QVERIFY(hint->isVisible());

    PRESS(main, "cmdHintBeispiel");
    QCOMPARE(main.participants().table().count(), 21);
    QCOMPARE(widget<QTableView>(main, "DBGrid1")->model()->rowCount(), 21);
    QVERIFY(!hint->isVisible());
    // A search that finds nothing is no empty register.
    widget<QLineEdit>(main, "FilterStarter")->setText(u"gibt es nicht"_s);
    QCOMPARE(widget<QTableView>(main, "DBGrid1")->model()->rowCount(), 0);
    QVERIFY(!hint->isVisible());
    QVERIFY(f.prompts.errors.isEmpty());
}

QTEST_MAIN(TestMain)
#include "tst_main.moc"

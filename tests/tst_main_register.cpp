#include "MainFixture.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "participants/ParticipantRegister.h"
#include "store/Table.h"
#include "timing/StartClock.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace wm;
using namespace wm::test;

namespace {

// Names chosen for the search: "ab" begins a sail number, a boat name, a name and a type in other cases.
QList<QVariantMap> fleet() {
    return boatList({
        QStringLiteral("AB 1|Möwe|Anke|Laser|113|1"),
        QStringLiteral("GER 2|Abendrot|Tim|Europe|115|1"),
        QStringLiteral("GER 3|Nordlicht|abel|420er|111|2"),
        QStringLiteral("GER 4|Wal|Lars|ABC-Jolle|84|2"),
        QStringLiteral("GER 5|Krabbe|Klaus|Folkeboot|105|3"),
        QStringLiteral("GER 6|Äbtissin|O'Neil|Drachen|95|3"),
        QStringLiteral("GER 7|Eule|O'Neill|Drachen|95|3"),
        QStringLiteral("GER 8|Lüdde|Zoe|Pirat|113|2"),
    });
}

QStringList listedSailNumbers(TMain& main) {
    QStringList result;
    const RecordModel& m = main.participants().model();
    for (int i = 0; i < m.count(); ++i) {
        result << m.value(i, field::SEGELNR).toString();
    }
    return result;
}

} // namespace

class TestMainRegister : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*QCoreApplication::instance()); }

    void search_data();
    void search();
    void search_iconAndClearing();
    void search_arrowKeysMoveTheRecordAndTheCaret();
    void grid_editsAreWrittenAtOnce();
    void grid_deleteAsksFirst();
    void entryDialog_data();
    void entryDialog();
    void entryDialog_discardSavesNothing();
    void createDatabase_cancelReopensPrevious();
    void createDatabase_newFileAndQuit();
    void createDatabase_withoutExtensionAsksBeforeReplacing();
    void switchDatabase_bringsItsStartConfiguration();
    void switchDatabase_cancelKeepsCurrent();
    void switchDatabase_heldByAnotherProcess();
};

void TestMainRegister::search_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("any field, any case") << QStringLiteral("ab")
                                         << QStringList{QStringLiteral("AB 1"), QStringLiteral("GER 2"),
                                                        QStringLiteral("GER 3"), QStringLiteral("GER 4")};
    QTest::newRow("umlaut in any case") << QStringLiteral("äB") << QStringList{QStringLiteral("GER 6")};
    QTest::newRow("apostrophe") << QStringLiteral("O'Neil")
                                << QStringList{QStringLiteral("GER 6"), QStringLiteral("GER 7")};
    QTest::newRow("begins with, not contains") << QStringLiteral("ER") << QStringList{};
    QTest::newRow("percent and underscore are text") << QStringLiteral("G_R") << QStringList{};
    QTest::newRow("entered boats are hidden") << QStringLiteral("GER 8") << QStringList{};
}

void TestMainRegister::search() {
    QFETCH(QString, text);
    QFETCH(QStringList, listed);
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    main.participants().table().setValue(8, field::STATUS, 1); // GER 8 is entered in a race
    widget<QLineEdit>(main, "FilterStarter")->setText(text);
    QCOMPARE(listedSailNumbers(main), listed);
}

void TestMainRegister::search_iconAndClearing() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    auto* icon = widget<QLabel>(main, "Image2");
    QCOMPARE(icon->property("imageIndex").toInt(), 1);
    widget<QLineEdit>(main, "FilterStarter")->setText(QStringLiteral("Wal"));
    QCOMPARE(icon->property("imageIndex").toInt(), 2);
    QCOMPARE(main.participants().model().count(), 1);
    PRESS(main, "Image2");
    QCOMPARE(widget<QLineEdit>(main, "FilterStarter")->text(), QString());
    QCOMPARE(icon->property("imageIndex").toInt(), 1);
    QCOMPARE(main.participants().model().count(), 8);
}

void TestMainRegister::search_arrowKeysMoveTheRecordAndTheCaret() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    auto* search = widget<QLineEdit>(main, "FilterStarter");
    search->setText(QStringLiteral("GER"));
    RecordModel& m = main.participants().model();
    QCOMPARE(m.current(), 0);
    QTest::keyClick(search, Qt::Key_Down);
    QTest::keyClick(search, Qt::Key_Down);
    QCOMPARE(m.currentText(field::SEGELNR), QStringLiteral("GER 4"));
    QCOMPARE(widget<QTableView>(main, "DBGrid1")->currentIndex().row(), 2);
    QTest::keyClick(search, Qt::Key_Up);
    QCOMPARE(m.currentText(field::SEGELNR), QStringLiteral("GER 3"));
    QTest::keyClick(search, Qt::Key_Right);
    QCOMPARE(m.currentText(field::SEGELNR), QStringLiteral("GER 8"));
    QCOMPARE(search->cursorPosition(), 3);
    QTest::keyClick(search, Qt::Key_Left);
    QCOMPARE(m.currentText(field::SEGELNR), QStringLiteral("GER 2"));
    QCOMPARE(search->cursorPosition(), 2);
}

void TestMainRegister::grid_editsAreWrittenAtOnce() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    QAbstractItemModel* model = widget<QTableView>(main, "DBGrid1")->model();
    QVERIFY(model->setData(model->index(0, 5), QStringLiteral("7"))); // the grid takes any start group
    QVERIFY(model->setData(model->index(0, 4), QStringLiteral("112,5")));
    QVERIFY(!model->setData(model->index(0, 4), QStringLiteral("viel")));
    QCOMPARE(f.prompts.errors, QStringList{QStringLiteral("'viel' ist kein gültiger Gleitkommawert")});
    QCOMPARE(model->index(0, 4).data().toString(), QStringLiteral("112,5"));
    const Table::Row row = main.participants().table().read(1);
    QCOMPARE(row.values[main.participants().table().fieldIndex(field::START)].toDouble(), 7.0);
    QCOMPARE(row.values[main.participants().table().fieldIndex(field::YS)].toDouble(), 112.5);
}

void TestMainRegister::grid_deleteAsksFirst() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    auto* navigator = widget<QWidget>(main, "DBNavigator1");
    f.prompts.answers = {false, true};
    PRESS(*navigator, "btnDelete");
    QCOMPARE(main.participants().table().count(), 8);
    PRESS(*navigator, "btnDelete");
    QCOMPARE(f.prompts.asked, QStringList(2, QStringLiteral("Datensatz löschen?")));
    QCOMPARE(main.participants().table().count(), 7);
    QCOMPARE(main.participants().model().currentText(field::SEGELNR), QStringLiteral("GER 2"));
}

void TestMainRegister::entryDialog_data() {
    QTest::addColumn<QString>("sail");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("search");
    QTest::newRow("start 1") << QStringLiteral("NED 9") << QStringLiteral("1") << true << QString()
                             << QStringLiteral("NED 9");
    QTest::newRow("start 5") << QStringLiteral("NED 9") << QStringLiteral("5") << true << QString()
                             << QStringLiteral("NED 9");
    QTest::newRow("no sail number") << QString() << QStringLiteral("2") << true << QString()
                                    << QStringLiteral("Neues Boot");
    QTest::newRow("start 0 stays open") << QStringLiteral("NED 9") << QStringLiteral("0") << false << QString()
                                        << QString();
    QTest::newRow("start 6 stays open") << QStringLiteral("NED 9") << QStringLiteral("6") << false << QString()
                                        << QString();
    QTest::newRow("start empty") << QStringLiteral("NED 9") << QString() << false
                                 << QStringLiteral("'' ist kein gültiger ganzzahliger Wert") << QString();
}

void TestMainRegister::entryDialog() {
    QFETCH(QString, sail);
    QFETCH(QString, start);
    QFETCH(bool, saved);
    QFETCH(QString, error);
    QFETCH(QString, search);
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    bool openAfterSave = false;
    onNextDialog([&](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Neuer Teilnehmer"));
        QCOMPARE(dialog.size(), QSize(262, 317));
        widget<QLineEdit>(dialog, "DBEdit1")->setText(sail);
        widget<QLineEdit>(dialog, "DBEdit2")->setText(QStringLiteral("Neues Boot"));
        widget<QLineEdit>(dialog, "DBEdit5")->setText(QStringLiteral("112,5"));
        QTest::keyClicks(widget<QLineEdit>(dialog, "DBEdit6"), start);
        PRESS(dialog, "Button1");
        openAfterSave = dialog.isVisible();
    });
    PRESS(main, "cmdNewParticip");
    QCOMPARE(openAfterSave, !saved);
    QCOMPARE(f.prompts.errors, error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(main.participants().table().count(), saved ? 9 : 8);
    QCOMPARE(widget<QLineEdit>(main, "FilterStarter")->text(), search);
    if (saved) {
        RecordModel& m = main.participants().model();
        QCOMPARE(m.count(), 1);
        QCOMPARE(m.currentText(field::BOOTSNAME), QStringLiteral("Neues Boot"));
        QCOMPARE(m.currentValue(field::YS).toDouble(), 112.5);
        QCOMPARE(m.currentValue(field::STATUS).toDouble(), 0.0);
    }
}

void TestMainRegister::entryDialog_discardSavesNothing() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    bool openAfterDiscard = true;
    onNextDialog([&](QDialog& dialog) {
        widget<QLineEdit>(dialog, "DBEdit1")->setText(QStringLiteral("X"));
        QCOMPARE(widget<QLineEdit>(dialog, "DBEdit1")->maxLength(), 20);
        QCOMPARE(widget<QLineEdit>(dialog, "DBEdit6")->maxLength(), 1);
        PRESS(dialog, "Button2");
        openAfterDiscard = dialog.isVisible();
    });
    PRESS(main, "cmdNewParticip");
    QVERIFY(!openAfterDiscard);
    QCOMPARE(main.participants().table().count(), 8);
    // A new entry starts empty.
    QString sailShown = QStringLiteral("<nicht geöffnet>");
    onNextDialog([&](QDialog& dialog) { sailShown = widget<QLineEdit>(dialog, "DBEdit1")->text(); });
    PRESS(main, "cmdNewParticip");
    QCOMPARE(sailShown, QString());
}

void TestMainRegister::createDatabase_cancelReopensPrevious() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    PRESS(main, "cmdCreateSID");
    QCOMPARE(f.prompts.dialogs.size(), 1);
    QCOMPARE(f.prompts.dialogs[0].filter, QStringLiteral("Datenbank (*.db)"));
    QVERIFY(f.prompts.dialogs[0].confirmOverwrite);
    QVERIFY(main.participants().isOpen());
    QCOMPARE(main.currentSID(), QStringLiteral("StarterID.db"));
    QCOMPARE(main.participants().model().count(), 8);
}

void TestMainRegister::createDatabase_newFileAndQuit() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    const QString path = f.folder.starter(QStringLiteral("Jugend.db"));
    f.prompts.fileNames = {path};
    PRESS(main, "cmdCreateSID");
    QCOMPARE(main.currentSID(), path);
    QVERIFY(main.participants().isOpen());
    QCOMPARE(main.participants().model().count(), 0);
    f.prompts.answers = {true};
    PRESS(main, "Label19");
    f.stop();
    const QString prefs = readFile(f.folder.prefs());
    QVERIFY2(prefs.contains(QStringLiteral("LastSID=") + path + u'\n'), qPrintable(prefs));
    QVERIFY(prefs.contains(u'[' + path + QStringLiteral("]\n")));
    // The next start-up opens it again.
    TMain& again = f.start().main();
    QCOMPARE(again.currentSID(), path);
    QVERIFY(again.participants().isOpen());
}

void TestMainRegister::createDatabase_withoutExtensionAsksBeforeReplacing() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    const QString other = f.folder.starter(QStringLiteral("Club.db"));
    f.folder.writeParticipants(other, {fleet().first()});
    TMain& main = f.start().main();
    f.prompts.fileNames = {f.folder.starter(QStringLiteral("Club"))};
    f.prompts.answers = {false};
    PRESS(main, "cmdCreateSID");
    QCOMPARE(f.prompts.asked.size(), 1);
    QCOMPARE(main.currentSID(), QStringLiteral("StarterID.db"));
    Table club;
    club.open(other);
    QCOMPARE(club.count(), 1);
}

void TestMainRegister::switchDatabase_bringsItsStartConfiguration() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    const QString other = f.folder.starter(QStringLiteral("Jugend.db"));
    f.folder.writeParticipants(other, {fleet().first(), fleet().last()});
    writeFile(f.folder.prefs(),
              "[" + other.toUtf8() + "]\nS1=1\nS2=0\nS3=1\nS4=0\nS5=0\nS1Zeit=10:30:00\nS2Zeit=10:35:00\n");
    TMain& main = f.start().main();
    main.participants().table().setValue(1, field::STATUS, 1);
    f.prompts.fileNames = {other};
    PRESS(main, "cmdChangeSID");
    QCOMPARE(f.prompts.dialogs[0].title, QStringLiteral("Neue Teilnehmer-DB auswählen"));
    QCOMPARE(f.prompts.dialogs[0].filter, QStringLiteral("Datenbanken (*.db)"));
    QCOMPARE(main.currentSID(), other);
    QCOMPARE(main.participants().model().count(), 2);
    QVERIFY(main.timLoad()->isActive());
    main.timLoadTimer();
    QVERIFY(!main.startClock().isActive(2));
    QCOMPARE(widget<QLineEdit>(main, "Edit1")->text(), QStringLiteral("10"));
    QCOMPARE(widget<QLineEdit>(main, "Edit2")->text(), QStringLiteral("30"));
    QCOMPARE(widget<QLineEdit>(main, "Edit11")->text(), QStringLiteral("35")); // start 4 takes start 3's time
    // Back to the first database: a boat entered there stays hidden (no reset on a switch).
    f.prompts.fileNames = {f.folder.starter()};
    PRESS(main, "cmdChangeSID");
    QCOMPARE(main.participants().model().count(), 7);
}

void TestMainRegister::switchDatabase_cancelKeepsCurrent() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    TMain& main = f.start().main();
    PRESS(main, "cmdChangeSID");
    QCOMPARE(main.currentSID(), QStringLiteral("StarterID.db"));
    QVERIFY(main.participants().isOpen());
    QCOMPARE(main.participants().model().count(), 8);
}

void TestMainRegister::switchDatabase_heldByAnotherProcess() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), fleet());
    const QString other = f.folder.starter(QStringLiteral("Gesperrt.db"));
    f.folder.writeParticipants(other, {fleet().first()});
    QProcess holder;
    holder.start(QStringLiteral(TABLE_HOLDER), {QStringLiteral("hold"), other});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));

    TMain& main = f.start().main();
    f.prompts.fileNames = {other};
    PRESS(main, "cmdChangeSID");
    QCOMPARE(f.prompts.errors.size(), 1);
    QVERIFY2(f.prompts.errors[0].contains(QStringLiteral("von einem anderen Programm benutzt")),
             qPrintable(f.prompts.errors[0]));
    QCOMPARE(main.currentSID(), QStringLiteral("StarterID.db"));
    QVERIFY(main.participants().isOpen());
    QCOMPARE(main.participants().model().count(), 8);
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
}

QTEST_MAIN(TestMainRegister)
#include "tst_main_register.moc"

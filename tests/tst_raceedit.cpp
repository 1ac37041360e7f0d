#include "MainFixture.h"
#include "PdfRead.h"
#include "WebPage.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "raceedit/StoredRaces.h"
#include "raceedit/TRaceEdit.h"
#include "store/Error.h"
#include "store/Log.h"
#include "store/Table.h"
#include "timing/Race.h"
#include "timing/Scoring.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <functional>
#include <map>

using namespace wm;
using namespace wm::test;

namespace {

struct Entry {
    const char* sail;
    const char* type;
    double ys;
    const char* elapsed;
    const char* corrected;
};

// Writes a scored race table into the data folder; names and boat names are one word, so PDF rows read back
// as words.
void writeRace(const ProgramFolder& folder, const QString& name, const QList<Entry>& entries) {
    const QString path = folder.data(name + QStringLiteral(".db"));
    Table::create(path, raceFields(participantFields()));
    Table t;
    t.open(path);
    for (const Entry& e : entries) {
        const QString sail = QString::fromUtf8(e.sail);
        t.insert({{field::SEGELNR, sail},
                  {field::BOOTSNAME, QStringLiteral("Boot") + sail},
                  {field::NAME, QStringLiteral("Name") + sail},
                  {field::TYP, QString::fromUtf8(e.type)},
                  {field::YS, e.ys},
                  {field::START, 1},
                  {field::GZEIT, QString::fromUtf8(e.elapsed)},
                  {field::BZEIT, QString::fromUtf8(e.corrected)},
                  {field::STATUS, QStringLiteral("1")}});
    }
    CalcPoints(t);
    writeFile(folder.data(name + QStringLiteral(".ini")), "[General]\nStarted=3\n");
}

// Places 1 to 9 by corrected time; the Laser class holds places 2, 5 and 9, a DSQ and a DNF.
const QList<Entry> kRegatta = {{"S01", "Europe", 100, "00:50:00", "00:50:00"},
                               {"S02", "Laser", 110, "00:56:06", "00:51:00"},
                               {"S03", "Europe", 99, "00:51:29", "00:52:00"},
                               {"S04", "FD", 120, "01:03:36", "00:53:00"},
                               {"S05", "Laser", 100, "00:54:00", "00:54:00"},
                               {"S06", "FD", 95, "00:52:15", "00:55:00"},
                               {"S07", "Europe", 111, "01:02:10", "00:56:00"},
                               {"S08", "FD", 130, "01:14:06", "00:57:00"},
                               {"S09", "Laser", 105, "01:00:54", "00:58:00"},
                               {"S10", "Laser", 104, "DSQ", "DSQ"},
                               {"S11", "Laser", 101, "DNF", "DNF"}};

const QList<Entry> kThree = {{"A", "Laser", 105, "01:00:00", "00:57:08"},
                             {"B", "Laser", 100, "00:58:00", "00:58:00"},
                             {"C", "Laser", 100, "00:59:00", "00:59:00"}};

std::map<QString, std::pair<QString, int>> stored(const QString& path) {
    Table t;
    t.open(path);
    std::map<QString, std::pair<QString, int>> result;
    for (const Table::Row& r : t.select()) {
        result[r.values.value(t.fieldIndex(field::SEGELNR)).toString()] = {
            r.values.value(t.fieldIndex(field::BZEIT)).toString(), r.values.value(t.fieldIndex(field::Punkte)).toInt()};
    }
    return result;
}

// The fields of every row as displayed, joined by `separator`, in natural order.
QStringList rowsOnDisk(const QString& path, const QStringList& fields, QChar separator) {
    Table t;
    t.open(path);
    QStringList rows;
    for (const Table::Row& r : t.select()) {
        QStringList row;
        for (const QString& f : fields) {
            row << displayText(r.values.value(t.fieldIndex(f)));
        }
        rows << row.join(separator);
    }
    return rows;
}

// "place sail" of every result row of a PDF, page by page and top to bottom.
QStringList pdfRows(const QString& path) {
    if (!QFile::exists(path)) {
        return {QStringLiteral("<no file>")};
    }
    const PdfRead pdf = readPdfFile(path);
    QMap<int, QMap<int, QMap<double, QString>>> lines; // page, y, x, word
    for (const Word& word : pdf.words) {
        lines[word.page][int(word.box.y())][word.box.x()] = word.text;
    }
    QStringList rows;
    for (const auto& page : lines) {
        for (const auto& words : page) {
            const QStringList w = words.values();
            const auto sail = std::find_if(w.begin(), w.end(), [](const QString& s) {
                return s.size() == 3 && s.startsWith(u'S') && s[1].isDigit();
            });
            if (sail != w.end()) {
                rows << w.first() + u' ' + *sail;
            }
        }
    }
    return rows;
}

// The fields of each data row of a CSV file (names hold no separator), after the byte-order mark and header.
QList<QStringList> csvCells(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{QStringLiteral("<no file>")}};
    }
    QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        return {{QStringLiteral("<no byte-order mark>")}};
    }
    QList<QStringList> rows;
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        rows << lines[i].split(u';');
    }
    return rows;
}

struct Browser : WindowFixture<TRaceEdit, &RaceOffice::raceEdit> {
    // Writes the race, opens the window and chooses the race when `choose`; false when it cannot be chosen.
    bool openRace(const QString& name, const QList<Entry>& entries, bool choose = true) {
        writeRace(f.folder, name, entries);
        open();
        return !choose || this->choose(name);
    }
    // The type chosen in the list and the lower Yardstick bound typed, where given.
    void setClass(const QString& type, const QString& low) {
        if (!type.isEmpty()) {
            w<QComboBox>("ComboBox1")->setCurrentText(type);
        }
        if (!low.isEmpty()) {
            this->type("Edit1", low);
        }
    }
    void clickEntry(int row) {
        auto* grid = w<QTableView>("DBGrid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 0)).center());
    }
    void type(const char* field, const QString& text) {
        auto* e = w<QLineEdit>(field);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
};

} // namespace

class TestRaceEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*QCoreApplication::instance()); }

    void raceList_newestFirstWithoutStarterTable_data();
    void raceList_newestFirstWithoutStarterTable();
    void correction_data();
    void correction();
    void recordButtons_inOneRow();
    void entries_editedThroughButtonsAndFields_data();
    void entries_editedThroughButtonsAndFields();
    void errorBox_isWrittenToTheLog();
    void deletion_data();
    void deletion();
    void raceHeldElsewhere_refusedAndKeptWhole();
    void runningRace_refused();
    void classReports_data();
    void classReports();
    void classPdfThenOverall_noBlankRows();
    void reportFailures_data();
    void reportFailures();
    void typeList_gathersEveryOpenedRace();
    void yardstickRange_spinnersStayWithinBounds_data();
    void yardstickRange_spinnersStayWithinBounds();
    void window_centredOnScreenBandAcrossWidth();
    void raceList_neverShowsBackups();
    void startShift_data();
    void startShift();
    void startFixLabel_data();
    void startFixLabel();
    void checkLabel_data();
    void checkLabel();
    void webAndCsv_sameRowsAsThePdf_data();
    void webAndCsv_sameRowsAsThePdf();
};

void TestRaceEdit::raceList_newestFirstWithoutStarterTable_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("default names") << QStringList{QStringLiteral("2005-Aug-3.db"), QStringLiteral("2005-Jun-12.db"),
                                                  QStringLiteral("2004-Sep-1.db")}
                                   << QStringList{QStringLiteral("2005-Jun-12"), QStringLiteral("2005-Aug-3"),
                                                  QStringLiteral("2004-Sep-1")};
    QTest::newRow("starter rule and case")
        << QStringList{QStringLiteral("StarterID.DB"), QStringLiteral("starterid.db"), QStringLiteral("Regatta 1.DB"),
                       QStringLiteral("alpha.db"),     QStringLiteral("notes.txt"),    QStringLiteral("Beta.db")}
        << QStringList{QStringLiteral("starterid"), QStringLiteral("Regatta 1"), QStringLiteral("Beta"),
                       QStringLiteral("alpha")};
}

void TestRaceEdit::raceList_newestFirstWithoutStarterTable() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, listed);
    QCOMPARE(raceNames(files), listed);
    // The window reads the folder again each time it is shown.
    Browser b;
    TRaceEdit& edit = b.open();
    QCOMPARE(edit.races(), QStringList());
    edit.hide();
    for (const QString& file : files) {
        writeFile(b.f.folder.data(file), "");
    }
    edit.show();
    QCOMPARE(edit.races(), listed);
}

void TestRaceEdit::correction_data() {
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QString>("yardstick");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("expected"); // "sail BZEIT points", A B C
    const QStringList unchanged{QStringLiteral("A 00:57:08 1"), QStringLiteral("B 00:58:00 2"),
                                QStringLiteral("C 00:59:00 3")};
    QTest::newRow("later time reorders the race")
        << QStringLiteral("01:02:00") << QStringLiteral("105") << QString()
        << QStringList{QStringLiteral("A 00:59:02 3"), QStringLiteral("B 00:58:00 1"), QStringLiteral("C 00:59:00 2")};
    QTest::newRow("DSQ typed as elapsed time")
        << QStringLiteral("DSQ") << QStringLiteral("105") << QString()
        << QStringList{QStringLiteral("A DSQ 3"), QStringLiteral("B 00:58:00 1"), QStringLiteral("C 00:59:00 2")};
    QTest::newRow("a code typed in lower case")
        << QStringLiteral(" dne") << QStringLiteral("105") << QString()
        << QStringList{QStringLiteral("A DNE 3"), QStringLiteral("B 00:58:00 1"), QStringLiteral("C 00:59:00 2")};
    QTest::newRow("bad time") << QStringLiteral("1:0x:00") << QStringLiteral("105") << QStringLiteral("1:0x:00")
                              << unchanged;
    QTest::newRow("bad yardstick") << QStringLiteral("01:02:00") << QStringLiteral("1e2") << QStringLiteral("1e2")
                                   << unchanged;
    QTest::newRow("zero yardstick") << QStringLiteral("01:02:00") << QStringLiteral("0") << QStringLiteral("durch Null")
                                    << unchanged;
}

void TestRaceEdit::correction() {
    QFETCH(QString, elapsed);
    QFETCH(QString, yardstick);
    QFETCH(QString, error);
    QFETCH(QStringList, expected);
    Browser b;
    QVERIFY(b.openRace(QStringLiteral("Abendregatta"), kThree));
    const QString path = b.f.folder.data(QStringLiteral("Abendregatta.db"));
    QCOMPARE(b.w<QLabel>("Label2")->text(), QStringLiteral("Abendregatta"));
    b.clickEntry(0);
    QCOMPARE(b.window->entries().currentText(field::SEGELNR), QStringLiteral("A"));
    QCOMPARE(b.w<QLabel>("DBText1")->text(), QStringLiteral("00:57:08"));
    b.type("DBEdit1", elapsed);
    b.type("DBEdit2", yardstick);
    PRESS(*b.window, "Button1");

    QStringList actual;
    for (const auto& [sail, value] : stored(path)) {
        actual << sail + u' ' + value.first + u' ' + QString::number(value.second);
    }
    QCOMPARE(actual, expected);
    if (error.isEmpty()) {
        QCOMPARE(b.f.prompts.errors, QStringList());
        QCOMPARE(b.window->entries().currentText(field::SEGELNR), QStringLiteral("A"));
        QCOMPARE(b.w<QLabel>("DBText1")->text(), expected[0].section(u' ', 1, 1));
    } else {
        QCOMPARE(b.f.prompts.errors.size(), 1);
        QVERIFY2(b.f.prompts.errors[0].contains(error), qPrintable(b.f.prompts.errors[0]));
        QCOMPARE(b.w<QLineEdit>("DBEdit1")->text(), elapsed);
        QCOMPARE(b.w<QLineEdit>("DBEdit2")->text(), yardstick);
    }
}

void TestRaceEdit::recordButtons_inOneRow() {
    Browser b;
    b.open();
    QStringList buttons;
    for (const char* name : {"btnInsert", "btnDelete", "btnCancel", "btnRefresh"}) {
        const auto* button = b.w<QToolButton>(name);
        QVERIFY2(button && button->parentWidget() == b.w<QWidget>("DBNavigator1"), name);
        buttons << QStringLiteral("%1 %2 %3").arg(button->toolTip()).arg(button->x()).arg(button->width());
    }
    QCOMPARE(buttons, (QStringList{QStringLiteral("Datensatz einfügen 0 55"), QStringLiteral("Datensatz löschen 55 55"),
                                   QStringLiteral("Bearbeitung abbrechen 110 55"),
                                   QStringLiteral("Daten aktualisieren 165 55")}));
}

void TestRaceEdit::entries_editedThroughButtonsAndFields_data() {
    // Steps: "click:ROW" an entry, "press:NAME" a control, "type:FIELD=TEXT" into an edit field, "return:FIELD",
    // "grid:TEXT" typed into the grid's open editor, "gridReturn", "outside:YS=N" written by another connection
    // to entry B.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("onDisk"); // "sail|GZEIT|YS", natural order
    QTest::addColumn<QString>("current");    // the current entry's sail number afterwards
    QTest::addColumn<QString>("fields");     // DBEdit1|DBEdit2 afterwards
    QTest::addColumn<int>("errors");
    const QStringList three{QStringLiteral("A|01:00:00|105"), QStringLiteral("B|00:58:00|100"),
                            QStringLiteral("C|00:59:00|100")};
    QTest::newRow("insert adds an empty entry")
        << QStringList{QStringLiteral("press:btnInsert")} << false << three + QStringList{QStringLiteral("||")}
        << QString() << QStringLiteral("|") << 0;
    QTest::newRow("a sail number typed into the new entry")
        << QStringList{QStringLiteral("press:btnInsert"), QStringLiteral("grid:Neu"), QStringLiteral("gridReturn")}
        << false << three + QStringList{QStringLiteral("Neu||")} << QStringLiteral("Neu") << QStringLiteral("|") << 0;
    QTest::newRow("cancel takes back the empty new entry")
        << QStringList{QStringLiteral("press:btnInsert"), QStringLiteral("press:btnCancel")} << false << three
        << QStringLiteral("C") << QStringLiteral("00:59:00|100") << 0;
    QTest::newRow("cancel keeps a new entry with values")
        << QStringList{QStringLiteral("press:btnInsert"), QStringLiteral("grid:Neu"), QStringLiteral("gridReturn"),
                       QStringLiteral("press:btnCancel")}
        << false << three + QStringList{QStringLiteral("Neu||")} << QStringLiteral("Neu") << QStringLiteral("|") << 0;
    QTest::newRow("delete confirmed") << QStringList{QStringLiteral("click:1"), QStringLiteral("press:btnDelete")}
                                      << true
                                      << QStringList{QStringLiteral("A|01:00:00|105"), QStringLiteral("C|00:59:00|100")}
                                      << QStringLiteral("C") << QStringLiteral("00:59:00|100") << 0;
    QTest::newRow("delete declined") << QStringList{QStringLiteral("click:1"), QStringLiteral("press:btnDelete")}
                                     << false << three << QStringLiteral("B") << QStringLiteral("00:58:00|100") << 0;
    QTest::newRow("Return in a field writes both fields")
        << QStringList{QStringLiteral("click:1"), QStringLiteral("type:DBEdit1=01:00:00"),
                       QStringLiteral("return:DBEdit1")}
        << false
        << QStringList{QStringLiteral("A|01:00:00|105"), QStringLiteral("B|01:00:00|100"),
                       QStringLiteral("C|00:59:00|100")}
        << QStringLiteral("B") << QStringLiteral("01:00:00|100") << 0;
    QTest::newRow("moving to another entry writes the fields, their entry stays current")
        << QStringList{QStringLiteral("click:0"), QStringLiteral("type:DBEdit2=99"), QStringLiteral("click:2")} << false
        << QStringList{QStringLiteral("A|01:00:00|99"), QStringLiteral("B|00:58:00|100"),
                       QStringLiteral("C|00:59:00|100")}
        << QStringLiteral("A") << QStringLiteral("01:00:00|99") << 0;
    QTest::newRow("a refused value stays with its entry")
        << QStringList{QStringLiteral("click:0"), QStringLiteral("type:DBEdit2=abc"), QStringLiteral("click:2")}
        << false << three << QStringLiteral("A") << QStringLiteral("01:00:00|abc") << 1;
    QTest::newRow("refresh shows a change made elsewhere")
        << QStringList{QStringLiteral("click:1"), QStringLiteral("outside:YS=120"), QStringLiteral("press:btnRefresh")}
        << false
        << QStringList{QStringLiteral("A|01:00:00|105"), QStringLiteral("B|00:58:00|120"),
                       QStringLiteral("C|00:59:00|100")}
        << QStringLiteral("B") << QStringLiteral("00:58:00|120") << 0;
}

void TestRaceEdit::entries_editedThroughButtonsAndFields() {
    QFETCH(QStringList, steps);
    QFETCH(bool, answer);
    QFETCH(QStringList, onDisk);
    QFETCH(QString, current);
    QFETCH(QString, fields);
    QFETCH(int, errors);
    Browser b;
    QVERIFY(b.openRace(QStringLiteral("Abend"), kThree));
    const QString path = b.f.folder.data(QStringLiteral("Abend.db"));
    // Typing goes to the window that has the focus.
    b.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(b.window));
    b.f.prompts.answers = {answer};
    for (const QString& step : steps) {
        const QString what = step.section(u':', 0, 0);
        const QString arg = step.section(u':', 1);
        if (what == QLatin1String("click")) {
            b.clickEntry(arg.toInt());
        } else if (what == QLatin1String("press")) {
            QVERIFY2(press(b.w<QWidget>(qPrintable(arg))), qPrintable(step));
        } else if (what == QLatin1String("type")) {
            b.type(qPrintable(arg.section(u'=', 0, 0)), arg.section(u'=', 1));
        } else if (what == QLatin1String("return")) {
            QTest::keyClick(b.w<QLineEdit>(qPrintable(arg)), Qt::Key_Return);
        } else if (what == QLatin1String("grid")) {
            QVERIFY2(b.w<QTableView>("DBGrid1")->isAncestorOf(QApplication::focusWidget()), qPrintable(step));
            QTest::keyClicks(QApplication::focusWidget(), arg);
        } else if (what == QLatin1String("gridReturn")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            // The grid writes the cell once the event loop runs.
            QCoreApplication::processEvents();
        } else if (what == QLatin1String("outside")) {
            Table other;
            other.open(path);
            for (const Table::Row& row : other.select()) {
                if (row.values.value(other.fieldIndex(field::SEGELNR)).toString() == QLatin1String("B")) {
                    other.setValue(row.rowid, field::YS, arg.section(u'=', 1).toDouble());
                }
            }
        }
    }
    QCOMPARE(rowsOnDisk(path, {field::SEGELNR, field::GZEIT, field::YS}, u'|'), onDisk);
    QCOMPARE(b.window->entries().currentText(field::SEGELNR), current);
    QCOMPARE(b.w<QLineEdit>("DBEdit1")->text() + u'|' + b.w<QLineEdit>("DBEdit2")->text(), fields);
    QCOMPARE(b.f.prompts.errors.size(), errors);
    if (steps.contains(QStringLiteral("press:btnDelete"))) {
        QCOMPARE(b.f.prompts.asked, QStringList{QStringLiteral("Datensatz löschen?")});
    }
}

void TestRaceEdit::errorBox_isWrittenToTheLog() {
    Browser b;
    writeRace(b.f.folder, QStringLiteral("Abendregatta"), kThree);
    b.open();
    b.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(b.window));
    QVERIFY(b.choose(QStringLiteral("Abendregatta")));
    b.clickEntry(0);
    b.type("DBEdit1", QStringLiteral("1:0x:00"));
    PRESS(*b.window, "Button1");
    QCOMPARE(b.f.prompts.errors.size(), 1);

    const QStringList lines =
        readFile(b.f.folder.path() + QStringLiteral("/wendemark.log")).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    const QRegularExpression time(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "));
    QVERIFY2(time.match(lines[0]).hasMatch(), qPrintable(lines[0]));
    QCOMPARE(lines[0].mid(21), logLine(QStringLiteral("Wettfahrt nachbearbeiten"), b.f.prompts.errors[0]));
}

void TestRaceEdit::deletion_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Nein") << false;
    QTest::newRow("Ja") << true;
}

void TestRaceEdit::deletion() {
    QFETCH(bool, yes);
    Browser b;
    writeRace(b.f.folder, QStringLiteral("Testlauf"), kThree);
    writeRace(b.f.folder, QStringLiteral("Pokal"), kThree);
    const QString table = b.f.folder.data(QStringLiteral("Testlauf.db"));
    const QString ini = b.f.folder.data(QStringLiteral("Testlauf.ini"));
    b.open();
    QVERIFY(b.choose(QStringLiteral("Testlauf")));
    b.f.prompts.answers = {yes};
    PRESS(*b.window, "Label5");
    QCOMPARE(b.f.prompts.asked, QStringList{QStringLiteral("Diese Wettfahrt wirklich unwiderruflich löschen?")});
    QCOMPARE(QFile::exists(table), !yes);
    QCOMPARE(QFile::exists(ini), !yes);
    const QStringList left =
        yes ? QStringList{QStringLiteral("Pokal")} : QStringList{QStringLiteral("Testlauf"), QStringLiteral("Pokal")};
    QCOMPARE(b.window->races(), left);
    QCOMPARE(b.window->table().isOpen(), !yes);
    QCOMPARE(b.w<QLabel>("Label2")->text(), QStringLiteral("Testlauf"));
    if (yes) {
        // The deleted race cannot be reported on.
        PRESS(*b.window, "Label17");
        QCOMPARE(b.f.prompts.errors.size(), 1);
        QVERIFY(!QFile::exists(b.reports(QStringLiteral("Testlauf.pdf"))));
    }
}

void TestRaceEdit::raceHeldElsewhere_refusedAndKeptWhole() {
    Browser b;
    QVERIFY(b.openRace(QStringLiteral("Gesperrt"), kThree));
    const QString path = b.f.folder.data(QStringLiteral("Gesperrt.db"));
    // Another program takes the race while it is shown here: deleting it is refused.
    QProcess holder;
    holder.start(QStringLiteral(TABLE_HOLDER), {QStringLiteral("hold"), path});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));
    b.f.prompts.answers = {true};
    PRESS(*b.window, "Label5");
    QCOMPARE(b.f.prompts.errors.size(), 1);
    QVERIFY2(b.f.prompts.errors[0].contains(QStringLiteral("anderen Programm")), qPrintable(b.f.prompts.errors[0]));
    QVERIFY(QFile::exists(path));
    QVERIFY(QFile::exists(b.f.folder.data(QStringLiteral("Gesperrt.ini"))));
    // Chosen anew while it is held: it does not open.
    b.window->hide();
    b.window->show();
    QVERIFY(b.choose(QStringLiteral("Gesperrt")));
    QCOMPARE(b.f.prompts.errors.size(), 2);
    QVERIFY(!b.window->table().isOpen());
    QCOMPARE(b.w<QTableView>("DBGrid1")->model()->rowCount(), 0);
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    QCOMPARE(stored(path).size(), size_t(3));
}

void TestRaceEdit::runningRace_refused() {
    Browser b;
    b.f.folder.writeParticipants(b.f.folder.starter(), {boat(QStringLiteral("GER 1"), QStringLiteral("Möwe"),
                                                             QStringLiteral("Anke"), QStringLiteral("Laser"), 113, 1)});
    TMain& main = b.f.start().main();
    PRESS(main, "Label22"); // a new race under the default name
    PRESS(main, "cmdAdd");
    QVERIFY(main.race().isOpen());
    const QString running = main.race().name();
    bool checked = false;
    // The window is modal: it is driven from inside its own event loop, as a user would.
    QTimer::singleShot(0, [&] {
        b.window = &b.f.app->raceEdit();
        QVERIFY(b.window->isVisible());
        QVERIFY(b.choose(running));
        QCOMPARE(b.f.prompts.errors.size(), 1);
        QVERIFY2(b.f.prompts.errors[0].contains(QStringLiteral("Hauptfenster")), qPrintable(b.f.prompts.errors[0]));
        QVERIFY(!b.window->table().isOpen());
        QCOMPARE(b.w<QLabel>("Label2")->text(), QStringLiteral("Ausgewaehlte WF"));
        b.f.prompts.answers = {true};
        PRESS(*b.window, "Label5");
        PRESS(*b.window, "Label19");
        checked = true;
    });
    PRESS(main, "Label20"); // shows the entries of the race office
    PRESS(main, "Label24");
    QVERIFY(checked);
    QVERIFY(!b.window->isVisible());
    QVERIFY(QFile::exists(main.race().table().path()));
    QCOMPARE(main.race().table().count(), 1);
}

void TestRaceEdit::classReports_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("file"); // empty: printed through the preview
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QStringList>("rows");
    const QString reports = QStringLiteral("\r\rnach: ");
    QTest::newRow("whole race printed with points")
        << QStringLiteral("Label8") << QString() << QString() << QString()
        << QStringList{QStringLiteral("1 S01"),  QStringLiteral("2 S02"), QStringLiteral("3 S03"),
                       QStringLiteral("4 S04"),  QStringLiteral("5 S05"), QStringLiteral("6 S06"),
                       QStringLiteral("7 S07"),  QStringLiteral("8 S08"), QStringLiteral("9 S09"),
                       QStringLiteral("11 S10"), QStringLiteral("11 S11")};
    const QStringList laser{QStringLiteral("1 S02"), QStringLiteral("2 S05"), QStringLiteral("3 S09"),
                            QStringLiteral("4 S10"), QStringLiteral("5 S11")};
    QTest::newRow("type printed") << QStringLiteral("Label13") << QStringLiteral("Laser") << QString() << QString()
                                  << laser;
    QTest::newRow("type PDF") << QStringLiteral("Label15") << QStringLiteral("Laser")
                              << QStringLiteral("Sommer Laser.pdf")
                              << QStringLiteral("Der Report Sommer (Laser) wurde exportiert (PDF)") << laser;
    const QStringList range{QStringLiteral("1 S01"), QStringLiteral("2 S02"), QStringLiteral("3 S05"),
                            QStringLiteral("4 S09"), QStringLiteral("5 S10"), QStringLiteral("6 S11")};
    QTest::newRow("range printed") << QStringLiteral("Label14") << QString() << QString() << QString() << range;
    QTest::newRow("range PDF") << QStringLiteral("Label16") << QString() << QStringLiteral("Sommer 100-110.pdf")
                               << QStringLiteral("Der Report Sommer (YS 100-110) wurde exportiert (PDF)") << range;
    QTest::newRow("overall PDF by corrected time")
        << QStringLiteral("Label17") << QString() << QStringLiteral("Sommer.pdf")
        << QStringLiteral("Der Report der Wettfahrt 'Sommer' wurde exportiert:")
        << QStringList{QStringLiteral("1 S01"),  QStringLiteral("2 S02"), QStringLiteral("3 S03"),
                       QStringLiteral("4 S04"),  QStringLiteral("5 S05"), QStringLiteral("6 S06"),
                       QStringLiteral("7 S07"),  QStringLiteral("8 S08"), QStringLiteral("9 S09"),
                       QStringLiteral("10 S11"), QStringLiteral("11 S10")};
}

void TestRaceEdit::classReports() {
    QFETCH(QString, command);
    QFETCH(QString, type);
    QFETCH(QString, file);
    QFETCH(QString, notice);
    QFETCH(QStringList, rows);
    Browser b;
    writeRace(b.f.folder, QStringLiteral("Sommer"), kRegatta);
    const auto before = stored(b.f.folder.data(QStringLiteral("Sommer.db")));
    // The main window's export of the race is replaced by the overall ranking.
    writeFile(b.reports(QStringLiteral("Sommer.pdf")), "old");
    b.open();
    QVERIFY(b.choose(QStringLiteral("Sommer")));
    if (!type.isEmpty()) {
        b.w<QComboBox>("ComboBox1")->setCurrentText(type);
    }
    QVERIFY(b.w<QWidget>(qPrintable(command)) != nullptr);
    QVERIFY(press(b.w<QWidget>(qPrintable(command))));
    QCOMPARE(b.f.prompts.errors, QStringList());
    if (file.isEmpty()) {
        QCOMPARE(b.f.preview->shown, 1);
        QCOMPARE(pdfRows(b.preview()), rows);
        QCOMPARE(b.f.notifier.notices.size(), 0);
    } else {
        QCOMPARE(pdfRows(b.reports(file)), rows);
        QCOMPARE(b.f.notifier.notices.size(), 1);
        QCOMPARE(b.f.notifier.notices[0].title, QStringLiteral("Wendemark"));
        QVERIFY2(b.f.notifier.notices[0].text.startsWith(notice), qPrintable(b.f.notifier.notices[0].text));
    }
    // No points are computed or stored anew for a class.
    QVERIFY(stored(b.f.folder.data(QStringLiteral("Sommer.db"))) == before);
}

void TestRaceEdit::classPdfThenOverall_noBlankRows() {
    Browser b;
    QList<Entry> many = kRegatta;
    for (int i = 12; i <= 30; ++i) {
        static QList<QByteArray> sails;
        sails << QStringLiteral("S%1").arg(i).toLatin1();
        many << Entry{sails.last().constData(), "Europe", 90, "01:10:00", "01:17:46"};
    }
    QVERIFY(b.openRace(QStringLiteral("Herbst"), many));
    b.w<QComboBox>("ComboBox1")->setCurrentText(QStringLiteral("Laser"));
    PRESS(*b.window, "Label15");
    PRESS(*b.window, "Label17");
    QCOMPARE(b.f.prompts.errors, QStringList());
    const QStringList rows = pdfRows(b.reports(QStringLiteral("Herbst.pdf")));
    QCOMPARE(rows.size(), 30);
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].section(u' ', 0, 0), QString::number(i + 1));
    }
}

void TestRaceEdit::reportFailures_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("choose");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("error");
    QTest::newRow("no race chosen") << QStringLiteral("Label15") << false << QString() << QString()
                                    << QStringLiteral("zuerst eine Wettfahrt");
    QTest::newRow("no race chosen, overall")
        << QStringLiteral("Label17") << false << QString() << QString() << QStringLiteral("zuerst eine Wettfahrt");
    QTest::newRow("type the race lacks") << QStringLiteral("Label15") << true << QStringLiteral("Folkeboot")
                                         << QString() << QStringLiteral("kein Boot vom Typ 'Folkeboot'");
    QTest::newRow("type the race lacks, printed") << QStringLiteral("Label13") << true << QStringLiteral("Folkeboot")
                                                  << QString() << QStringLiteral("kein Boot vom Typ 'Folkeboot'");
    QTest::newRow("bound not a number") << QStringLiteral("Label16") << true << QString() << QStringLiteral("1OO")
                                        << QStringLiteral("'1OO'");
    QTest::newRow("empty range") << QStringLiteral("Label16") << true << QString() << QStringLiteral("150")
                                 << QStringLiteral("von 150 bis 110");
}

void TestRaceEdit::reportFailures() {
    QFETCH(QString, command);
    QFETCH(bool, choose);
    QFETCH(QString, type);
    QFETCH(QString, low);
    QFETCH(QString, error);
    Browser b;
    QVERIFY(b.openRace(QStringLiteral("Sommer"), kRegatta, choose));
    b.setClass(type, low);
    QVERIFY(press(b.w<QWidget>(qPrintable(command))));
    QCOMPARE(b.f.prompts.errors.size(), 1);
    QVERIFY2(b.f.prompts.errors[0].contains(error), qPrintable(b.f.prompts.errors[0]));
    QCOMPARE(b.f.notifier.notices.size(), 0);
    QCOMPARE(b.f.preview->shown, 0);
    QCOMPARE(QDir(b.f.folder.path() + QStringLiteral("/Reports")).entryList(QDir::Files), QStringList());
}

void TestRaceEdit::typeList_gathersEveryOpenedRace() {
    Browser b;
    writeRace(b.f.folder, QStringLiteral("Erste"),
              {{"S01", "Laser", 100, "DNF", "DNF"}, {"S02", "", 100, "DNF", "DNF"}});
    writeRace(
        b.f.folder, QStringLiteral("Zweite"),
        {{"S03", "Europe", 100, "DNF", "DNF"}, {"S04", "Laser", 100, "DNF", "DNF"}, {"S05", "420er", 1, "DNF", "DNF"}});
    b.open();
    auto* types = b.w<QComboBox>("ComboBox1");
    QVERIFY(b.choose(QStringLiteral("Zweite")));
    QVERIFY(b.choose(QStringLiteral("Erste")));
    QStringList items;
    for (int i = 0; i < types->count(); ++i) {
        items << types->itemText(i);
    }
    QCOMPARE(items, (QStringList{QStringLiteral("420er"), QStringLiteral("Europe"), QStringLiteral("Laser")}));
    QCOMPARE(types->currentText(), QStringLiteral("420er"));
    // A type gathered from the other race gives an empty result here.
    PRESS(*b.window, "Label15");
    QCOMPARE(b.f.prompts.errors.size(), 1);
}

void TestRaceEdit::yardstickRange_spinnersStayWithinBounds_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("steps"); // up when positive
    QTest::addColumn<QString>("shown");
    QTest::newRow("lower bound up to 180")
        << QStringLiteral("Edit1") << QStringLiteral("179") << 3 << QStringLiteral("180");
    QTest::newRow("lower bound down to 60")
        << QStringLiteral("Edit1") << QStringLiteral("61") << -3 << QStringLiteral("60");
    QTest::newRow("lower bound not a number: from 100")
        << QStringLiteral("Edit1") << QStringLiteral("x") << 1 << QStringLiteral("101");
    QTest::newRow("upper bound up to 200")
        << QStringLiteral("Edit2") << QStringLiteral("199") << 3 << QStringLiteral("200");
    QTest::newRow("upper bound down to 60")
        << QStringLiteral("Edit2") << QStringLiteral("61") << -3 << QStringLiteral("60");
    QTest::newRow("upper bound not a number: from 110")
        << QStringLiteral("Edit2") << QStringLiteral("x") << -1 << QStringLiteral("109");
}

void TestRaceEdit::yardstickRange_spinnersStayWithinBounds() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, steps);
    QFETCH(QString, shown);
    Browser b;
    b.open();
    auto* edit = b.w<QLineEdit>(qPrintable(field));
    edit->setText(typed);
    // Each field has its spinner: UpDown1 beside Edit1, UpDown2 beside Edit2.
    auto* spinner = b.w<QWidget>(qPrintable(QStringLiteral("UpDown") + field.right(1)));
    QWidget* arrow = spinner->findChild<QWidget*>(steps > 0 ? QStringLiteral("up") : QStringLiteral("down"));
    for (int i = 0; i < std::abs(steps); ++i) {
        QVERIFY(press(arrow));
    }
    QCOMPARE(edit->text(), shown);
}

void TestRaceEdit::window_centredOnScreenBandAcrossWidth() {
    Browser b;
    b.open();
    // Within the few pixels of a window frame.
    const QPoint off = b.centreWithMainAside() - QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2(off.manhattanLength() <= 4, qPrintable(QStringLiteral("%1, %2").arg(off.x()).arg(off.y())));
    QCOMPARE(b.bandWidthAt(1000), 1000);
}

void TestRaceEdit::raceList_neverShowsBackups() {
    Browser b;
    writeRace(b.f.folder, QStringLiteral("Heute"), kThree);
    QVERIFY(QDir().mkpath(b.f.folder.data(QStringLiteral("Sicherung/2024-06-15_09-30-05/Starter"))));
    QVERIFY(QDir().mkpath(b.f.folder.data(QStringLiteral("Ordner.db"))));
    writeRace(b.f.folder, QStringLiteral("Sicherung/Gestern"), kThree);
    writeRace(b.f.folder, QStringLiteral("Sicherung/2024-06-15_09-30-05/Vorgestern"), kThree);
    QCOMPARE(raceNames(b.f.folder.data({})), QStringList{QStringLiteral("Heute")});
    QCOMPARE(b.open().races(), QStringList{QStringLiteral("Heute")});
}

namespace {

// Start groups 1 and 2; in group 2 two finishers, a DNF and a DSQ.
void writeStartGroups(const ProgramFolder& folder) {
    writeRace(folder, QStringLiteral("Startfehler"),
              {{"G1", "Laser", 100, "00:44:00", "00:44:00"},
               {"G2a", "Laser", 100, "00:45:00", "00:45:00"},
               {"G2b", "FD", 110, "00:50:00", "00:45:27"},
               {"G2c", "FD", 110, "DNF", "DNF"},
               {"G2d", "FD", 110, "DSQ", "DSQ"}});
    Table t;
    t.open(folder.data(QStringLiteral("Startfehler.db")));
    for (const Table::Row& row : t.select()) {
        if (row.values.value(t.fieldIndex(field::SEGELNR)).toString().startsWith(QStringLiteral("G2"))) {
            t.setValue(row.rowid, field::START, 2);
        }
    }
}

// "sail GZEIT BZEIT points" of every row, in natural order.
QStringList timesOnDisk(const QString& path) {
    return rowsOnDisk(path, {field::SEGELNR, field::GZEIT, field::BZEIT, field::Punkte}, u' ');
}

const QStringList kBeforeShift = {QStringLiteral("G1 00:44:00 00:44:00 1"), QStringLiteral("G2a 00:45:00 00:45:00 2"),
                                  QStringLiteral("G2b 00:50:00 00:45:27 3"), QStringLiteral("G2c DNF DNF 5"),
                                  QStringLiteral("G2d DSQ DSQ 5")};
const QStringList kStartedLater = {QStringLiteral("G1 00:44:00 00:44:00 3"), QStringLiteral("G2a 00:43:00 00:43:00 1"),
                                   QStringLiteral("G2b 00:48:00 00:43:38 2"), QStringLiteral("G2c DNF DNF 5"),
                                   QStringLiteral("G2d DSQ DSQ 5")};

} // namespace

void TestRaceEdit::startShift_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QStringList>("preview"); // lines of the list
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("group 2 started 2 minutes later") << 2 << 120
                                                     << QStringList{QStringLiteral("G2a BootG2a: 00:45:00 → 00:43:00"),
                                                                    QStringLiteral("G2b BootG2b: 00:50:00 → 00:48:00")}
                                                     << kStartedLater;
    QTest::newRow("group 2 started 90 s earlier")
        << 2 << -90
        << QStringList{QStringLiteral("G2a BootG2a: 00:45:00 → 00:46:30"),
                       QStringLiteral("G2b BootG2b: 00:50:00 → 00:51:30")}
        << QStringList{QStringLiteral("G1 00:44:00 00:44:00 1"), QStringLiteral("G2a 00:46:30 00:46:30 2"),
                       QStringLiteral("G2b 00:51:30 00:46:49 3"), QStringLiteral("G2c DNF DNF 5"),
                       QStringLiteral("G2d DSQ DSQ 5")};
    QTest::newRow("elapsed time down to zero")
        << 1 << 2640 << QStringList{QStringLiteral("G1 BootG1: 00:44:00 → 00:00:00")}
        << QStringList{QStringLiteral("G1 00:00:00 00:00:00 1"), QStringLiteral("G2a 00:45:00 00:45:00 2"),
                       QStringLiteral("G2b 00:50:00 00:45:27 3"), QStringLiteral("G2c DNF DNF 5"),
                       QStringLiteral("G2d DSQ DSQ 5")};
    QTest::newRow("negative elapsed time refused") << 2 << 2701 << QStringList() << kBeforeShift;
}

void TestRaceEdit::startShift() {
    QFETCH(int, group);
    QFETCH(int, seconds);
    QFETCH(QStringList, preview);
    QFETCH(QStringList, expected);
    ProgramFolder folder;
    writeStartGroups(folder);
    const QString path = folder.data(QStringLiteral("Startfehler.db"));
    QCOMPARE(timesOnDisk(path), kBeforeShift);
    Table race;
    race.open(path);
    if (preview.isEmpty()) {
        for (const auto& attempt : {std::function<void()>([&] { planStartShift(race, group, seconds); }),
                                    std::function<void()>([&] { shiftStart(race, group, seconds); })}) {
            try {
                attempt();
                QFAIL("a negative elapsed time was accepted");
            } catch (const Error& e) {
                QVERIFY2(e.message().contains(QStringLiteral("G2a BootG2a (00:45:00) würde negativ")),
                         qPrintable(e.message()));
            }
        }
    } else {
        const QString text = startShiftPreview(planStartShift(race, group, seconds), group, seconds);
        QCOMPARE(text.section(QStringLiteral("\n\n"), 1, 1).split(u'\n', Qt::SkipEmptyParts), preview);
        QCOMPARE(shiftStart(race, group, seconds).size(), preview.size());
    }
    race.close();
    QCOMPARE(timesOnDisk(path), expected);
}

void TestRaceEdit::startFixLabel_data() {
    QTest::addColumn<QString>("groupText");
    QTest::addColumn<QString>("shiftText");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("confirmed") << QStringLiteral(" 2 ") << QStringLiteral("+120") << true << QString() << kStartedLater;
    QTest::newRow("declined") << QStringLiteral("2") << QStringLiteral("120") << false << QString() << kBeforeShift;
    QTest::newRow("no such group") << QStringLiteral("6") << QStringLiteral("120") << true
                                   << QStringLiteral("zwischen 1 und 5") << kBeforeShift;
    QTest::newRow("shift not a whole number")
        << QStringLiteral("2") << QStringLiteral("1,5") << true
        << QStringLiteral("'1,5' ist kein gültiger ganzzahliger Wert") << kBeforeShift;
    QTest::newRow("negative elapsed time")
        << QStringLiteral("2") << QStringLiteral("3600") << true << QStringLiteral("würde negativ") << kBeforeShift;
}

void TestRaceEdit::startFixLabel() {
    QFETCH(QString, groupText);
    QFETCH(QString, shiftText);
    QFETCH(bool, confirm);
    QFETCH(QString, error);
    QFETCH(QStringList, expected);
    Browser b;
    writeStartGroups(b.f.folder);
    b.open();
    QVERIFY(b.choose(QStringLiteral("Startfehler")));
    b.f.prompts.inputs = {groupText, shiftText};
    b.f.prompts.answers = {confirm};
    PRESS(*b.window, "LabelStartFix");

    QCOMPARE(timesOnDisk(b.f.folder.data(QStringLiteral("Startfehler.db"))), expected);
    if (error.isEmpty()) {
        QCOMPARE(b.f.prompts.errors, QStringList());
        QCOMPARE(b.f.prompts.asked.size(), 1);
        QVERIFY2(b.f.prompts.asked[0].contains(QStringLiteral("G2b BootG2b: 00:50:00 → 00:48:00")),
                 qPrintable(b.f.prompts.asked[0]));
    } else {
        QCOMPARE(b.f.prompts.errors.size(), 1);
        QVERIFY2(b.f.prompts.errors[0].contains(error), qPrintable(b.f.prompts.errors[0]));
        QCOMPARE(b.f.prompts.asked, QStringList());
    }
    // The grid shows the race as it is on disk, ranked by corrected time.
    QCOMPARE(b.window->entries().rowCount(), 5);
    if (confirm && error.isEmpty()) {
        b.clickEntry(0);
        QCOMPARE(b.window->entries().currentText(field::SEGELNR), QStringLiteral("G2a"));
        QCOMPARE(b.w<QLabel>("DBText1")->text(), QStringLiteral("00:43:00"));
    }
}

void TestRaceEdit::checkLabel_data() {
    QTest::addColumn<QStringList>("entries"); // "sail number|boat name|elapsed|status|start"
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("nothing found") << QStringList{QStringLiteral("S1|Alk|00:40:00|2|1"),
                                                  QStringLiteral("S2|Uhu|00:41:00|2|1")}
                                   << QByteArray("[General]\nStarted=2\n") << QStringList();
    QTest::newRow("racing, twice, start switched off")
        << QStringList{QStringLiteral("S1|Alk|00:40:00|2|1"), QStringLiteral("s1|Uhu||1|2")}
        << QByteArray("[Startzeiten]\nS1=1\nS2=0\n")
        << QStringList{QStringLiteral("Noch auf der Bahn: s1 Uhu"),
                       QStringLiteral("Segelnummer S1 2-mal vergeben: S1 Alk, s1 Uhu"),
                       QStringLiteral("Start 2 ist nicht aktiv, hat aber Einträge: s1 Uhu")};
}

void TestRaceEdit::checkLabel() {
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, info);
    QFETCH(QStringList, lines);
    Browser b;
    const QString path = b.f.folder.data(QStringLiteral("Prüfung.db"));
    Table::create(path, raceFields(participantFields()));
    {
        Table t;
        t.open(path);
        for (const QString& entry : entries) {
            const QStringList v = entry.split(u'|');
            t.insert({{field::SEGELNR, v[0]},
                      {field::BOOTSNAME, v[1]},
                      {field::YS, 100},
                      {field::START, v[4].toInt()},
                      {field::GZEIT, v[2]},
                      {field::BZEIT, v[2]},
                      {field::STATUS, v[3]}});
        }
    }
    writeFile(b.f.folder.data(QStringLiteral("Prüfung.ini")), info);
    b.open();
    PRESS(*b.window, "LabelCheck");
    QCOMPARE(b.f.prompts.errors, QStringList{QStringLiteral("Bitte wählen Sie zuerst eine Wettfahrt aus.")});
    QVERIFY(b.choose(QStringLiteral("Prüfung")));

    QStringList shown;
    if (lines.isEmpty()) {
        QCOMPARE(resultChecksDuring([&] { PRESS(*b.window, "LabelCheck"); }), 0);
    } else {
        onNextResultCheck("cmdCancel", shown);
        PRESS(*b.window, "LabelCheck");
    }
    QCOMPARE(shown, lines);
    QCOMPARE(b.f.prompts.messages,
             lines.isEmpty() ? QStringList{QStringLiteral("Keine Auffälligkeiten gefunden.")} : QStringList());
}

void TestRaceEdit::webAndCsv_sameRowsAsThePdf_data() {
    QTest::addColumn<QString>("pdfLabel");
    QTest::addColumn<bool>("choose");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("stem");    // file name without extension, as the PDF's
    QTest::addColumn<QString>("caption"); // header of the web page, as on the PDF
    QTest::addColumn<QString>("error");   // refused: nothing is written
    QTest::newRow("type") << QStringLiteral("Label15") << true << QStringLiteral("Laser") << QString()
                          << QStringLiteral("Sommer Laser") << QStringLiteral("Sommer (Laser)") << QString();
    QTest::newRow("Yardstick range") << QStringLiteral("Label16") << true << QString() << QString()
                                     << QStringLiteral("Sommer 100-110") << QStringLiteral("Sommer (YS 100-110)")
                                     << QString();
    QTest::newRow("overall by corrected time, DNF before DSQ")
        << QStringLiteral("Label17") << true << QString() << QString() << QStringLiteral("Sommer")
        << QStringLiteral("Sommer") << QString();
    QTest::newRow("no race chosen") << QStringLiteral("Label17") << false << QString() << QString() << QString()
                                    << QString() << QStringLiteral("zuerst eine Wettfahrt");
    QTest::newRow("type the race lacks") << QStringLiteral("Label15") << true << QStringLiteral("Folkeboot")
                                         << QString() << QString() << QString()
                                         << QStringLiteral("kein Boot vom Typ 'Folkeboot'");
    QTest::newRow("empty range") << QStringLiteral("Label16") << true << QString() << QStringLiteral("150") << QString()
                                 << QString() << QStringLiteral("von 150 bis 110");
}

void TestRaceEdit::webAndCsv_sameRowsAsThePdf() {
    QFETCH(QString, pdfLabel);
    QFETCH(bool, choose);
    QFETCH(QString, type);
    QFETCH(QString, low);
    QFETCH(QString, stem);
    QFETCH(QString, caption);
    QFETCH(QString, error);
    Browser b;
    QVERIFY(b.openRace(QStringLiteral("Sommer"), kRegatta, choose));
    b.setClass(type, low);
    // The web page and the CSV file come with the PDF; there is no control of their own.
    for (const QString& suffix : {QStringLiteral("Html"), QStringLiteral("Csv")}) {
        QVERIFY(b.window->findChild<QWidget*>(pdfLabel + suffix) == nullptr);
    }
    QVERIFY(press(b.w<QWidget>(qPrintable(pdfLabel))));
    if (!error.isEmpty()) {
        QCOMPARE(b.f.prompts.errors.size(), 1);
        QVERIFY2(b.f.prompts.errors[0].contains(error), qPrintable(b.f.prompts.errors[0]));
        QCOMPARE(b.f.notifier.notices.size(), 0);
        QCOMPARE(QDir(b.f.folder.path() + QStringLiteral("/Reports")).entryList(QDir::Files), QStringList());
        return;
    }
    QCOMPARE(b.f.prompts.errors, QStringList());
    QCOMPARE(b.f.notifier.notices.size(), 1);

    const QStringList pdf = pdfRows(b.reports(stem + QStringLiteral(".pdf")));
    QVERIFY(pdf.size() >= 5);
    QStringList web;
    for (const QStringList& cells :
         htmlCells(QString::fromUtf8(readBytes(b.reports(stem + QStringLiteral(".html")))))) {
        web << cells.value(0) + u' ' + cells.value(1);
    }
    QCOMPARE(web, pdf);
    QStringList csv;
    for (const QStringList& fields : csvCells(b.reports(stem + QStringLiteral(".csv")))) {
        csv << fields.value(0) + u' ' + fields.value(1);
    }
    QCOMPARE(csv, pdf);
    QFile page(b.reports(stem + QStringLiteral(".html")));
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(page.readAll()).contains(caption + QStringLiteral(" - ")));
}

QTEST_MAIN(TestRaceEdit)
#include "tst_raceedit.moc"

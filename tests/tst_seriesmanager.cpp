#include "MainFixture.h"
#include "PdfRead.h"
#include "WebPage.h"
#include "desktop/AppSetup.h"
#include "series/SeriesPage.h"
#include "series/SeriesReport.h"
#include "series/SeriesStore.h"
#include "series/TSeriesManager.h"
#include "store/Clock.h"
#include "store/IniFile.h"
#include "store/Table.h"
#include "timing/Race.h"
#include "timing/Scoring.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTreeView>

using namespace wm;
using namespace wm::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// A series written straight to disk: boat b (from 1) is sail "S<b>", type "Jolle" for odd b, Yardstick 95 + b,
// race column k holds 10 * k + 1 and the total is b (so places follow b).
void writeSeries(const ProgramFolder& folder, const QString& name, int boats, int races) {
    const SeriesFiles files = seriesFiles(ProgramDir(folder.path()), name);
    createSeries(files);
    Table t;
    openSeries(t, files.tablePath);
    IniFile ini(files.settingsPath);
    for (int k = 1; k <= races; ++k) {
        t.addColumn({raceColumn(k), FieldType::Float});
        ini.writeString(kRacesSection, raceColumn(k), QStringLiteral("Lauf%1").arg(k));
    }
    ini.save();
    for (int b = 1; b <= boats; ++b) {
        QVariantMap row{{field::SEGELNR, QStringLiteral("S%1").arg(b)},
                        {field::BOOTSNAME, QStringLiteral("Boot%1").arg(b)},
                        {field::NAME, QStringLiteral("Name%1").arg(b)},
                        {field::TYP, b % 2 ? QStringLiteral("Jolle") : QStringLiteral("Kat")},
                        {field::YS, 95 + b},
                        {kPunkteTotal, b}};
        for (int k = 1; k <= races; ++k) {
            row.insert(raceColumn(k), 10 * k + 1);
        }
        t.insert(row);
    }
}

// A scored race of boats "A", "B", "C" in that order of corrected time.
void writeRace(const ProgramFolder& folder, const QString& name) {
    const QString path = folder.data(name + QStringLiteral(".db"));
    Table::create(path, raceFields(participantFields()));
    Table t;
    t.open(path);
    for (const char* sail : {"A", "B", "C"}) {
        const QString s = QString::fromLatin1(sail);
        t.insert({{field::SEGELNR, s},
                  {field::BOOTSNAME, QStringLiteral("Boot") + s},
                  {field::NAME, QStringLiteral("Name") + s},
                  {field::TYP, QStringLiteral("Laser")},
                  {field::YS, 100},
                  {field::START, 1},
                  {field::GZEIT, QStringLiteral("00:5%1:00").arg(s.at(0).unicode() - 'A')},
                  {field::BZEIT, QStringLiteral("00:5%1:00").arg(s.at(0).unicode() - 'A')},
                  {field::STATUS, QStringLiteral("1")}});
    }
    CalcPoints(t);
    writeFile(folder.data(name + QStringLiteral(".ini")), "[General]\nStarted=3\n");
}

// A scored race: each boat "A", "B", … with its corrected time or result code.
void writeRace(const ProgramFolder& folder, const QString& name, const QList<std::pair<QString, QString>>& entries) {
    const QString path = folder.data(name + QStringLiteral(".db"));
    Table::create(path, raceFields(participantFields()));
    Table t;
    t.open(path);
    for (const auto& [sail, time] : entries) {
        t.insert({{field::SEGELNR, sail},
                  {field::BOOTSNAME, QStringLiteral("Boot") + sail},
                  {field::NAME, QStringLiteral("Name") + sail},
                  {field::TYP, QStringLiteral("Laser")},
                  {field::YS, 100},
                  {field::START, 1},
                  {field::GZEIT, time},
                  {field::BZEIT, time},
                  {field::STATUS, isResultCode(time) ? QStringLiteral("2") : QStringLiteral("1")}});
    }
    CalcPoints(t);
    writeFile(folder.data(name + QStringLiteral(".ini")),
              QStringLiteral("[General]\nStarted=%1\n").arg(entries.size()).toUtf8());
}

// The lines of an exported CSV file after its byte order mark.
QStringList csvLines(const QString& path) {
    return QString::fromUtf8(fileBytes(path).mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// What a grid shows: the header, then each row, cells joined by blanks (hidden columns left out).
QStringList gridLines(const QTableView* grid) {
    const QAbstractItemModel* model = grid->model();
    QStringList lines;
    for (int r = -1; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) {
            if (!grid->isColumnHidden(c)) {
                cells << (r < 0 ? model->headerData(c, Qt::Horizontal).toString()
                                : model->index(r, c).data().toString());
            }
        }
        lines << cells.join(u' ');
    }
    return lines;
}

// The words of each page, line by line (top to bottom, each line left to right, joined by blanks).
QList<QStringList> pdfLines(const QString& path) {
    const PdfRead pdf = readPdfFile(path);
    QList<QMap<int, QMap<double, QString>>> lines(pdf.pages);
    for (const Word& word : pdf.words) {
        lines[word.page][int(word.box.y() / 3)][word.box.x()] = word.text;
    }
    QList<QStringList> pages;
    for (const auto& page : lines) {
        QStringList texts;
        for (const auto& words : page) {
            texts << words.values().join(u' ');
        }
        pages << texts;
    }
    return pages;
}

// Left edge and right edge of every word on the first page of a PDF.
QMap<QString, std::pair<double, double>> wordEdges(const QByteArray& bytes) {
    QMap<QString, std::pair<double, double>> edges;
    for (const Word& word : readPdfData(bytes).words) {
        if (word.page == 0) {
            edges.insert(word.text, {word.box.left(), word.box.right()});
        }
    }
    return edges;
}

QStringList strings(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts) {
        list << QString::fromUtf8(t);
    }
    return list;
}

QStringList words(const QStringList& lines) {
    return lines.join(u' ').split(u' ', Qt::SkipEmptyParts);
}

struct Window : WindowFixture<TSeriesManager, &RaceOffice::seriesManager> {
    // Clicks the series in the tree; true once it is the open series.
    bool choose(const QString& name) { return WindowFixture::choose(name) && window->seriesName() == name; }
    // Opens the race menu with "WF hinzufügen" and clicks the race's entry.
    bool append(const QString& race) {
        if (!press(w<QLabel>("Label4"))) {
            return false;
        }
        QMenu* menu = window->popAppend();
        const int at = int(window->raceMenu().indexOf(race));
        if (!menu->isVisible() || at < 0) {
            return false;
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(at)).center());
        return true;
    }
};

} // namespace

class TestSeriesManager : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*QCoreApplication::instance()); }

    void lists_treeDescendingMenuAscending();
    void pdf_raceTitlesAndTotalsWhereLaidOut();
    void pdf_data();
    void pdf();
    void printed_data();
    void printed();
    void window_createAppendExportDelete();
    void window_centredOverMainWindowBandAcrossWidth();
    void webAndCsv_sameRowsAsThePdf_data();
    void webAndCsv_sameRowsAsThePdf();
    void appendixA_setInTheDialogScoredShownAndExported();
};

void TestSeriesManager::lists_treeDescendingMenuAscending() {
    Window win;
    for (const char* s : {"B", "A", "C"}) {
        writeSeries(win.f.folder, QString::fromLatin1(s), 1, 0);
    }
    TSeriesManager& sm = win.open();
    QCOMPARE(sm.seriesList(), strings({"C", "B", "A"}));
    QVERIFY(!win.w<QLabel>("Label4")->isEnabled());
    QVERIFY(!win.w<QLabel>("Label2")->isEnabled());
    // A race stored after the window was first shown is offered at the next showing, "&" as typed.
    sm.hide();
    writeRace(win.f.folder, QStringLiteral("Lauf&2"));
    writeRace(win.f.folder, QStringLiteral("Lauf 1"));
    sm.show();
    QCOMPARE(sm.raceMenu(), strings({"Lauf 1", "Lauf&2"}));
    QCOMPARE(sm.popAppend()->actions().at(1)->text(), QStringLiteral("Lauf&&2"));
    QVERIFY(win.choose(QStringLiteral("B")));
    QVERIFY(win.w<QLabel>("Label4")->isEnabled());
    QVERIFY(win.w<QLabel>("Label2")->isEnabled());
    QCOMPARE(win.w<QComboBox>("ComboBox1")->currentText(), QStringLiteral("Jolle"));
}

void TestSeriesManager::pdf_raceTitlesAndTotalsWhereLaidOut() {
    wm::ManualClock clock(QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5)));
    wm::Result ranking;
    ranking.kind = wm::Result::Kind::Series;
    ranking.caption = u"Herbst"_s;
    ranking.races = 10;
    ranking.places = {u"1"_s};
    wm::ReportData& data = ranking.rows;
    QStringList row = {u"GER 7"_s, u"Boot"_s, u""_s, u""_s, u"Name"_s, u"1278"_s};
    for (int k = 1; k <= 10; ++k) {
        data.fields << u"R%1"_s.arg(k);
        row << QString::number(100 + k);
    }
    data.rows << row;
    const auto edges = wordEdges(wm::seriesPdf(ranking, clock));
    // The panels start at the left margin, 33 points; titles stand at their left edge like every other item.
    const double titleX[] = {400, 431, 462, 493, 524, 555, 586, 617, 648, 680};
    for (int k = 1; k <= 10; ++k) {
        const QString title = u"(%1)"_s.arg(k);
        QVERIFY2(edges.contains(title), qPrintable(QStringList(edges.keys()).join(u' ')));
        QVERIFY2(qAbs(edges[title].first - (33 + titleX[k - 1])) < 0.5,
                 qPrintable(u"%1 at %2"_s.arg(title).arg(edges[title].first)));
    }
    QVERIFY(edges.contains(u"1278"_s));
    QVERIFY(qAbs(edges[u"1278"_s].second - (33 + 763)) < 0.5);
}

void TestSeriesManager::pdf_data() {
    QTest::addColumn<int>("boats");
    QTest::addColumn<int>("races");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QList<int>>("placesPerPage"); // first and last place of each page
    QTest::addColumn<int>("lastTitle");

    QTest::newRow("19 boats run on to a second page") << 19 << 3 << "Label7"
                                                      << ""
                                                      << "Serie_Serie001.pdf"
                                                      << "Serie001" << QList<int>{1, 18, 19, 19} << 3;
    // Yardsticks 96 ... 115: the bounds 100 and 110 belong to the range.
    QTest::newRow("Yardstick range, both bounds included") << 20 << 2 << "Label6"
                                                           << ""
                                                           << "Serie_Serie001_100-110.pdf"
                                                           << "Serie001 (YS100-110)" << QList<int>{1, 11} << 2;
    QTest::newRow("one type") << 6 << 1 << "Label5"
                              << "Jolle"
                              << "Serie_Serie001_Jolle.pdf"
                              << "Serie001 (Jolle)" << QList<int>{1, 3} << 1;
    // Races 11 and 12 follow on pages of their own with every boat again.
    QTest::newRow("12 races in two blocks") << 3 << 12 << "Label7"
                                            << ""
                                            << "Serie_Serie001.pdf"
                                            << "Serie001" << QList<int>{1, 3, 1, 3} << 12;
}

void TestSeriesManager::pdf() {
    QFETCH(int, boats);
    QFETCH(int, races);
    QFETCH(QString, command);
    QFETCH(QString, type);
    QFETCH(QString, file);
    QFETCH(QString, header);
    QFETCH(QList<int>, placesPerPage);
    QFETCH(int, lastTitle);

    Window win;
    writeSeries(win.f.folder, QStringLiteral("Serie001"), boats, races);
    win.open();
    QVERIFY(win.choose(QStringLiteral("Serie001")));
    if (!type.isEmpty()) {
        win.w<QComboBox>("ComboBox1")->setCurrentText(type);
    }
    QVERIFY2(press(win.window->findChild<QWidget*>(command)), qPrintable(command));
    QCOMPARE(win.f.prompts.errors, QStringList());

    const QList<QStringList> pages = pdfLines(win.reports(file));
    QCOMPARE(pages.size() * 2, placesPerPage.size());
    QStringList titles;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const QStringList& lines = pages[p];
        QVERIFY2(lines.first().contains(header + QStringLiteral(" - 24.12.2024 18:10:05")), qPrintable(lines.first()));
        QStringList rows = lines.filter(QRegularExpression(QStringLiteral("^\\d+ S\\d+ ")));
        QCOMPARE(rows.first().section(u' ', 0, 0).toInt(), placesPerPage[2 * p]);
        QCOMPARE(rows.last().section(u' ', 0, 0).toInt(), placesPerPage[2 * p + 1]);
        titles << words(lines).filter(QRegularExpression(QStringLiteral("^\\(\\d+\\)$")));
        // Every race column of the page is filled: 10 * k + 1 for race k.
        const QStringList first = rows.first().split(u' ');
        for (const QString& t : words(lines).filter(QRegularExpression(QStringLiteral("^\\(\\d+\\)$")))) {
            const int k = t.mid(1, t.size() - 2).toInt();
            QVERIFY2(first.contains(QString::number(10 * k + 1)), qPrintable(rows.first()));
        }
    }
    QStringList expected;
    for (int k = 1; k <= lastTitle; ++k) {
        expected << QStringLiteral("(%1)").arg(k);
    }
    if (races > 10) {
        QCOMPARE(titles.mid(0, 10), expected.mid(0, 10));
        QCOMPARE(titles.mid(10 * pages.size() / 2), expected.mid(10));
    } else {
        titles.removeDuplicates();
        QCOMPARE(titles, expected);
    }
    QCOMPARE(win.f.notifier.notices.size(), 1);
    QCOMPARE(win.f.notifier.notices[0].text, QStringLiteral("Der Report der Serie '") + header +
                                                 QStringLiteral("' wurde exportiert:\r\r") +
                                                 QDir::toNativeSeparators(win.reports(file)));
}

void TestSeriesManager::printed_data() {
    QTest::addColumn<int>("racesBefore"); // 0: no report before
    QTest::addColumn<int>("races");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("warned");
    QTest::addColumn<bool>("appendixA");

    QTest::newRow("three races right after six") << 6 << 3 << "Label2" << 4 << false << false;
    QTest::newRow("eight races: message, seven columns") << 0 << 8 << "Label2" << 4 << true << false;
    // Types "Jolle" and "Kat" are gathered; a type the series lacks still prints headers and race list.
    QTest::newRow("type without boats") << 0 << 2 << "Label13" << 0 << false << false;
    // Races appended before their entries were kept count with the points they were given.
    QTest::newRow("Appendix A: ten columns") << 0 << 10 << "Label2" << 4 << false << true;
    QTest::newRow("Appendix A: eleven races, message") << 0 << 11 << "Label2" << 4 << true << true;
}

void TestSeriesManager::printed() {
    QFETCH(int, racesBefore);
    QFETCH(int, races);
    QFETCH(QString, command);
    QFETCH(int, rows);
    QFETCH(bool, warned);
    QFETCH(bool, appendixA);

    Window win;
    writeSeries(win.f.folder, QStringLiteral("Vorher"), 2, racesBefore);
    writeSeries(win.f.folder, QStringLiteral("Serie 'A'"), 4, races);
    if (appendixA) {
        IniFile ini(win.f.folder.path() + u"/data/Serien/Serie 'A'.ini"_s);
        ini.writeString(u"Wertung"_s, u"Regel"_s, u"AnhangA"_s);
        ini.save();
    }
    win.open();
    if (racesBefore > 0) {
        QVERIFY(win.choose(QStringLiteral("Vorher")));
        PRESS(*win.window, "Label2");
    }
    QVERIFY(win.choose(QStringLiteral("Serie 'A'")));
    if (command == QLatin1String("Label13")) {
        win.w<QComboBox>("ComboBox1")->setEditable(true);
        win.w<QComboBox>("ComboBox1")->setEditText(QStringLiteral("Pirat"));
    }
    QVERIFY2(press(win.window->findChild<QWidget*>(command)), qPrintable(command));
    QCOMPARE(win.f.prompts.errors, QStringList());
    QCOMPARE(win.f.prompts.messages.contains(appendixA ? kTooManyPlacedRacesMessage : kTooManyRacesMessage), warned);

    const QList<QStringList> pages = pdfLines(win.preview());
    QCOMPARE(pages.size(), 1);
    const QStringList& lines = pages[0];
    const QString header = lines.filter(QStringLiteral("Segelnummer")).value(0);
    QStringList shown;
    for (int k = 1; k <= 11; ++k) {
        if (header.split(u' ').contains(QString::number(k))) {
            shown << QString::number(k);
        }
    }
    const int columns = appendixA ? 10 : 7;
    QStringList expected;
    for (int k = 1; k <= std::min(races, columns); ++k) {
        expected << QString::number(k);
    }
    QCOMPARE(shown, expected);
    QCOMPARE(header.endsWith(u"Gesamt Netto"_s), appendixA);
    const QStringList details = lines.filter(QRegularExpression(QStringLiteral("^\\d+ S\\d+ ")));
    QCOMPARE(details.size(), rows);
    if (rows > 0) {
        // The last race of the paper prints (71, 101), the one after it never does.
        const int last = std::min(races, columns);
        QVERIFY(details[0].contains(u" %1 "_s.arg(10 * last + 1)));
        QVERIFY(!details[0].contains(u" %1 "_s.arg(10 * (columns + 1) + 1)));
    }
    QStringList raceList;
    for (int k = 1; k <= races; ++k) {
        raceList << QStringLiteral("WF %1: Lauf%1").arg(k);
    }
    QVERIFY2(lines.last().contains(raceList.join(QStringLiteral(" | "))), qPrintable(lines.last()));
}

void TestSeriesManager::window_createAppendExportDelete() {
    Window win;
    for (const char* r : {"WF-1", "WF-2", "WF-3"}) {
        writeRace(win.f.folder, QString::fromLatin1(r));
    }
    writeFile(win.f.folder.data(QStringLiteral("kaputt.db")), "no table");
    TSeriesManager& sm = win.open();

    const QString name = QStringLiteral("Herbst 'Cup");
    win.f.prompts.inputs.push_back(name);
    PRESS(*win.window, "Label3");
    QCOMPARE(win.f.prompts.inputPrompts, QStringList{QStringLiteral("Name für neue Serie [Serie001]")});
    QCOMPARE(sm.seriesList(), QStringList{name});
    QCOMPARE(sm.seriesName(), name);
    for (const char* input : {"ComboBox1", "Edit1", "UpDown1", "Edit2", "UpDown2", "Label2"}) {
        QVERIFY2(win.w<QWidget>(input)->isEnabled(), input);
    }
    for (const char* r : {"WF-1", "WF-3", "WF-2"}) {
        QVERIFY(win.append(QString::fromLatin1(r)));
    }
    QCOMPARE(win.f.prompts.errors, QStringList());
    QCOMPARE(win.w<QPlainTextEdit>("WFList")->toPlainText(), QStringLiteral("WF 1:  WF-1\nWF 2:  WF-3\nWF 3:  WF-2"));
    auto* grid = win.w<QTableView>("DBGrid1");
    QCOMPARE(grid->model()->headerData(8, Qt::Horizontal).toString(), QStringLiteral("R3"));
    QVERIFY(grid->isColumnHidden(2) && grid->isColumnHidden(3));
    QCOMPARE(grid->model()->rowCount(), 3);

    // A race that cannot be opened leaves the series as it was.
    QVERIFY(win.append(QStringLiteral("kaputt")));
    QCOMPARE(win.f.prompts.errors.size(), 1);
    QVERIFY(win.f.prompts.errors[0].startsWith(QStringLiteral("Fehler")));
    QCOMPARE(grid->model()->columnCount(), 9);

    // Creating it again asks first; "Nein" keeps every race.
    win.f.prompts.inputs.push_back(name);
    PRESS(*win.window, "Label3");
    QCOMPARE(win.f.prompts.asked.size(), 1);
    QCOMPARE(grid->model()->columnCount(), 9);

    PRESS(*win.window, "Label7");
    QVERIFY(QFile::exists(win.reports(QStringLiteral("Serie_Herbst 'Cup.pdf"))));
    const QList<QStringList> pages = pdfLines(win.reports(QStringLiteral("Serie_Herbst 'Cup.pdf")));
    QCOMPARE(pages.value(0).filter(QRegularExpression(QStringLiteral("^\\d+ [ABC] "))),
             strings({"1 A BootA NameA 1 1 1 3", "2 B BootB NameB 2 2 2 6", "3 C BootC NameC 3 3 3 9"}));

    win.f.prompts.answers.push_back(true);
    PRESS(*win.window, "Button3");
    QCOMPARE(sm.seriesList(), QStringList());
    QCOMPARE(grid->model()->rowCount(), 0);
    QCOMPARE(win.w<QPlainTextEdit>("WFList")->toPlainText(), QString());
    QVERIFY(!win.w<QLabel>("Label2")->isEnabled());
    QVERIFY(!win.w<QLabel>("Label4")->isEnabled());
    // The type and range wait for a series; the other report commands stay and say why not.
    for (const char* input : {"ComboBox1", "Edit1", "UpDown1", "Edit2", "UpDown2"}) {
        QVERIFY2(!win.w<QWidget>(input)->isEnabled(), input);
    }
    QVERIFY(win.w<QLabel>("Label13")->isEnabled() && win.w<QLabel>("Label7")->isEnabled());
    QVERIFY(QFile::exists(win.f.folder.path() + QStringLiteral("/data/Serien/Herbst 'Cup.ini")));
    PRESS(*win.window, "Label1");
    QVERIFY(!sm.isVisible());
}

void TestSeriesManager::window_centredOverMainWindowBandAcrossWidth() {
    Window win;
    win.open();
    const QPoint centre = win.centreWithMainAside();
    // Within the few pixels of a window frame.
    const QPoint off = centre - win.f.app->main().frameGeometry().center();
    QVERIFY2(off.manhattanLength() <= 4, qPrintable(QStringLiteral("%1, %2").arg(off.x()).arg(off.y())));
    QCOMPARE(win.bandWidthAt(1000), 1000);
}

void TestSeriesManager::webAndCsv_sameRowsAsThePdf_data() {
    QTest::addColumn<int>("boats");
    QTest::addColumn<int>("races");
    QTest::addColumn<QString>("pdfLabel");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("stem");  // file name without extension, as the PDF's
    QTest::addColumn<QString>("error"); // refused: nothing is written

    QTest::newRow("whole series over two PDF pages") << 19 << 3 << "Label7"
                                                     << ""
                                                     << "Serie_Serie001"
                                                     << "";
    QTest::newRow("Yardstick range") << 20 << 2 << "Label6"
                                     << ""
                                     << "Serie_Serie001_100-110"
                                     << "";
    QTest::newRow("one type, ten races") << 6 << 10 << "Label5"
                                         << "Jolle"
                                         << "Serie_Serie001_Jolle"
                                         << "";
    QTest::newRow("type without boats") << 4 << 1 << "Label5"
                                        << "Folkeboot"
                                        << ""
                                        << "kein Boot vom Typ 'Folkeboot'";
    QTest::newRow("series without boats") << 0 << 1 << "Label7"
                                          << ""
                                          << ""
                                          << "noch keine Boote";
}

void TestSeriesManager::webAndCsv_sameRowsAsThePdf() {
    QFETCH(int, boats);
    QFETCH(int, races);
    QFETCH(QString, pdfLabel);
    QFETCH(QString, type);
    QFETCH(QString, stem);
    QFETCH(QString, error);

    Window win;
    writeSeries(win.f.folder, QStringLiteral("Serie001"), boats, races);
    win.open();
    QVERIFY(win.choose(QStringLiteral("Serie001")));
    if (!type.isEmpty()) {
        win.w<QComboBox>("ComboBox1")->setEditable(true);
        win.w<QComboBox>("ComboBox1")->setEditText(type);
    }
    // The web page and the CSV file come with the PDF; there is no control of their own.
    for (const QString& suffix : {QStringLiteral("Html"), QStringLiteral("Csv")}) {
        QVERIFY(win.window->findChild<QWidget*>(pdfLabel + suffix) == nullptr);
    }
    QVERIFY(press(win.window->findChild<QWidget*>(pdfLabel)));
    if (!error.isEmpty()) {
        QCOMPARE(win.f.prompts.errors.size(), 1);
        QVERIFY2(win.f.prompts.errors[0].contains(error) &&
                     win.f.prompts.errors[0].contains(QStringLiteral("Es wurde kein PDF geschrieben.")),
                 qPrintable(win.f.prompts.errors[0]));
        QCOMPARE(win.f.notifier.notices.size(), 0);
        QCOMPARE(QDir(win.f.folder.path() + QStringLiteral("/Reports")).entryList(QDir::Files), QStringList());
        return;
    }
    QCOMPARE(win.f.prompts.errors, QStringList());
    QCOMPARE(win.f.notifier.notices.size(), 1);
    QCOMPARE(win.f.notifier.notices[0].text.section(u':', -1).trimmed(),
             QDir::toNativeSeparators(win.reports(stem + QStringLiteral(".pdf"))));

    // Place, sail number, boat, helmsman, the race points, total: line by line as the PDF shows them.
    QStringList pdf;
    for (const QStringList& lines : pdfLines(win.reports(stem + QStringLiteral(".pdf")))) {
        pdf << lines.filter(QRegularExpression(QStringLiteral("^\\d+ S\\d+ ")));
        // The series rules stand on every page, above the footer line.
        QVERIFY2(lines.contains(kSeriesRules), qPrintable(lines.join(u'\n')));
    }
    QVERIFY(pdf.size() >= 3);
    const QString html = QString::fromUtf8(readBytes(win.reports(stem + QStringLiteral(".html"))));
    QStringList web;
    for (const QStringList& cells : htmlCells(html)) {
        QCOMPARE(cells.size(), 5 + races);
        web << cells.join(u' ');
    }
    QCOMPARE(web, pdf);
    QVERIFY(html.contains(kSeriesRules));
    const QByteArray csvBytes = readBytes(win.reports(stem + QStringLiteral(".csv")));
    QVERIFY(csvBytes.startsWith("\xEF\xBB\xBF"));
    QStringList csvLines = QString::fromUtf8(csvBytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(csvLines.value(0).split(u';').size(), 5 + races);
    QVERIFY(csvLines.value(0).startsWith(QStringLiteral("Platz;Segelnummer;Bootsname;Name;WF 1;")));
    QStringList csv;
    for (qsizetype i = 1; i < csvLines.size(); ++i) {
        csv << csvLines[i].split(u';').join(u' ');
    }
    QCOMPARE(csv, pdf);
}

void TestSeriesManager::appendixA_setInTheDialogScoredShownAndExported() {
    Window win;
    // Four boats: a DNF, a tie in races 2 and 3, A misses race 3, B is DNE in race 4.
    writeRace(win.f.folder, u"WF-1"_s,
              {{u"A"_s, u"00:50:00"_s}, {u"B"_s, u"00:51:00"_s}, {u"C"_s, u"00:52:00"_s}, {u"D"_s, u"DNF"_s}});
    writeRace(win.f.folder, u"WF-2"_s,
              {{u"A"_s, u"00:52:00"_s}, {u"B"_s, u"00:50:00"_s}, {u"C"_s, u"00:50:00"_s}, {u"D"_s, u"00:53:00"_s}});
    writeRace(win.f.folder, u"WF-3"_s, {{u"B"_s, u"00:50:00"_s}, {u"C"_s, u"00:50:00"_s}, {u"D"_s, u"00:52:00"_s}});
    writeRace(win.f.folder, u"WF-4"_s,
              {{u"A"_s, u"00:50:00"_s}, {u"B"_s, u"DNE"_s}, {u"C"_s, u"00:51:00"_s}, {u"D"_s, u"00:52:00"_s}});
    win.open();
    win.f.prompts.inputs.push_back(u"Herbst"_s);
    PRESS(*win.window, "Label3");
    auto* rulesLine = win.w<QLabel>("lblWertung");
    QCOMPARE(rulesLine->text(), u"Wertung: Summe der Wettfahrtpunkte"_s);

    // A step that cannot be stored is said in the dialog, which stays; then one discard from the fourth race.
    onNextDialog([](QDialog& dialog) {
        QTest::keyClick(dialog.findChild<QComboBox*>(u"cboRegel"_s), Qt::Key_Down);
        QVERIFY(press(dialog.findChild<QWidget*>(u"optStufen"_s)));
        auto* from = dialog.findChild<QSpinBox*>(u"spnAb1"_s);
        auto* count = dialog.findChild<QSpinBox*>(u"spnAnz1"_s);
        from->selectAll();
        QTest::keyClicks(from, u"2"_s);
        count->selectAll();
        QTest::keyClicks(count, u"2"_s);
        QVERIFY(press(dialog.findChild<QWidget*>(u"cmdOK"_s)));
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.findChild<QLabel*>(u"lblHinweis"_s)->text().isEmpty());
        from->selectAll();
        QTest::keyClicks(from, u"4"_s);
        count->selectAll();
        QTest::keyClicks(count, u"1"_s);
        QVERIFY(press(dialog.findChild<QWidget*>(u"cmdOK"_s)));
        QVERIFY(!dialog.isVisible());
    });
    PRESS(*win.window, "LabelWertung");
    const QString settings = win.f.folder.path() + u"/data/Serien/Herbst.ini"_s;
    QCOMPARE(IniFile(settings).readString(u"Wertung"_s, u"Streicher"_s, {}), u"4:1"_s);
    QCOMPARE(rulesLine->text(), u"Wertung: Wettfahrtordnung Anhang A · nicht gesegelt/DNF/…: Gemeldete der Serie + 1 · "
                                u"ab 4 WF 1 Streicher · Gleichstand nach A8"_s);

    for (const char* race : {"WF-1", "WF-2", "WF-3", "WF-4"}) {
        QVERIFY(win.append(QString::fromLatin1(race)));
    }
    QCOMPARE(win.f.prompts.errors, QStringList());
    // Worked by hand: codes score 4 boats + 1 = 5; one discard, never B's DNE; A and C tie on 5, A8.1 puts
    // A (1, 1, 3) before C (1,5, 1,5, 2). Total and race columns keep their documented points (ties by order).
    const QTableView* grid = win.w<QTableView>("DBGrid1");
    QCOMPARE(gridLines(grid), QStringList({u"Platz Segelnr. Bootsname Name Gesamt Netto R1 R2 R3 R4"_s,
                                           u"1 A BootA NameA 9 5 1 3 4 1"_s, u"2 C BootC NameC 9 5 3 2 2 2"_s,
                                           u"3 B BootB NameB 8 8 2 1 1 4"_s, u"4 D BootD NameD 14 10 4 4 3 3"_s}));

    PRESS(*win.window, "Label7");
    QCOMPARE(csvLines(win.reports(u"Serie_Herbst.csv"_s)),
             QStringList({u"Platz;Segelnummer;Bootsname;Name;WF 1;WF 2;WF 3;WF 4;Gesamt;Netto"_s,
                          u"1;A;BootA;NameA;1;3;(5 DNC);1;10;5"_s, u"2;C;BootC;NameC;(3);1,5;1,5;2;8;5"_s,
                          u"3;B;BootB;NameB;(2);1,5;1,5;5 DNE;10;8"_s, u"4;D;BootD;NameD;(5 DNF);4;3;3;15;10"_s}));
    const QStringList page = pdfLines(win.reports(u"Serie_Herbst.pdf"_s)).value(0);
    QVERIFY2(page.contains(u"2 C BootC NameC (3) 1,5 1,5 2 8 5"_s), qPrintable(page.join(u'\n')));

    // Back to the sum: the documented grid and file.
    onNextDialog([](QDialog& dialog) {
        QTest::keyClick(dialog.findChild<QComboBox*>(u"cboRegel"_s), Qt::Key_Up);
        QVERIFY(press(dialog.findChild<QWidget*>(u"cmdOK"_s)));
    });
    PRESS(*win.window, "LabelWertung");
    QCOMPARE(gridLines(grid).value(0), u"Segelnr. Bootsname Name Gesamt R1 R2 R3 R4"_s);
    PRESS(*win.window, "Label7");
    QCOMPARE(csvLines(win.reports(u"Serie_Herbst.csv"_s)).value(0),
             u"Platz;Segelnummer;Bootsname;Name;WF 1;WF 2;WF 3;WF 4;Gesamt"_s);
}

QTEST_MAIN(TestSeriesManager)
#include "tst_seriesmanager.moc"

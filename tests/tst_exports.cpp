#include "MainFixture.h"
#include "PdfRead.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "participants/CsvImport.h"
#include "participants/ParticipantRegister.h"
#include "reports/CsvExport.h"
#include "reports/HtmlExport.h"
#include "reports/RaceExport.h"
#include "reports/RacePage.h"
#include "reports/ResultPage.h"
#include "store/Table.h"
#include "timing/Race.h"

#include <QDialog>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <utility>

using namespace Qt::Literals::StringLiterals;
using namespace wm;
using namespace wm::test;

namespace {

const QString kChromium = u"/usr/bin/chromium"_s;

// A scored race of `count` boats as the result query gives it; the last two did not finish and were
// disqualified, and one boat's name needs escaping.
ReportData raceRows(int count) {
    ReportData data;
    data.fields = wm::test::kRaceFieldNames;
    for (int i = 1; i <= count; ++i) {
        const bool dnf = i == count - 1;
        const bool dsq = i == count;
        const QString boat = i == 2 ? u"<b>&Co"_s : i == 3 ? u"Möwe Süß"_s : u"Boot%1"_s.arg(i);
        const QString time = dnf ? u"DNF"_s : dsq ? u"DSQ"_s : u"00:%1:10"_s.arg(30 + i % 30, 2, 10, QChar(u'0'));
        data.rows << QStringList{u"GER %1"_s.arg(i),
                                 boat,
                                 u"Jörg%1"_s.arg(i),
                                 u"Laser"_s,
                                 u"112,5"_s,
                                 u"1"_s,
                                 time,
                                 time,
                                 u"2"_s,
                                 QString::number(dnf || dsq ? count : i)};
    }
    return data;
}

// The rows of a result PDF as words left to right, one string per row of the grid.
QStringList pdfRows(const PdfRead& pdf) {
    const double gridTop = resultpage::kHeaderTop + resultpage::kHeaderHeight + resultpage::kColumnHeaderHeight;
    const double footerTop = resultpage::kHeight - resultpage::kMarginBottom - 1 - resultpage::kFooterHeight;
    return pdf.lines(gridTop, footerTop);
}

QString unescaped(QString html) {
    html.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s);
    return html.replace(u"&#39;"_s, u"'"_s).replace(u"&amp;"_s, u"&"_s);
}

// The body rows of the page's table, non-empty cells joined by blanks, as a reader sees them.
QStringList htmlRows(const QString& html) {
    static const QRegularExpression row(u"<tr>(.*?)</tr>"_s);
    static const QRegularExpression cell(u"<td[^>]*>(.*?)</td>"_s);
    QStringList rows;
    const QString body = html.section(u"<tbody>"_s, 1).section(u"</tbody>"_s, 0, 0);
    for (const QRegularExpressionMatch& r : row.globalMatch(body)) {
        QStringList texts;
        for (const QRegularExpressionMatch& c : cell.globalMatch(r.captured(1))) {
            if (!c.captured(1).isEmpty()) {
                texts << unescaped(c.captured(1));
            }
        }
        rows << texts.join(u' ');
    }
    return rows;
}

// A boat list as a spreadsheet saves it in Windows-1252: mixed-case headers in another order, an unknown
// column, a quoted field holding the separator, an empty line, duplicates and bad values.
QByteArray messyFile() {
    const QString text = u"\"SegelNr.\";NAME;bootsname;Typ;ys;START;Bemerkung\r\n"
                         "GER 7;Jörg;Möwe;Laser;113;1;neu\r\n"
                         "GER 8;Anke;\"Wind; Welle\";Folkeboot;\"105,5\";2;\r\n"
                         "\r\n"
                         "GER 2;Tim;Kleiner Wal;Europe;115;1;\r\n"
                         "GER 9;Uwe;Blitz;Pirat;abc;1;\r\n"
                         "GER 10;Eva;Flaute;Jolle;;1;\r\n"
                         "GER 11;Ida;Sturm;Jolle;100;7;\r\n"
                         "GER 12;Ole;Ein Bootsname, der länger als dreißig Zeichen ist;Jolle;100;1;\r\n"
                         "GER 7;Jörg;Möwe;Laser;113;1;doppelt\r\n"_s;
    QByteArray bytes = text.toLatin1();
    return bytes;
}

} // namespace

class TestExports : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(*QCoreApplication::instance()); }
    void html_selfContainedEscapedGerman();
    void html_rowsAndPlacesEqualThePdf_data();
    void html_rowsAndPlacesEqualThePdf();
    void csv_roundTripThroughAnotherReader();
    void csvField_quotesWhatWouldSplit_data();
    void csvField_quotesWhatWouldSplit();
    void import_messyFile_verdicts_data();
    void import_messyFile_verdicts();
    void import_preview_cancelWritesNothing_confirmAddsInOneGo();
    void mainWindow_exportButtons();
    void html_inChromium_showsTheTable();
};

void TestExports::html_selfContainedEscapedGerman() {
    const QByteArray bytes = htmlPage(
        raceHtml(raceResult(raceRows(4), u"Abend's <Cup>"_s, true), QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5))));
    const QString html = QString::fromUtf8(bytes);
    QVERIFY(html.startsWith(u"<!DOCTYPE html>"_s));
    QVERIFY(html.contains(u"<html lang=\"de\">"_s) && html.contains(u"<meta charset=\"utf-8\">"_s));
    QVERIFY(html.contains(u"<th class=\"r\">Platz</th>"_s) && html.contains(u"<th>Ber.Zeit</th>"_s));
    // Typed text shows as typed: no markup of its own, umlauts as UTF-8.
    QVERIFY(html.contains(u"<td>&lt;b&gt;&amp;Co</td>"_s));
    QVERIFY(!html.contains(u"<b>&Co"_s));
    QVERIFY(html.contains(u"<h1>Abend&#39;s &lt;Cup&gt; - 24.12.2024 18:10:05</h1>"_s));
    QVERIFY(bytes.contains("M\xC3\xB6we S\xC3\xBC\xC3\x9F"));
    QVERIFY(html.contains(u"<p>"_s + htmlEscaped(kRaceRules) + u"</p>"_s));
    // Nothing runs and nothing is fetched from elsewhere.
    for (const QString& outside : {u"<script"_s, u"src="_s, u"href="_s, u"url("_s, u"@import"_s}) {
        QVERIFY2(!html.contains(outside, Qt::CaseInsensitive), qPrintable(outside));
    }
}

void TestExports::html_rowsAndPlacesEqualThePdf_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("pointsAsPlace");
    QTest::newRow("one page, points") << 5 << true;
    QTest::newRow("two pages, points") << 25 << true;
    QTest::newRow("class result, running numbers") << 7 << false;
}

void TestExports::html_rowsAndPlacesEqualThePdf() {
    QFETCH(int, count);
    QFETCH(bool, pointsAsPlace);
    const Result result = raceResult(raceRows(count), u"Abend"_s, pointsAsPlace);
    ManualClock clock(QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5)));
    const PdfRead read = readPdfData(racePdf(result, clock));
    const QStringList pdf = pdfRows(read);
    // The rules line in the footer of every page, × and · intact in the PDF's code page.
    for (const QString& page : read.pageTexts) {
        QVERIFY(page.contains(u"Zeit × 100 / Yardstick"_s));
        QVERIFY(page.contains(u"abgeschnitten · gleiche"_s));
    }
    const QStringList html = htmlRows(QString::fromUtf8(htmlPage(raceHtml(result, clock.now()))));
    QCOMPARE(html.size(), count);
    QCOMPARE(html, pdf);
    QVERIFY2(html.last().startsWith(pointsAsPlace ? u"%1 GER"_s.arg(count) : u"%1 GER"_s.arg(count)),
             qPrintable(html.last()));
    QVERIFY(html[1].contains(u"<b>&Co"_s));
}

void TestExports::csv_roundTripThroughAnotherReader() {
    const QString python = QStandardPaths::findExecutable(u"python3"_s);
    if (python.isEmpty()) {
        QSKIP("python3 is not installed");
    }
    const Result results = raceResult(raceRows(6), u"Abend"_s, true);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Abend.csv"_s);
    const QByteArray bytes = raceCsv(results);
    writeFile(path, bytes);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.contains("Platz;Segelnummer;Bootsname;Name;Typ;Yardstick;Start;Gesegelte Zeit;Berechnete "
                           "Zeit;Punkte;Code\r\n"));

    QProcess reader;
    reader.start(python, {u"-c"_s,
                          u"import csv,json,sys\n"
                          "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                          "    print(json.dumps(list(csv.reader(f, delimiter=';'))))"_s,
                          path});
    QVERIFY(reader.waitForFinished(10000));
    const QJsonArray read = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
    QCOMPARE(read.size(), results.rows.rows.size() + 1);
    QList<QStringList> rows;
    for (qsizetype r = 1; r < read.size(); ++r) {
        QStringList fields;
        for (const QJsonValue& v : read[r].toArray()) {
            fields << v.toString();
        }
        rows << fields;
    }
    QCOMPARE(rows, raceCsvRows(results));
    // A finisher: times, no code; the boat that did not finish: code, no times, the entries as place.
    QCOMPARE(rows[0], (QStringList{u"1"_s, u"GER 1"_s, u"Boot1"_s, u"Jörg1"_s, u"Laser"_s, u"112,5"_s, u"1"_s,
                                   u"00:31:10"_s, u"00:31:10"_s, u"1"_s, QString()}));
    QCOMPARE(rows[4], (QStringList{u"6"_s, u"GER 5"_s, u"Boot5"_s, u"Jörg5"_s, u"Laser"_s, u"112,5"_s, u"1"_s,
                                   QString(), QString(), u"6"_s, u"DNF"_s}));
    QCOMPARE(rows[1][2], u"<b>&Co"_s);
}

void TestExports::csvField_quotesWhatWouldSplit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << u"Möwe"_s << u"Möwe"_s;
    QTest::newRow("separator") << u"Wind; Welle"_s << u"\"Wind; Welle\""_s;
    QTest::newRow("quote") << u"Die \"Alte\""_s << u"\"Die \"\"Alte\"\"\""_s;
    QTest::newRow("line break") << u"a\nb"_s << u"\"a\nb\""_s;
    QTest::newRow("leading blank") << u" X"_s << u"\" X\""_s;
    QTest::newRow("comma stays") << u"112,5"_s << u"112,5"_s;
}

void TestExports::csvField_quotesWhatWouldSplit() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(csvField(text), field);
    // What is written reads back as the same text.
    const QList<CsvRecord> back = parseCsv(u"a;b\r\n"_s + csvField(text) + u";x\r\n"_s);
    QCOMPARE(back.size(), 2);
    QCOMPARE(back[1].fields,
             (QStringList{text.trimmed() == text || field.startsWith(u'"') ? text : text.trimmed(), u"x"_s}));
}

void TestExports::import_messyFile_verdicts_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("sail");
    QTest::addColumn<QString>("boatName");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("umlauts from Windows-1252") << 0 << 2 << u"GER 7"_s << u"Möwe"_s << u"wird hinzugefügt"_s;
    QTest::newRow("quoted separator, decimal comma")
        << 1 << 3 << u"GER 8"_s << u"Wind; Welle"_s << u"wird hinzugefügt"_s;
    QTest::newRow("in the register (empty line skipped)")
        << 2 << 5 << u"GER 2"_s << u"Kleiner Wal"_s << u"übersprungen: Boot schon vorhanden"_s;
    QTest::newRow("Yardstick no number") << 3 << 6 << u"GER 9"_s << u"Blitz"_s
                                         << u"abgelehnt: Yardstick 'abc' ist keine Zahl"_s;
    QTest::newRow("no Yardstick") << 4 << 7 << u"GER 10"_s << u"Flaute"_s << u"abgelehnt: keine Yardstick-Zahl"_s;
    QTest::newRow("start group") << 5 << 8 << u"GER 11"_s << u"Sturm"_s
                                 << u"abgelehnt: Startgruppe '7' liegt nicht zwischen 1 und 5"_s;
    QTest::newRow("too long") << 6 << 9 << u"GER 12"_s << u"Ein Bootsname, der länger als dreißig Zeichen ist"_s
                              << u"abgelehnt: Bootsname ist länger als 30 Zeichen"_s;
    QTest::newRow("twice in the file") << 7 << 10 << u"GER 7"_s << u"Möwe"_s << u"übersprungen: Boot schon vorhanden"_s;
}

void TestExports::import_messyFile_verdicts() {
    QFETCH(int, index);
    QFETCH(int, line);
    QFETCH(QString, sail);
    QFETCH(QString, boatName);
    QFETCH(QString, verdict);
    ProgramFolder folder;
    folder.writeParticipants(folder.starter(), exampleFleet().mid(0, 3));
    Table participants;
    participants.open(folder.starter());
    const QList<ImportRow> rows = planImport(messyFile(), participants);
    QCOMPARE(rows.size(), 8);
    const ImportRow& row = rows[index];
    QCOMPARE(row.line, line);
    QCOMPARE(row.texts.value(0), sail);
    QCOMPARE(row.texts.value(1), boatName);
    QCOMPARE(row.verdictText, verdict);
    QCOMPARE(row.verdict == ImportRow::Verdict::Add, verdict.startsWith(u"wird"_s));
}

void TestExports::import_preview_cancelWritesNothing_confirmAddsInOneGo() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet().mid(0, 3));
    const QString file = f.folder.path() + u"/Boote.csv"_s;
    writeFile(file, messyFile());
    TMain& main = f.start().main();
    Table& table = main.participants().table();

    QStringList verdicts;
    auto answer = [&](const char* button) {
        onNextDialog([&verdicts, button](QDialog& preview) {
            QCOMPARE(preview.objectName(), u"TImportPreview"_s);
            auto* grid = preview.findChild<QTableWidget*>(u"DBGrid1"_s);
            verdicts.clear();
            for (int r = 0; r < grid->rowCount(); ++r) {
                verdicts << grid->item(r, grid->columnCount() - 1)->text();
            }
            QVERIFY(press(preview.findChild<QPushButton*>(QString::fromLatin1(button))));
        });
    };

    f.prompts.fileNames = {file};
    answer("cmdCancel");
    PRESS(main, "cmdImportSID");
    QCOMPARE(verdicts.size(), 8);
    QCOMPARE(table.count(), 3);

    f.prompts.fileNames = {file};
    answer("cmdImport");
    PRESS(main, "cmdImportSID");
    QVERIFY2(f.prompts.errors.isEmpty(), qPrintable(f.prompts.errors.join(u'|')));
    QCOMPARE(verdicts.count(u"wird hinzugefügt"_s), 2);
    QCOMPARE(table.count(), 5);
    const QList<Table::Row> added = table.select(Filter::equals(field::SEGELNR, u"GER 8"_s));
    QCOMPARE(added.size(), 1);
    QCOMPARE(added[0].values.value(table.fieldIndex(field::BOOTSNAME)).toString(), u"Wind; Welle"_s);
    QCOMPARE(added[0].values.value(table.fieldIndex(field::YS)).toDouble(), 105.5);
    QCOMPARE(added[0].values.value(table.fieldIndex(field::START)).toInt(), 2);
    QCOMPARE(table.select(Filter::equals(field::NAME, u"Jörg"_s)).size(), 1);
    // The new boats can be entered at once.
    QCOMPARE(main.participants().model().count(), 5);

    // While a race is open the register is read only: no import.
    f.prompts.inputs = {u"Abend"_s};
    PRESS(main, "Label22");
    QVERIFY(!widget<QToolButton>(main, "cmdImportSID")->isEnabled());
}

void TestExports::mainWindow_exportButtons() {
    MainFixture f;
    f.folder.writeParticipants(f.folder.starter(), exampleFleet().mid(0, 3));
    TMain& main = f.start().main();
    // The web page and the CSV file come with the PDF; there is no button of their own.
    QVERIFY(widget<QPushButton>(main, "cmdReportHTML") == nullptr);
    QVERIFY(widget<QPushButton>(main, "cmdReportCSV") == nullptr);
    raceToTheEnd(f, main);
    f.notifier.notices.clear();
    PRESS(main, "cmdReportPDF");
    QVERIFY2(f.prompts.errors.isEmpty(), qPrintable(f.prompts.errors.join(u'|')));
    const QString html = f.folder.path() + u"/Reports/Abend.html"_s;
    const QString csv = f.folder.path() + u"/Reports/Abend.csv"_s;
    QCOMPARE(f.notifier.notices.size(), 1);
    QVERIFY(f.notifier.notices[0].text.endsWith(QDir::toNativeSeparators(f.folder.path() + u"/Reports/Abend.pdf"_s)));
    const QStringList rows = htmlRows(readFile(html));
    QCOMPARE(rows.size(), 3);
    QVERIFY2(rows[2].startsWith(u"3 "_s) && rows[2].endsWith(u"DNF DNF"_s), qPrintable(rows[2]));
    const QString text = readFile(csv);
    QVERIFY(text.contains(u";DNF\r\n"_s));
    QCOMPARE(text.count(u"\r\n"_s), 4);
}

void TestExports::html_inChromium_showsTheTable() {
    if (!QFile::exists(kChromium)) {
        QSKIP("Chromium is not installed (make test installs it)");
    }
    QTemporaryDir dir;
    const QString page = dir.filePath(u"Abend.html"_s);
    writeFile(page, htmlPage(raceHtml(raceResult(raceRows(12), u"Abend"_s, true),
                                      QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5)))));
    auto run = [&](const QStringList& extra) {
        QProcess chromium;
        chromium.start(kChromium, QStringList{u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s,
                                              u"--disable-quic"_s, u"--no-first-run"_s,
                                              u"--disable-background-networking"_s, u"--disable-component-update"_s,
                                              u"--disable-sync"_s, u"--user-data-dir="_s + dir.filePath(u"profile"_s)} +
                                      extra + QStringList{QUrl::fromLocalFile(page).toString()});
        chromium.waitForFinished(60000);
        return QString::fromUtf8(chromium.readAllStandardOutput());
    };
    const QString dom = run({u"--dump-dom"_s});
    QVERIFY2(dom.contains(u"<table>"_s), qPrintable(dom.left(300)));
    const QStringList rows = htmlRows(dom);
    QCOMPARE(rows.size(), 12);
    QVERIFY2(rows[1].contains(u"<b>&Co"_s) && rows[2].contains(u"Möwe Süß"_s), qPrintable(rows.join(u'\n')));
    // Screenshots at phone and desktop width, kept when WM_SCREENSHOTS names a folder to look at them.
    const QString shots = qEnvironmentVariable("WM_SCREENSHOTS", dir.path());
    for (const auto& [name, size] : {std::pair{u"phone"_s, u"390,844"_s}, std::pair{u"desktop"_s, u"1280,900"_s}}) {
        const QString png = shots + u"/result-"_s + name + u".png"_s;
        run({u"--screenshot="_s + png, u"--window-size="_s + size, u"--hide-scrollbars"_s});
        QVERIFY2(QFileInfo(png).size() > 1000, qPrintable(png));
    }
}

QTEST_MAIN(TestExports)
#include "tst_exports.moc"

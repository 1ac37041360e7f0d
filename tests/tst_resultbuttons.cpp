#include "PdfRead.h"
#include "TestSupport.h"
#include "app/ResultButtons.h"
#include "desktop/AppSetup.h"
#include "reports/TReport.h"
#include "store/Clock.h"
#include "timing/Race.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTest>

// The main window's result buttons over a race on disk: what a user gets from "Report", "PDF" and the
// participant list.

using namespace Qt::Literals::StringLiterals;
using wm::test::kMmPerPoint;
using wm::test::near;
using wm::test::PdfRead;
using wm::test::readPdfFile;
using wm::test::Word;

namespace {

// A race table on disk as the main window holds it after scoring: finishers, then one DNF and one DSQ.
struct RaceRig {
    wm::test::ProgramFolder folder;
    wm::ManualClock clock{QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5))};
    wm::test::ScriptedPrompts prompts;
    wm::test::RecordingNotifier notices;
    std::unique_ptr<wm::test::PdfPreview> preview;
    wm::Race race;
    QWidget host;
    wm::ResultButtonWidgets widgets{new QPushButton(&host), new QPushButton(&host), new QPushButton(&host)};
    std::unique_ptr<wm::ResultButtons> buttons;

    explicit RaceRig(const QString& name = u"Herbst's Cup"_s) {
        preview = std::make_unique<wm::test::PdfPreview>(folder.path() + u"/preview.pdf"_s);
        race.create(folder.data(name + u".db"_s), name, wm::participantFields());
        const QList<QStringList> boats = {{u"GER 12"_s, u"Möwe"_s, u"Jürgen Öhlert"_s, u"00:50:00"_s, u"00:47:37"_s},
                                          {u"GER 7"_s, u"Uhu"_s, u"Sönke Claußen"_s, u"00:41:10"_s, u"00:39:13"_s},
                                          {u"NED 3"_s, u"Brise"_s, u"Anke Witt"_s, u"DNF"_s, u"DNF"_s},
                                          {u"DEN 9"_s, u"Swantje"_s, u"Ole Hansen"_s, u"00:45:00"_s, u"00:42:51"_s},
                                          {u"SUI 4"_s, u"Ostwind"_s, u"Lena Kröger"_s, u"DSQ"_s, u"DSQ"_s}};
        for (const QStringList& b : boats) {
            race.table().insert({{u"SEGELNR"_s, b[0]},
                                 {u"BOOTSNAME"_s, b[1]},
                                 {u"NAME"_s, b[2]},
                                 {u"TYP"_s, u"Laser"_s},
                                 {u"YS"_s, 105.0},
                                 {u"START"_s, 1},
                                 {u"GZEIT"_s, b[3]},
                                 {u"BZEIT"_s, b[4]},
                                 {u"STATUS"_s, u"2"_s}});
        }
        race.list().refresh();
        buttons = std::make_unique<wm::ResultButtons>(
            widgets, race, wm::Seams{wm::ProgramDir(folder.path()), clock, prompts, notices, *preview});
    }
    QString pdfPath() const { return folder.path() + u"/Reports/"_s + race.name() + u".pdf"_s; }
    QString previewPath() const { return folder.path() + u"/preview.pdf"_s; }
};

} // namespace

class TestResultButtons : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { wm::setUpApplication(*QCoreApplication::instance()); }
    void participantList_portraitNumberedOnFreshCopy();
    void reportButton_previewsResultAndClearsNotice();
    void pdfButton_writesFileAndNotifies();
    void pdfButton_replacesExistingFile();
    void pdfButton_failure_data();
    void pdfButton_failure();
};

void TestResultButtons::participantList_portraitNumberedOnFreshCopy() {
    RaceRig rig;
    rig.race.setSearchText(u"GER"_s);
    QCOMPARE(rig.race.list().count(), 2);
    QVERIFY(wm::test::press(rig.widgets.cmdCompList));
    QVERIFY(rig.prompts.errors.isEmpty());
    QCOMPARE(rig.preview->shown, 1);
    const PdfRead list = readPdfFile(rig.previewPath());
    QCOMPARE(list.pages, 1);
    QVERIFY(list.pageSizes[0].width() < list.pageSizes[0].height());
    QVERIFY(!list.find(u"Teilnehmer:"_s).isEmpty());
    QVERIFY(list.find(u"Cup"_s).last().box.right() * kMmPerPoint > 199.5);
    const QList<Word> hash = list.find(u"#"_s);
    QCOMPARE(hash.size(), 1);
    QVERIFY(near(hash[0].box.right() * kMmPerPoint, 24.0, 0.3));
    QVERIFY(list.find(u"Platz"_s).isEmpty());
    QVERIFY(list.find(u"Zeit"_s).isEmpty());
    // Only the boats under the search, numbered from 1 in the list's order.
    QCOMPARE(list.find(u"1"_s).size(), 1);
    QCOMPARE(list.find(u"2"_s).size(), 1);
    QVERIFY(list.find(u"3"_s).isEmpty());
    QVERIFY(list.find(u"NED"_s).isEmpty());
    QVERIFY(list.find(u"1"_s)[0].box.top() < list.find(u"2"_s)[0].box.top());
    QVERIFY(near(list.find(u"1"_s)[0].box.top(), list.find(u"12"_s)[0].box.top(), 0.1));

    // The result design is as it was: a result report shows "Platz", the time captions, landscape.
    QCOMPARE(wm::TReport::resultDesign().orientation, QPageLayout::Landscape);
    QVERIFY(wm::test::press(rig.widgets.cmdReport));
    const PdfRead result = readPdfFile(rig.previewPath());
    QVERIFY(result.pageSizes[0].width() > result.pageSizes[0].height());
    QCOMPARE(result.find(u"Platz"_s).size(), 1);
    // Two time captions in the column header; the rules line under the rows speaks of times as well.
    const double headerTop = result.find(u"Platz"_s)[0].box.top();
    const QList<Word> times = result.find(u"Zeit"_s);
    QCOMPARE(std::count_if(times.begin(), times.end(), [&](const Word& w) { return near(w.box.top(), headerTop, 1); }),
             2);
    QVERIFY(result.find(u"#"_s).isEmpty());
}

void TestResultButtons::reportButton_previewsResultAndClearsNotice() {
    RaceRig rig;
    QVERIFY(wm::test::press(rig.widgets.cmdReport));
    QVERIFY(rig.prompts.errors.isEmpty());
    QCOMPARE(rig.notices.cleared, 1);
    QCOMPARE(rig.preview->shown, 1);
    const PdfRead pdf = readPdfFile(rig.previewPath());
    QCOMPARE(pdf.pages, 1);
    // Scored before the report: by corrected time, DNF and DSQ last with the number of entries.
    QStringList order;
    for (const Word& w : pdf.words) {
        if (w.text == u"GER"_s || w.text == u"DEN"_s || w.text == u"NED"_s || w.text == u"SUI"_s) {
            order << w.text;
        }
    }
    QCOMPARE(order, (QStringList{u"GER"_s, u"DEN"_s, u"GER"_s, u"NED"_s, u"SUI"_s}));
    QCOMPARE(pdf.find(u"5"_s).size(), 2);
    QCOMPARE(pdf.find(u"DNF"_s).size(), 2);
    QCOMPARE(pdf.find(u"DSQ"_s).size(), 2);
    QVERIFY(!pdf.find(u"Cup"_s).isEmpty());
    QVERIFY(!pdf.find(u"Claußen"_s).isEmpty());
    // A second preview shows the same rows again.
    QVERIFY(wm::test::press(rig.widgets.cmdReport));
    QCOMPARE(readPdfFile(rig.previewPath()).words.size(), pdf.words.size());
    QVERIFY(rig.widgets.cmdReportPDF->isEnabled());
}

void TestResultButtons::pdfButton_writesFileAndNotifies() {
    RaceRig rig;
    QDir(rig.folder.path()).rename(u"Reports"_s, u"reports"_s);
    QVERIFY(wm::test::press(rig.widgets.cmdReportPDF));
    QVERIFY2(rig.prompts.errors.isEmpty(), qPrintable(rig.prompts.errors.join(u'\n')));
    const QString path = rig.folder.path() + u"/reports/Herbst's Cup.pdf"_s;
    QVERIFY(QFile::exists(path));
    QVERIFY(wm::test::readFile(rig.folder.path() + u"/reports/Herbst's Cup.html"_s).contains(u"Möwe"_s));
    QVERIFY(wm::test::readFile(rig.folder.path() + u"/reports/Herbst's Cup.csv"_s).contains(u"Möwe"_s));
    QCOMPARE(rig.notices.notices.size(), 1);
    QCOMPARE(rig.notices.notices[0].title, u"Wendemark"_s);
    QCOMPARE(rig.notices.notices[0].text, u"Der Report der Wettfahrt 'Herbst's Cup' wurde exportiert:\r\r"_s + path);
    QVERIFY(!rig.widgets.cmdReport->isEnabled());
    QVERIFY(!rig.widgets.cmdReportPDF->isEnabled());
    const PdfRead pdf = readPdfFile(path);
    QCOMPARE(pdf.pages, 1);
    QVERIFY(!pdf.find(u"Cup"_s).isEmpty());
    QVERIFY(!pdf.find(u"Öhlert"_s).isEmpty());
    QVERIFY(!pdf.find(u"Möwe"_s).isEmpty());
    // "DNF" and "DSQ" in both time columns, the number of entries as their place.
    for (const QString& marker : {u"DNF"_s, u"DSQ"_s}) {
        const QList<Word> found = pdf.find(marker);
        QCOMPARE(found.size(), 2);
        QVERIFY(near(found[0].box.left(), 503, 0.5));
        QVERIFY(near(found[1].box.left(), 599, 0.5));
        bool placed = false;
        for (const Word& five : pdf.find(u"5"_s)) {
            placed = placed || near(five.box.top(), found[0].box.top(), 0.1);
        }
        QVERIFY(placed);
    }
}

void TestResultButtons::pdfButton_replacesExistingFile() {
    RaceRig rig;
    wm::test::writeFile(rig.pdfPath(), QByteArray("old"));
    QVERIFY(wm::test::press(rig.widgets.cmdReportPDF));
    QVERIFY(rig.prompts.errors.isEmpty());
    QCOMPARE(readPdfFile(rig.pdfPath()).pages, 1);
    // The web page and the CSV file lie beside the PDF, and nothing else.
    QStringList files = QDir(rig.folder.path() + u"/Reports"_s).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    QCOMPARE(files, (QStringList{u"Herbst's Cup.csv"_s, u"Herbst's Cup.html"_s, u"Herbst's Cup.pdf"_s}));
}

void TestResultButtons::pdfButton_failure_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("message");
    QTest::newRow("Reports folder missing") << u"missing"_s << u"Der Ordner existiert nicht."_s;
    QTest::newRow("file held read-only") << u"immutable"_s << u"schreibgeschützt"_s;
    QTest::newRow("a folder of that name") << u"folder"_s << u"Unter diesem Namen existiert ein Ordner."_s;
    QTest::newRow("a race without rows") << u"empty"_s << u"keine Zeilen"_s;
}

void TestResultButtons::pdfButton_failure() {
    QFETCH(QString, how);
    QFETCH(QString, message);
    RaceRig rig;
    const QString reports = rig.folder.path() + u"/Reports"_s;
    const QByteArray old("%PDF-1.3 the result exported before");
    if (how == u"missing"_s) {
        QVERIFY(QDir(reports).removeRecursively());
    } else if (how == u"empty"_s) {
        for (const wm::Table::Row& row : rig.race.table().select()) {
            rig.race.table().removeRow(row.rowid);
        }
    } else if (how == u"folder"_s) {
        QVERIFY(QDir().mkpath(rig.pdfPath()));
    } else {
        wm::test::writeFile(rig.pdfPath(), old);
        // Root may write any file whatever its mode; only the immutable flag stops it.
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, rig.pdfPath()}) != 0) {
            QSKIP("chattr +i is not available here");
        }
    }
    QVERIFY(wm::test::press(rig.widgets.cmdReportPDF));
    if (how == u"immutable"_s) {
        QProcess::execute(u"chattr"_s, {u"-i"_s, rig.pdfPath()});
        QCOMPARE(wm::test::fileBytes(rig.pdfPath()), old);
    }
    QCOMPARE(rig.prompts.errors.size(), 1);
    QVERIFY2(rig.prompts.errors[0].contains(message), qPrintable(rig.prompts.errors[0]));
    QVERIFY(how == u"empty"_s || rig.prompts.errors[0].contains(rig.pdfPath()));
    QVERIFY(how == u"folder"_s || !QFileInfo(rig.pdfPath()).isDir());
    QVERIFY(how == u"immutable"_s || how == u"folder"_s || !QFile::exists(rig.pdfPath()));
    QVERIFY(rig.notices.notices.isEmpty());
    QVERIFY(rig.widgets.cmdReportPDF->isEnabled());
    QVERIFY(!rig.widgets.cmdReport->isEnabled());
    // Nothing half-written is left beside the target.
    const QStringList left = QDir(reports).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QVERIFY2(left.size() <= 1, qPrintable(left.join(u", "_s)));
}

QTEST_MAIN(TestResultButtons)
#include "tst_resultbuttons.moc"

#include "PdfRead.h"
#include "TestSupport.h"
#include "desktop/AppSetup.h"
#include "reports/RacePage.h"
#include "reports/TReport.h"
#include "reports/Windows1252.h"
#include "store/Clock.h"
#include "store/Error.h"

#include <QDir>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>

#include <memory>
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-page.h>

using namespace Qt::Literals::StringLiterals;
using wm::ReportData;

namespace {

using wm::test::kMmPerPoint;
using wm::test::near;
using wm::test::PdfRead;
using wm::test::readPdfData;
using wm::test::readPdfFile;
using wm::test::Word;

// One result row in the race table's field order, as shown.
QStringList resultRow(const QString& sail, const QString& boat, const QString& name, const QString& ys,
                      const QString& elapsed, const QString& corrected, const QString& points) {
    return {sail, boat, name, u"Laser"_s, ys, u"1"_s, elapsed, corrected, u"2"_s, points};
}

ReportData results(int count) {
    ReportData data;
    data.fields = wm::test::kRaceFieldNames;
    for (int i = 1; i <= count; ++i) {
        data.rows << resultRow(u"S%1"_s.arg(i), u"Boot%1"_s.arg(i), u"Name%1"_s.arg(i), u"105"_s, u"00:41:10"_s,
                               u"00:39:13"_s, QString::number(i));
    }
    return data;
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { wm::setUpApplication(*QCoreApplication::instance()); }

    void windows1252_data();
    void windows1252();
    void pdfPageCount_data();
    void pdfPageCount();
    void pdfItemPositions_data();
    void pdfItemPositions();
    void pdfFontsEncodingAndInfo();
    void pdfLongName_clippedAtBoxEdge();
    void pdfPlaceCounter_continuesAcrossPages();
    void pdfHeader_timeTakenForEachPage();
    void printed_headerEveryPageTitleFirstOnly();
    void printed_longTitleWrapsInItsBox();
    void printed_longNamesCutBeforeNextColumn();
    void printed_noRowsNoPages();
    void printedThroughPrinter_keepsPaperPositions_data();
    void printedThroughPrinter_keepsPaperPositions();
};

void TestReports::windows1252_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << u"GER 12"_s << QByteArray("GER 12");
    QTest::newRow("umlauts and sharp s") << u"ÄÖÜäöüß"_s << QByteArray("\xC4\xD6\xDC\xE4\xF6\xFC\xDF");
    QTest::newRow("euro, dash, quotes") << u"€–„“Š"_s << QByteArray("\x80\x96\x84\x93\x8A");
    QTest::newRow("outside the code page") << u"Łódź ✓"_s
                                           << QByteArray("?\xF3"
                                                         "d? ?");
    QTest::newRow("outside the BMP is one '?'") << u"a\U0001F600b"_s << QByteArray("a?b");
    QTest::newRow("control character") << u"a\u0001b"_s << QByteArray("a?b");
}

void TestReports::windows1252() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(wm::toWindows1252(text), bytes);
}

void TestReports::pdfPageCount_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("rowsOnLastPage");
    QTest::newRow("18 rows") << 18 << 1 << 18;
    QTest::newRow("19 rows") << 19 << 2 << 1;
    QTest::newRow("36 rows") << 36 << 2 << 18;
}

void TestReports::pdfPageCount() {
    QFETCH(int, rows);
    QFETCH(int, pages);
    QFETCH(int, rowsOnLastPage);
    wm::ManualClock clock;
    const PdfRead pdf = readPdfData(wm::racePdf(wm::raceResult(results(rows), {}, true), clock));
    QCOMPARE(pdf.pages, pages);
    int filled = 0;
    for (const Word& w : pdf.words) {
        static const QRegularExpression boat(u"^Boot\\d+$"_s);
        filled += w.page == pages - 1 && boat.match(w.text).hasMatch() ? 1 : 0;
    }
    QCOMPARE(filled, rowsOnLastPage);
    // Every page has its header, column header and footer, whatever its rows.
    QCOMPARE(pdf.find(u"Bootsname"_s).size(), pages);
    QCOMPARE(pdf.find(u"www.wendemark.example"_s).size(), pages);
}

void TestReports::pdfItemPositions_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<bool>("rightEdge");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("size");
    // Header panel at (33, 33).
    QTest::newRow("product label") << u"Wendemark"_s << 0 << false << 33.0 << 41.0 << 16.0;
    QTest::newRow("txtheader, right-aligned") << u"18:10:05"_s << 0 << true << 802.0 << 41.0 << 12.0;
    // Column header panel at (33, 65).
    QTest::newRow("Platz") << u"Platz"_s << 0 << false << 33.0 << 68.0 << 12.0;
    QTest::newRow("Segelnr.") << u"Segelnr."_s << 0 << false << 65.0 << 68.0 << 12.0;
    QTest::newRow("Bootsname") << u"Bootsname"_s << 0 << false << 153.0 << 68.0 << 12.0;
    QTest::newRow("Name") << u"Name"_s << 0 << false << 289.0 << 68.0 << 12.0;
    QTest::newRow("YS") << u"YS"_s << 0 << false << 441.0 << 68.0 << 12.0;
    QTest::newRow("Ges.Zeit") << u"Ges.Zeit"_s << 0 << false << 497.0 << 68.0 << 12.0;
    QTest::newRow("Ber.Zeit") << u"Ber.Zeit"_s << 0 << false << 593.0 << 68.0 << 12.0;
    // Row 0 of the grid at (33, 89); row r at trunc(r * 454 / 18).
    QTest::newRow("txtpunkte, right edge") << u"1"_s << 0 << true << 55.0 << 93.0 << 12.0;
    QTest::newRow("txtsegelnr") << u"S1"_s << 0 << false << 63.0 << 93.0 << 12.0;
    QTest::newRow("txtboot") << u"Boot1"_s << 0 << false << 159.0 << 93.0 << 12.0;
    QTest::newRow("txtname") << u"Name1"_s << 0 << false << 295.0 << 93.0 << 12.0;
    QTest::newRow("txtys") << u"105"_s << 0 << false << 447.0 << 93.0 << 12.0;
    QTest::newRow("txtgzeit") << u"00:41:10"_s << 0 << false << 503.0 << 93.0 << 12.0;
    QTest::newRow("txtbzeit") << u"00:39:13"_s << 0 << false << 599.0 << 93.0 << 12.0;
    QTest::newRow("row 1 at 25") << u"S2"_s << 0 << false << 63.0 << 118.0 << 12.0;
    QTest::newRow("row 9 at 227") << u"S10"_s << 0 << false << 63.0 << 320.0 << 12.0;
    QTest::newRow("row 17 at 428") << u"S18"_s << 0 << false << 63.0 << 521.0 << 12.0;
    // Footer panel at (33, 539), centred in 777 points.
    QTest::newRow("footer, centred") << u"www.wendemark.example"_s << 0 << true << -1.0 << 555.0 << 10.0;
}

void TestReports::pdfItemPositions() {
    QFETCH(QString, word);
    QFETCH(int, occurrence);
    QFETCH(bool, rightEdge);
    QFETCH(double, x);
    QFETCH(double, top);
    QFETCH(double, size);
    wm::ManualClock clock(QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5)));
    const PdfRead pdf = readPdfData(wm::racePdf(wm::raceResult(results(18), u"Lauf"_s, true), clock));
    const QList<Word> found = pdf.find(word, 0);
    QVERIFY2(found.size() > occurrence, qPrintable(pdf.onPage(0).join(u' ')));
    const QRectF box = found[occurrence].box;
    if (x < 0) {
        // Centred: "Wendemark - www…" spans the middle of the footer box.
        const QRectF first = pdf.find(u"Wendemark"_s, 0).last().box;
        QVERIFY2(near((first.left() + box.right()) / 2, 33 + 777 / 2.0, 0.5),
                 qPrintable(u"%1 .. %2"_s.arg(first.left()).arg(box.right())));
    } else {
        const double edge = rightEdge ? box.right() : box.left();
        QVERIFY2(near(edge, x, 0.5), qPrintable(u"x %1, expected %2"_s.arg(edge).arg(x)));
    }
    QVERIFY2(near(box.top(), top, 0.5), qPrintable(u"top %1, expected %2"_s.arg(box.top()).arg(top)));
    // A text of n points is about n points high from ascent to descent.
    QVERIFY2(near(box.height(), size * 0.925, 0.5), qPrintable(u"height %1"_s.arg(box.height())));
}

void TestReports::pdfFontsEncodingAndInfo() {
    wm::ManualClock clock(QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5)));

    ReportData data = results(2);
    data.rows[0][2] = u"Jürgen Claußen Š✓"_s;
    const QByteArray bytes = wm::racePdf(wm::raceResult(data, u"Frühjahr"_s, true), clock);
    const PdfRead pdf = readPdfData(bytes);
    QStringList fonts;
    for (const poppler::font_info& font : pdf.doc->fonts()) {
        fonts << QString::fromStdString(font.name());
        QVERIFY(!font.is_embedded());
        QCOMPARE(font.type(), poppler::font_info::type1);
    }
    fonts.sort();
    QCOMPARE(fonts, (QStringList{u"Helvetica"_s, u"Helvetica-Bold"_s}));
    QCOMPARE(bytes.count("/Encoding /WinAnsiEncoding"), 2);
    QVERIFY(!pdf.find(u"Frühjahr"_s).isEmpty());
    QVERIFY(!pdf.find(u"Jürgen"_s).isEmpty());
    QVERIFY(!pdf.find(u"Claußen"_s).isEmpty());
    QVERIFY(!pdf.find(u"Š?"_s).isEmpty());
    auto info = [&](const char* key) {
        const poppler::byte_array utf8 = pdf.doc->info_key(key).to_utf8();
        return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    };
    QCOMPARE(info("Author"), u"Wendemark"_s);
    QCOMPARE(info("Creator"), u"Wendemark"_s);
    QCOMPARE(info("Subject"), u"Report"_s);
    QCOMPARE(info("Title"), u"Wendemark Report"_s);
    QCOMPARE(info("Keywords"), QString());
    QCOMPARE(qint64(pdf.doc->info_date_t("CreationDate")), clock.now().toSecsSinceEpoch());
    QCOMPARE(qint64(pdf.doc->info_date_t("ModDate")), clock.now().toSecsSinceEpoch());
}

void TestReports::pdfLongName_clippedAtBoxEdge() {
    wm::ManualClock clock;
    ReportData data = results(1);
    const QString longName = u"Maximilian-Alexander Hohenzollern-Sigmaringen"_s;
    data.rows[0][2] = longName;
    data.rows[0][1] = u"Seeschwalbenflügelschlagdreiklang"_s;
    const PdfRead pdf = readPdfData(wm::racePdf(wm::raceResult(data, {}, true), clock));
    std::unique_ptr<poppler::page> first(pdf.doc->create_page(0));
    const double nameLeft = 33 + 262;
    const double nameRight = nameLeft + 147;
    const double ysLeft = 33 + 414;
    // Poppler ignores the clipping path, so the characters themselves tell what was written where.
    QString shown;
    QString yardstick;
    for (const poppler::text_box& box : first->text_list()) {
        const poppler::byte_array utf8 = box.text().to_utf8();
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        for (qsizetype i = 0; i < text.size(); ++i) {
            const poppler::rectf c = box.char_bbox(size_t(i));
            if (c.y() < 90 || c.y() > 110 || c.x() < nameLeft - 1) {
                continue;
            }
            if (c.x() < ysLeft - 0.5) {
                QVERIFY2(c.x() < nameRight, qPrintable(text));
                shown += text[i];
            } else if (c.x() < ysLeft + 35) {
                yardstick += text[i];
            }
        }
    }
    const QString withoutBlanks = QString(longName).remove(u' ');
    QVERIFY2(withoutBlanks.startsWith(shown) && shown.size() < withoutBlanks.size() && shown.size() > 15,
             qPrintable(shown));
    // The next column is untouched.
    QCOMPARE(yardstick, u"105"_s);
}

void TestReports::pdfPlaceCounter_continuesAcrossPages() {
    wm::ManualClock clock;
    ReportData data = results(20);
    for (QStringList& row : data.rows) {
        row[9] = u"99"_s;
    }
    const wm::Result result = wm::raceResult(data, {}, false);
    const PdfRead pdf = readPdfData(wm::racePdf(result, clock));
    QCOMPARE(pdf.find(u"99"_s).size(), 0);
    QCOMPARE(pdf.find(u"18"_s, 0).size(), 1);
    QCOMPARE(pdf.find(u"20"_s, 1).size(), 1);
    QCOMPARE(result.places.last(), u"20"_s);
}

void TestReports::pdfHeader_timeTakenForEachPage() {
    // A clock that moves on by a minute whenever it is read.
    class TickingClock : public wm::Clock {
    public:
        QDateTime now() const override { return m_now = m_now.addSecs(60); }

    private:
        mutable QDateTime m_now{QDate(2024, 12, 24), QTime(18, 0)};
    } clock;
    const PdfRead pdf = readPdfData(wm::racePdf(wm::raceResult(results(36), u"Lauf"_s, true), clock));
    QCOMPARE(pdf.pages, 2);
    const QList<Word> first = pdf.find(u"Lauf"_s, 0);
    QCOMPARE(first.size(), 1);
    QCOMPARE(pdf.find(u"Lauf"_s, 1).size(), 1);
    auto timeOn = [&](int p) {
        for (const Word& w : pdf.words) {
            if (w.page == p && w.text.contains(u':') && near(w.box.top(), 41, 0.5)) {
                return w.text;
            }
        }
        return QString();
    };
    QVERIFY(!timeOn(0).isEmpty());
    QVERIFY2(timeOn(0) != timeOn(1), qPrintable(timeOn(0)));
}

void TestReports::printed_headerEveryPageTitleFirstOnly() {
    const wm::ReportLayout layout = wm::TReport::layout(wm::raceResult(results(50), u"Herbstpokal"_s, true),
                                                        QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5)));
    // Below the title and the header the first page takes 20 rows of 8.5 mm, the next ones 21.
    QCOMPARE(layout.pageCount, 3);
    QCOMPARE(layout.pageLayout.orientation(), QPageLayout::Landscape);
    auto texts = [&](const QString& text) {
        QList<wm::LaidText> found;
        for (const wm::LaidText& t : layout.texts) {
            if (t.text == text) {
                found << t;
            }
        }
        return found;
    };
    QCOMPARE(texts(u"Platz"_s).size(), 3);
    QCOMPARE(texts(u"Wendemark"_s).size(), 1);
    QCOMPARE(texts(u"Herbstpokal"_s).size(), 1);
    QCOMPARE(texts(u"24.12.2024 18:10:05"_s).size(), 1);
    const wm::LaidText platz1 = texts(u"Platz"_s)[0];
    const wm::LaidText platz2 = texts(u"Platz"_s)[1];
    QCOMPARE(platz1.page, 0);
    QCOMPARE(platz2.page, 1);
    QVERIFY(near(platz1.box.right(), 10 + 14.0, 0.01));
    QVERIFY(near(platz1.box.top(), 10 + 9.3 + 2.1, 0.01));
    QVERIFY(near(platz2.box.top(), 10 + 2.1, 0.01));
    QVERIFY(near(texts(u"Herbstpokal"_s)[0].box.right(), 287, 0.01));
    QVERIFY(near(texts(u"Herbstpokal"_s)[0].box.top(), 10 + 4.2, 0.01));
    QVERIFY(near(texts(u"Wendemark"_s)[0].box.left(), 12.1, 0.01));
    // Detail rows: sail number left at 19.05, Yardstick right at 127, times at 1.85 mm from the band's top.
    const wm::LaidText sail = texts(u"S1"_s)[0];
    QVERIFY(near(sail.box.left(), 10 + 19.05, 0.01));
    QVERIFY(near(sail.box.top(), 10 + 9.3 + 8.5 + 2.1, 0.01));
    QVERIFY(near(texts(u"105"_s)[0].box.right(), 10 + 127.0, 0.01));
    QVERIFY(near(texts(u"00:41:10"_s)[0].box.top(), 10 + 9.3 + 8.5 + 1.85, 0.01));
    QCOMPARE(texts(u"S20"_s)[0].page, 0);
    QCOMPARE(texts(u"S21"_s)[0].page, 1);
    QVERIFY(near(texts(u"S21"_s)[0].box.top(), 10 + 8.5 + 2.1, 0.01));
    QCOMPARE(texts(u"S42"_s)[0].page, 2);
}

void TestReports::printed_longTitleWrapsInItsBox() {
    const QString title = u"Herbstpokal des Segelclubs am Großen Plöner See, Wettfahrt 3 der Jüngstenklasse "
                          u"mit Optimisten und Lasern"_s;
    const wm::ReportLayout layout =
        wm::TReport::layout(wm::raceResult(results(1), title, true), QDateTime::currentDateTime());
    QStringList lines;
    double lastTop = 0;
    double platzTop = 0;
    for (const wm::LaidText& t : layout.texts) {
        if (t.text == u"Platz"_s) {
            platzTop = t.box.top();
        }
        if (!title.contains(t.text) || t.text.size() < 5) {
            continue;
        }
        lines << t.text;
        QVERIFY(near(t.box.right(), 287, 0.01));
        QVERIFY2(t.box.width() <= 103.7 + 0.01, qPrintable(t.text));
        QVERIFY(t.box.top() > lastTop);
        lastTop = t.box.top();
    }
    QVERIFY2(lines.size() >= 2, qPrintable(lines.join(u'|')));
    QCOMPARE(lines.join(u' '), title);
    // The grown title band pushes the column header down.
    QVERIFY(platzTop > lastTop);
}

void TestReports::printed_longNamesCutBeforeNextColumn() {
    ReportData data = results(1);
    data.rows[0][0] = u"GER 1234567890123"_s;
    data.rows[0][1] = u"Seeschwalbenflügelschlagdreiklang"_s;
    data.rows[0][2] = u"Maximilian-Alexander Hohenzollern-Sigmaringen"_s;
    data.rows[0][4] = u"112,5"_s;
    const wm::ReportLayout layout = wm::TReport::layout(wm::raceResult(data, {}, true), QDateTime::currentDateTime());
    const wm::TextMeasure& measure = wm::defaultTextMeasure();
    // Left edges of the next columns (the Yardstick's text is right-aligned at 127 mm).
    const double yardstickLeft = 10 + 127.0 - measure.width(wm::reportFont(u"Lucida Sans Unicode"_s, 10), u"112,5"_s);
    const double nextColumn[] = {10 + 46.6, 10 + 82.55, yardstickLeft};
    for (int field = 0; field < 3; ++field) {
        const QString full = data.rows[0][field];
        bool found = false;
        for (const wm::LaidText& t : layout.texts) {
            if (t.text.size() < 3 || !full.startsWith(t.text)) {
                continue;
            }
            found = true;
            QVERIFY2(t.text.size() < full.size(), qPrintable(t.text));
            QVERIFY2(t.box.left() + measure.width(t.font, t.text) < nextColumn[field] - 0.5, qPrintable(t.text));
        }
        QVERIFY2(found, qPrintable(full));
    }
}

void TestReports::printed_noRowsNoPages() {
    const wm::ReportLayout layout =
        wm::TReport::layout(wm::raceResult(results(0), {}, true), QDateTime::currentDateTime());
    QCOMPARE(layout.pageCount, 0);
    QVERIFY(layout.texts.isEmpty());
}

void TestReports::printedThroughPrinter_keepsPaperPositions_data() {
    QTest::addColumn<bool>("prepared");
    QTest::newRow("printer readied for the report") << true;
    QTest::newRow("full page set before the layout") << false;
}

// The preview prints through a QPrinter; whatever its margins and full-page mode, the texts must land where
// the layout puts them on the paper.
void TestReports::printedThroughPrinter_keepsPaperPositions() {
    QFETCH(bool, prepared);
    const wm::ReportLayout layout = wm::TReport::layout(wm::raceResult(results(30), u"Herbstpokal"_s, true),
                                                        QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5)));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"print.pdf"_s);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        if (prepared) {
            wm::preparePrinter(printer, layout.pageLayout, u"Herbstpokal"_s);
            QVERIFY(printer.fullPage());
        } else {
            printer.setFullPage(true);
            printer.setPageLayout(layout.pageLayout);
        }
        wm::paintReport(layout, printer);
    }
    const PdfRead pdf = readPdfFile(path);
    QCOMPARE(pdf.pages, layout.pageCount);
    int checked = 0;
    for (const wm::LaidText& t : layout.texts) {
        if (t.text.contains(u' ')) {
            continue;
        }
        QList<Word> found = pdf.find(t.text, t.page);
        QVERIFY2(!found.isEmpty(), qPrintable(t.text));
        // The same text in other rows: take the word nearest to where this one was laid out.
        std::sort(found.begin(), found.end(), [&](const Word& a, const Word& b) {
            return std::abs(a.box.top() * kMmPerPoint - t.box.top()) <
                   std::abs(b.box.top() * kMmPerPoint - t.box.top());
        });
        const double left = found[0].box.left() * kMmPerPoint;
        const double top = found[0].box.top() * kMmPerPoint;
        QVERIFY2(near(left, t.box.left(), 0.3) || t.align == Qt::AlignRight,
                 qPrintable(u"%1 left %2 mm, laid out at %3"_s.arg(t.text).arg(left).arg(t.box.left())));
        QVERIFY2(near(found[0].box.right() * kMmPerPoint, t.box.right(), 0.3) || t.align == Qt::AlignLeft,
                 qPrintable(u"%1 right %2 mm, laid out at %3"_s.arg(t.text)
                                .arg(found[0].box.right() * kMmPerPoint)
                                .arg(t.box.right())));
        QVERIFY2(near(top, t.box.top(), 0.5),
                 qPrintable(u"%1 top %2 mm, laid out at %3"_s.arg(t.text).arg(top).arg(t.box.top())));
        ++checked;
    }
    QVERIFY(checked > 100);
    QVERIFY(near(pdf.pageSizes[0].width(), 841.9, 0.5));
    QVERIFY(near(pdf.pageSizes[0].height(), 595.3, 0.5));
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"

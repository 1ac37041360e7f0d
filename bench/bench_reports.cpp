// A 2,000-boat result: the PDF export against libharu writing the same texts bare, and the printed report
// laid out and painted onto a PDF printer.
#include "BenchSupport.h"
#include "desktop/AppSetup.h"
#include "desktop/Preview.h"
#include "reports/RacePage.h"
#include "reports/TReport.h"
#include "reports/Windows1252.h"
#include "store/Clock.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include <hpdf.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kRows = 2000;
constexpr int kRuns = 5;

void HPDF_STDCALL ignoreError(HPDF_STATUS, HPDF_STATUS, void*) {}

// The same pages written straight with libharu: every text at its place, no items, hooks or clipping.
QByteArray bareExport(const wm::ReportData& data, const QString& caption) {
    HPDF_Doc doc = HPDF_New(ignoreError, nullptr);
    HPDF_SetCompressionMode(doc, HPDF_COMP_ALL);
    HPDF_Font regular = HPDF_GetFont(doc, "Helvetica", "WinAnsiEncoding");
    HPDF_Font bold = HPDF_GetFont(doc, "Helvetica-Bold", "WinAnsiEncoding");
    const double ascent = 0.718;
    auto text = [&](HPDF_Page page, HPDF_Font font, double size, double gray, double x, double top, const QString& s) {
        HPDF_Page_BeginText(page);
        HPDF_Page_SetFontAndSize(page, font, HPDF_REAL(size));
        HPDF_Page_SetRGBFill(page, HPDF_REAL(gray), HPDF_REAL(gray), HPDF_REAL(gray));
        HPDF_Page_TextOut(page, HPDF_REAL(x), HPDF_REAL(596 - top - ascent * size), wm::toWindows1252(s).constData());
        HPDF_Page_EndText(page);
    };
    const double columns[] = {0, 32, 120, 256, 408, 464, 560};
    const char* const captions[] = {"Platz", "Segelnr.", "Bootsname", "Name", "YS", "Ges.Zeit", "Ber.Zeit"};
    const double rowX[] = {5, 30, 126, 262, 414, 470, 566};
    const int fieldOf[] = {9, 0, 1, 2, 4, 6, 7};
    const double gray = 128 / 255.0;
    for (qsizetype first = 0; first < data.rows.size(); first += 18) {
        HPDF_Page page = HPDF_AddPage(doc);
        HPDF_Page_SetWidth(page, 842);
        HPDF_Page_SetHeight(page, 596);
        text(page, bold, 16, gray, 33, 41, u"Wendemark"_s);
        text(page, regular, 12, gray, 600, 41, caption + u" - 24.12.2024 18:10:05"_s);
        for (int c = 0; c < 7; ++c) {
            text(page, bold, 12, gray, 33 + columns[c], 68, QString::fromLatin1(captions[c]));
        }
        for (int r = 0; r < 18 && first + r < data.rows.size(); ++r) {
            const QStringList& row = data.rows[first + r];
            for (int i = 0; i < 7; ++i) {
                text(page, regular, 12, 0, 33 + rowX[i], 89 + r * 454 / 18 + 4, row[fieldOf[i]]);
            }
        }
        text(page, regular, 10, gray, 340, 555, u"Wendemark - www.wendemark.example"_s);
    }
    HPDF_SaveToStream(doc);
    QByteArray bytes(qsizetype(HPDF_GetStreamSize(doc)), Qt::Uninitialized);
    HPDF_UINT32 size = HPDF_UINT32(bytes.size());
    HPDF_ReadFromStream(doc, reinterpret_cast<HPDF_BYTE*>(bytes.data()), &size);
    HPDF_Free(doc);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    wm::setUpApplication(app);
    const wm::ReportData data = wm::bench::resultOf(wm::bench::fleet(kRows));
    wm::ManualClock clock(QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5)));
    const wm::Result result = wm::raceResult(data, u"Herbstpokal"_s, true);

    std::vector<double> exports;
    std::vector<double> bare;
    qsizetype sizes = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        sizes += wm::racePdf(result, clock).size();
        exports.push_back(wm::bench::elapsedMs(timer));
        timer.restart();
        sizes += bareExport(data, result.caption).size();
        bare.push_back(wm::bench::elapsedMs(timer));
    }
    wm::bench::comment(qPrintable(u"%1 KiB per document on average"_s.arg(sizes / 2 / kRuns / 1024)));
    wm::bench::print("pdf_export_2000", wm::bench::median(exports), "ms");
    wm::bench::print("pdf_export_ratio", wm::bench::median(exports) / wm::bench::median(bare), "x");

    QTemporaryDir dir;
    std::vector<double> prints;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        const wm::ReportLayout layout = wm::TReport::layout(result, clock.now());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(u"print.pdf"_s));
        wm::preparePrinter(printer, layout.pageLayout, result.caption);
        wm::paintReport(layout, printer);
        prints.push_back(wm::bench::elapsedMs(timer));
    }
    wm::bench::print("print_render_2000", wm::bench::median(prints), "ms");
    return 0;
}

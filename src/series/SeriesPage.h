#pragma once

#include "reports/BandReport.h"
#include "reports/PdfWriter.h"

namespace wm {

class Clock;

// The PDF page of a series ranking (PRPage2) and the state that steers it while a series is exported. The
// page has ten race columns; a series with more races is printed in blocks of ten: after the pages with
// races 1 to 10 come the same boats, places and totals again with races 11 to 20, and so on, so that no race
// is ever left out.
class SeriesPage {
public:
    static constexpr int kRaceColumns = 10;
    static inline const QString kHeaderPanel = QStringLiteral("PRLayoutPanel4");
    static inline const QString kColumnHeaderPanel = QStringLiteral("PRLayoutPanel5");
    static inline const QString kGridPanel = QStringLiteral("PRGridPanel2");
    static inline const QString kFooterPanel = QStringLiteral("PRLayoutPanel6");
    static inline const QStringList kBoatItems = {QStringLiteral("txtPlatzS"), QStringLiteral("txtSegelnrS"),
                                                  QStringLiteral("txtBootS"), QStringLiteral("txtNameS"),
                                                  QStringLiteral("txtGesamtS")};

    explicit SeriesPage(const Clock& clock);
    SeriesPage(const SeriesPage&) = delete;
    SeriesPage& operator=(const SeriesPage&) = delete;

    // First part of each page's header text.
    QString SeriesHeader;
    // The place the next filled row shows.
    int SeriesPlace = 1;
    // Races of the series being exported.
    int SeriesRaceCount = 0;

    pdf::PageDesign& PRPage2() { return m_page; }

    // At the start of each page: which items and race titles print.
    void PRPage2PrintPage();
    // Fills a grid row from the next series row, or blanks it (and every later row) past the last one.
    void PRGridPanel2BeforePrintChild(int row, int column, const QRectF& rect);
    // The header text, with the date and time at which this page is drawn.
    void PRLayoutPanel4BeforePrint();

    // Pages of 18 rows from the series rows (values in the series table's field order, as shown), as a whole
    // PDF document. Throws wm::Error, e.g. for a selection without rows.
    QByteArray exportSeries(const ReportData& rows);
    // The same, written whole to `path`: an existing file is replaced only by a complete document.
    void exportSeries(const ReportData& rows, const QString& path);

private:
    pdf::Item& gridItem(const QString& name);

    const Clock& m_clock;
    pdf::PageDesign m_page;
    const ReportData* m_rows = nullptr;
    qsizetype m_next = 0;
    int m_firstRace = 0; // races before the block being printed
};

} // namespace wm

#pragma once

#include "reports/PdfWriter.h"
#include "reports/Result.h"
#include "store/Clock.h"

namespace wm {

// The PDF page of a series ranking (PRPage2), laid out for one ranking. The page has ten race columns; a
// series with more races is printed in blocks of ten: after the pages with races 1 to 10 come the same boats,
// places and totals again with races 11 to 20, and so on, so that no race is ever left out.
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

    // The ranking and the clock must outlive the page.
    SeriesPage(const Result& ranking, const Clock& clock);
    SeriesPage(const SeriesPage&) = delete;
    SeriesPage& operator=(const SeriesPage&) = delete;

    const pdf::PageDesign& PRPage2() const { return m_page; }

    // At the start of each page: which items and race titles print.
    void PRPage2PrintPage();
    // Fills a grid row from the next ranking row, or blanks it (and every later row) past the last one.
    void PRGridPanel2BeforePrintChild(int row, int column, const QRectF& rect);
    // The header text: the caption and the date and time at which this page is drawn.
    void PRLayoutPanel4BeforePrint();

    // Every page of the ranking, block by block of ten races, as data.
    QList<pdf::Page> pages();

private:
    pdf::Item& gridItem(const QString& name);

    const Result& m_ranking;
    const Clock& m_clock;
    pdf::PageDesign m_page;
    qsizetype m_next = 0;
    int m_firstRace = 0; // races before the block being printed
};

// The pages of a series ranking and the whole PDF document; a ranking without rows is refused (wm::Error).
QList<pdf::Page> seriesPdfPages(const Result& ranking, const Clock& clock);
QByteArray seriesPdf(const Result& ranking, const Clock& clock);

} // namespace wm

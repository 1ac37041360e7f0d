#pragma once

#include "reports/PdfWriter.h"
#include "reports/Result.h"
#include "store/Clock.h"

namespace wm {

// The PDF page of a race result (PRPage1), laid out for one result: a header with the caption and the time,
// the column titles, 18 result rows a page and the footer with the rules line.
class RacePage {
public:
    static inline const QString kHeaderPanel = QStringLiteral("PRLayoutPanel1");
    static inline const QString kColumnHeaderPanel = QStringLiteral("PRLayoutPanel2");
    static inline const QString kGridPanel = QStringLiteral("PRGridPanel1");
    static inline const QString kFooterPanel = QStringLiteral("PRLayoutPanel3");
    static inline const QStringList kRowItems = {
        QStringLiteral("txtpunkte"), QStringLiteral("txtsegelnr"), QStringLiteral("txtboot"), QStringLiteral("txtname"),
        QStringLiteral("txtys"),     QStringLiteral("txtgzeit"),   QStringLiteral("txtbzeit")};

    // The result and the clock must outlive the page.
    RacePage(const Result& result, const Clock& clock);
    RacePage(const RacePage&) = delete;
    RacePage& operator=(const RacePage&) = delete;

    const pdf::PageDesign& PRPage1() const { return m_page; }

    // Fills a grid row from the next result row, or blanks it (and every later row) past the last one.
    void PRGridPanel1BeforePrintChild(int row, int column, const QRectF& rect);
    // The header text: the caption and the date and time at which this page is drawn.
    void PRLayoutPanel1BeforePrint();

    // Every page of the result, as data.
    QList<pdf::Page> pages();

private:
    pdf::Item& rowItem(int index);

    const Result& m_result;
    const Clock& m_clock;
    pdf::PageDesign m_page;
    qsizetype m_next = 0;
};

// The pages of a race result and the whole PDF document. A result without rows has no pages; its document
// is refused (wm::Error).
QList<pdf::Page> racePdfPages(const Result& result, const Clock& clock);
QByteArray racePdf(const Result& result, const Clock& clock);

} // namespace wm

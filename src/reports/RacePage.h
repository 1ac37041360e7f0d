#pragma once

#include "reports/BandReport.h"
#include "reports/PdfWriter.h"

namespace wm {

class Clock;

// The PDF page of a race result (PRPage1) and the state that steers it. One instance is shared by every
// race export of the program (main window and race browser); each export sets the state it relies on.
class RacePage {
public:
    static inline const QString kHeaderPanel = QStringLiteral("PRLayoutPanel1");
    static inline const QString kColumnHeaderPanel = QStringLiteral("PRLayoutPanel2");
    static inline const QString kGridPanel = QStringLiteral("PRGridPanel1");
    static inline const QString kFooterPanel = QStringLiteral("PRLayoutPanel3");
    static inline const QStringList kRowItems = {
        QStringLiteral("txtpunkte"), QStringLiteral("txtsegelnr"), QStringLiteral("txtboot"), QStringLiteral("txtname"),
        QStringLiteral("txtys"),     QStringLiteral("txtgzeit"),   QStringLiteral("txtbzeit")};

    explicit RacePage(const Clock& clock);
    RacePage(const RacePage&) = delete;
    RacePage& operator=(const RacePage&) = delete;

    // First part of each page's header text.
    QString ReportCaption;
    // true: the place column shows field Punkte; false: the running number PlaceCounter.
    bool PointsAsPlace = true;
    // The running number the next filled row shows when PointsAsPlace is false.
    int PlaceCounter = 1;

    pdf::PageDesign& PRPage1() { return m_page; }
    const pdf::PageDesign& PRPage1() const { return m_page; }

    // Switches all seven row items printable again.
    void ResetPrintables();
    // Fills a grid row from the next result row, or blanks it (and every later row) past the last one.
    void PRGridPanel1BeforePrintChild(int row, int column, const QRectF& rect);
    // The header text, with the date and time at which this page is drawn.
    void PRLayoutPanel1BeforePrint();

    // Pages of 18 rows each from the result rows (values in the race table's field order, as shown), as a
    // whole PDF document. Throws wm::Error, e.g. for a result without rows.
    QByteArray exportResults(const ReportData& results);
    // The same, written whole to `path`: an existing file is replaced only by a complete document.
    void exportResults(const ReportData& results, const QString& path);

private:
    pdf::Item& rowItem(int index);

    const Clock& m_clock;
    pdf::PageDesign m_page;
    const ReportData* m_results = nullptr;
    qsizetype m_next = 0;
};

} // namespace wm

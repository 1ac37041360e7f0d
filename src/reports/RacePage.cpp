#include "RacePage.h"

#include "reports/ResultPage.h"

namespace wm {

namespace {

const QColor kGray(128, 128, 128);

enum RowItem { Points, SailNumber, Boat, Name, Yardstick, Elapsed, Corrected };
// Where each row item's value sits in a result row: SEGELNR, BOOTSNAME, NAME, TYP, YS, START, GZEIT, BZEIT,
// STATUS, Punkte.
constexpr int kSourceField[] = {9, 0, 1, 2, 4, 6, 7};

} // namespace

RacePage::RacePage(const Result& result, const Clock& clock)
    : m_result(result), m_clock(clock),
      m_page(resultPageFrame({kHeaderPanel, kColumnHeaderPanel, kGridPanel, kFooterPanel})) {
    pdf::Panel& header = m_page.panel(kHeaderPanel);
    header.items << pdf::label(QStringLiteral("lblProdukt"), 0, 8, 400, pdf::Align::Left, 16, true, kGray,
                               QStringLiteral("Wendemark"));
    header.items << pdf::label(QStringLiteral("txtheader"), 488, 8, 281, pdf::Align::Right, 12, false, kGray);
    header.beforePrint = [this] { PRLayoutPanel1BeforePrint(); };

    pdf::Panel& columns = m_page.panel(kColumnHeaderPanel);
    const std::pair<const char*, double> captions[] = {{"Platz", 0},     {"Segelnr.", 32}, {"Bootsname", 120},
                                                       {"Name", 256},    {"YS", 408},      {"Ges.Zeit", 464},
                                                       {"Ber.Zeit", 560}};
    for (const auto& [caption, x] : captions) {
        const QString text = QString::fromLatin1(caption);
        columns.items << pdf::label(QStringLiteral("lbl") + text, x, 3, 0, pdf::Align::Left, 12, true, kGray, text);
    }
    // Captions are one word each and cannot overflow; give each the room up to the next one.
    for (qsizetype i = 0; i < columns.items.size(); ++i) {
        const double next = i + 1 < columns.items.size() ? columns.items[i + 1].x : columns.width;
        columns.items[i].width = next - columns.items[i].x;
    }

    pdf::Panel& grid = m_page.panel(kGridPanel);
    grid.items << pdf::label(kRowItems[Points], 5, 4, 17, pdf::Align::Right, 12, false, Qt::black);
    grid.items << pdf::textItem(kRowItems[SailNumber], 30, 83) << pdf::textItem(kRowItems[Boat], 126, 123)
               << pdf::textItem(kRowItems[Name], 262, 147) << pdf::textItem(kRowItems[Yardstick], 414, 35)
               << pdf::textItem(kRowItems[Elapsed], 470, 75) << pdf::textItem(kRowItems[Corrected], 566, 91);
    grid.beforePrintChild = [this](int row, int column, const QRectF& rect) {
        PRGridPanel1BeforePrintChild(row, column, rect);
    };

    pdf::Panel& footer = m_page.panel(kFooterPanel);
    // The rules in small print in the free upper half of the footer, above the footer line.
    footer.items << pdf::label(QStringLiteral("lblRegeln"), 0, 4, 777, pdf::Align::Center, 7, false, kGray,
                               m_result.rules);
    footer.items << pdf::label(QStringLiteral("lblFooter"), 0, 16, 777, pdf::Align::Center, 10, false, kGray,
                               kResultPageFooter);
}

pdf::Item& RacePage::rowItem(int index) {
    return m_page.panel(kGridPanel).items[index];
}

void RacePage::PRGridPanel1BeforePrintChild(int, int, const QRectF&) {
    if (m_next >= m_result.rows.rows.size()) {
        for (pdf::Item& item : m_page.panel(kGridPanel).items) {
            item.printable = false;
        }
        return;
    }
    const QStringList& row = m_result.rows.rows[m_next];
    for (int i = SailNumber; i <= Corrected; ++i) {
        rowItem(i).text = row.value(kSourceField[i]);
    }
    rowItem(Points).text = m_result.places.value(m_next);
    ++m_next;
}

void RacePage::PRLayoutPanel1BeforePrint() {
    m_page.panel(kHeaderPanel).item(QStringLiteral("txtheader")).text =
        m_result.caption + QStringLiteral(" - ") + reportDateTime(m_clock.now());
}

QList<pdf::Page> RacePage::pages() {
    QList<pdf::Page> pages;
    m_next = 0;
    while (m_next < m_result.rows.rows.size()) {
        pages << pdf::layoutPage(m_page);
    }
    return pages;
}

QList<pdf::Page> racePdfPages(const Result& result, const Clock& clock) {
    return RacePage(result, clock).pages();
}

QByteArray racePdf(const Result& result, const Clock& clock) {
    pdf::Document document;
    document.begin(resultDocumentInfo(clock.now()));
    for (const pdf::Page& page : racePdfPages(result, clock)) {
        document.addPage(page);
    }
    return document.end(clock.now());
}

} // namespace wm

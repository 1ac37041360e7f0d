#include "series/SeriesPage.h"

#include "reports/ResultPage.h"
#include "series/SeriesReport.h"
#include "series/SeriesStore.h"

namespace wm {

namespace {

const QColor kGray(128, 128, 128);

// Where the columns of a page stand. The sum has the documented columns; under Appendix A the boat columns are
// narrower, so that ten race cells such as "(12 DNC)" in smaller type and the net total after the total fit.
struct Columns {
    double captionX[4]; // Platz, Segelnr., Bootsname, Name
    double textX[3];    // sail number, boat, helmsman
    double textWidth[3];
    double titleX[SeriesPage::kRaceColumns]; // race titles: left edges of 25 wide labels
    double valueRight[SeriesPage::kRaceColumns];
    double valueWidth;
    double valueSize;
    bool titlesRight; // race titles over the right edge of their values rather than from their left edge
    double totalX;    // total: 60 wide; under Appendix A, total and net total each 46 wide
    double totalWidth;
};

constexpr Columns kSumColumns = {{0, 32, 120, 256},
                                 {30, 126, 262},
                                 {83, 123, 123},
                                 {400, 431, 462, 493, 524, 555, 586, 617, 648, 680},
                                 {414, 445, 477, 509, 539, 570, 601, 633, 664, 697},
                                 25,
                                 12,
                                 false,
                                 703,
                                 60};

constexpr Columns kPlaceColumns = {{0, 32, 100, 200},
                                   {30, 104, 204},
                                   {66, 92, 100},
                                   {318, 355, 392, 429, 466, 503, 540, 577, 614, 651},
                                   {343, 380, 417, 454, 491, 528, 565, 602, 639, 676},
                                   36,
                                   9,
                                   true,
                                   680,
                                   46};

const QString kNetItem = QStringLiteral("txtNettoS");

enum Field { SailNumber = 0, Boat = 1, Name = 4, Total = 5 };

QString raceItem(int k) {
    return raceColumn(k);
}

QString titleItem(int k) {
    return raceColumn(k) + u'T';
}

} // namespace

SeriesPage::SeriesPage(const Result& ranking, const Clock& clock)
    : m_ranking(ranking), m_clock(clock),
      m_page(resultPageFrame({kHeaderPanel, kColumnHeaderPanel, kGridPanel, kFooterPanel})) {
    pdf::Panel& header = m_page.panel(kHeaderPanel);
    header.items << pdf::label(QStringLiteral("lblProduktS"), 0, 8, 400, pdf::Align::Left, 16, true, kGray,
                               QStringLiteral("Wendemark"));
    header.items << pdf::label(QStringLiteral("txtHeaderS"), 488, 8, 281, pdf::Align::Right, 12, false, kGray);
    header.beforePrint = [this] { PRLayoutPanel4BeforePrint(); };

    const Columns& at = m_ranking.appendixA ? kPlaceColumns : kSumColumns;
    pdf::Panel& columns = m_page.panel(kColumnHeaderPanel);
    const QStringList captions = {QStringLiteral("Platz"), QStringLiteral("Segelnr."), QStringLiteral("Bootsname"),
                                  QStringLiteral("Name")};
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const double next = i + 1 < captions.size() ? at.captionX[i + 1] : at.titleX[0];
        columns.items << pdf::label(QStringLiteral("lbl") + captions[i], at.captionX[i], 3, next - at.captionX[i],
                                    pdf::Align::Left, 12, true, kGray, captions[i]);
    }
    for (int k = 1; k <= kRaceColumns; ++k) {
        columns.items << pdf::label(titleItem(k), at.titleX[k - 1], 2, 25,
                                    at.titlesRight ? pdf::Align::Right : pdf::Align::Left, 12, true, kGray);
    }
    columns.items << pdf::label(QStringLiteral("lblGesamt"), at.totalX + 1, 2, at.totalWidth, pdf::Align::Right, 12,
                                true, kGray, QStringLiteral("Gesamt"));
    if (m_ranking.appendixA) {
        columns.items << pdf::label(QStringLiteral("lblNetto"), at.totalX + at.totalWidth + 5, 2, at.totalWidth,
                                    pdf::Align::Right, 12, true, kGray, kNetto);
    }

    pdf::Panel& grid = m_page.panel(kGridPanel);
    grid.items << pdf::label(kBoatItems[0], 0, 4, 22, pdf::Align::Right, 12, false, Qt::black);
    for (int i = 0; i < 3; ++i) {
        grid.items << pdf::textItem(kBoatItems[i + 1], at.textX[i], at.textWidth[i]);
    }
    for (int k = 1; k <= kRaceColumns; ++k) {
        grid.items << pdf::label(raceItem(k), at.valueRight[k - 1] - at.valueWidth, 4, at.valueWidth, pdf::Align::Right,
                                 at.valueSize, false, Qt::black);
    }
    grid.items << pdf::label(kBoatItems[4], at.totalX, 4, at.totalWidth, pdf::Align::Right, 12, false, Qt::black);
    if (m_ranking.appendixA) {
        grid.items << pdf::label(kNetItem, at.totalX + at.totalWidth + 5, 4, at.totalWidth, pdf::Align::Right, 12,
                                 false, Qt::black);
    }
    grid.beforePrintChild = [this](int row, int column, const QRectF& rect) {
        PRGridPanel2BeforePrintChild(row, column, rect);
    };

    pdf::Panel& footer = m_page.panel(kFooterPanel);
    // How the totals come about, in small print in the free upper half of the footer, above the footer line.
    footer.items << pdf::label(QStringLiteral("lblRegelnS"), 0, 4, 777, pdf::Align::Center, 7, false, kGray,
                               m_ranking.rules);
    footer.items << pdf::label(QStringLiteral("lblFooterS"), 0, 16, 777, pdf::Align::Center, 10, false, kGray,
                               kResultPageFooter);
}

pdf::Item& SeriesPage::gridItem(const QString& name) {
    return m_page.panel(kGridPanel).item(name);
}

void SeriesPage::PRPage2PrintPage() {
    for (const QString& name : kBoatItems) {
        gridItem(name).printable = true;
    }
    if (m_ranking.appendixA) {
        gridItem(kNetItem).printable = true;
    }
    pdf::Panel& columns = m_page.panel(kColumnHeaderPanel);
    for (int k = 1; k <= kRaceColumns; ++k) {
        const int race = m_firstRace + k;
        const bool shown = race <= m_ranking.races;
        gridItem(raceItem(k)).printable = shown;
        pdf::Item& title = columns.item(titleItem(k));
        title.printable = shown;
        title.text = u'(' + QString::number(race) + u')';
    }
}

void SeriesPage::PRGridPanel2BeforePrintChild(int, int, const QRectF&) {
    if (m_next >= m_ranking.rows.rows.size()) {
        for (pdf::Item& item : m_page.panel(kGridPanel).items) {
            item.printable = false;
        }
        return;
    }
    const QStringList& row = m_ranking.rows.rows[m_next];
    gridItem(kBoatItems[1]).text = row.value(SailNumber);
    gridItem(kBoatItems[2]).text = row.value(Boat);
    gridItem(kBoatItems[3]).text = row.value(Name);
    gridItem(kBoatItems[4]).text = row.value(Total);
    if (m_ranking.appendixA) {
        gridItem(kNetItem).text = row.value(fieldColumn(m_ranking.rows.fields, kNetto));
    }
    for (int k = 1; k <= kRaceColumns && m_firstRace + k <= m_ranking.races; ++k) {
        gridItem(raceItem(k)).text = row.value(kSeriesFixedFields + m_firstRace + k - 1);
    }
    gridItem(kBoatItems[0]).text = m_ranking.places.value(m_next);
    ++m_next;
}

void SeriesPage::PRLayoutPanel4BeforePrint() {
    m_page.panel(kHeaderPanel).item(QStringLiteral("txtHeaderS")).text =
        m_ranking.caption + QStringLiteral(" - ") + reportDateTime(m_clock.now());
}

QList<pdf::Page> SeriesPage::pages() {
    QList<pdf::Page> pages;
    // One block of pages per ten races; each block ranks every boat again, with the same places.
    for (m_firstRace = 0; m_firstRace == 0 || m_firstRace < m_ranking.races; m_firstRace += kRaceColumns) {
        m_next = 0;
        while (m_next < m_ranking.rows.rows.size()) {
            PRPage2PrintPage();
            pages << pdf::layoutPage(m_page);
        }
    }
    return pages;
}

QList<pdf::Page> seriesPdfPages(const Result& ranking, const Clock& clock) {
    return SeriesPage(ranking, clock).pages();
}

QByteArray seriesPdf(const Result& ranking, const Clock& clock) {
    pdf::Document document;
    document.begin(resultDocumentInfo(clock.now()));
    for (const pdf::Page& page : seriesPdfPages(ranking, clock)) {
        document.addPage(page);
    }
    return document.end(clock.now());
}

} // namespace wm

#include "series/SeriesPage.h"

#include "reports/ResultPage.h"
#include "series/SeriesReport.h"
#include "series/SeriesStore.h"

namespace wm {

namespace {

const QColor kGray(128, 128, 128);

// Race titles (left edges, 25 wide) and race values (right edges) of the ten race columns.
constexpr double kTitleX[SeriesPage::kRaceColumns] = {400, 431, 462, 493, 524, 555, 586, 617, 648, 680};
constexpr double kValueRight[SeriesPage::kRaceColumns] = {414, 445, 477, 509, 539, 570, 601, 633, 664, 697};
constexpr double kRaceValueWidth = 25;

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

    pdf::Panel& columns = m_page.panel(kColumnHeaderPanel);
    const std::pair<const char*, double> captions[] = {
        {"Platz", 0}, {"Segelnr.", 32}, {"Bootsname", 120}, {"Name", 256}};
    for (qsizetype i = 0; i < std::ssize(captions); ++i) {
        const QString text = QString::fromLatin1(captions[i].first);
        const double next = i + 1 < std::ssize(captions) ? captions[i + 1].second : kTitleX[0];
        columns.items << pdf::label(QStringLiteral("lbl") + text, captions[i].second, 3, next - captions[i].second,
                                    pdf::Align::Left, 12, true, kGray, text);
    }
    for (int k = 1; k <= kRaceColumns; ++k) {
        columns.items << pdf::label(titleItem(k), kTitleX[k - 1], 2, 25, pdf::Align::Left, 12, true, kGray);
    }
    columns.items << pdf::label(QStringLiteral("lblGesamt"), 704, 2, 60, pdf::Align::Right, 12, true, kGray,
                                QStringLiteral("Gesamt"));

    pdf::Panel& grid = m_page.panel(kGridPanel);
    grid.items << pdf::label(kBoatItems[0], 0, 4, 22, pdf::Align::Right, 12, false, Qt::black);
    grid.items << pdf::textItem(kBoatItems[1], 30, 83) << pdf::textItem(kBoatItems[2], 126, 123)
               << pdf::textItem(kBoatItems[3], 262, 123);
    for (int k = 1; k <= kRaceColumns; ++k) {
        grid.items << pdf::label(raceItem(k), kValueRight[k - 1] - kRaceValueWidth, 4, kRaceValueWidth,
                                 pdf::Align::Right, 12, false, Qt::black);
    }
    grid.items << pdf::label(kBoatItems[4], 703, 4, 60, pdf::Align::Right, 12, false, Qt::black);
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

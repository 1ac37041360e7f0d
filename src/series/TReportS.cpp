#include "series/TReportS.h"

#include "series/SeriesReport.h"
#include "series/SeriesStore.h"
#include "store/Fields.h"

namespace wm {

namespace {

const QString kFont = QStringLiteral("Lucida Sans Unicode");
const QColor kGray(128, 128, 128);

constexpr double kRaceHeaderLeft[TReportS::kRaceColumns] = {122.77, 135.47, 148.17, 160.87, 173.57, 186.27, 198.97};
constexpr double kRaceValueRight[TReportS::kRaceColumns] = {124.88, 137.58, 150.28, 162.98, 175.68, 188.38, 201.08};

// Under Appendix A: ten race columns of cells such as "(6 DNC)" in smaller type, the total and the net total.
constexpr double kPlaceRaceLeft = 107.5;
constexpr double kPlaceRacePitch = 13.3;
constexpr double kPlaceRaceValue = 12; // right edge of a column's cells and header, from its left
constexpr double kPlaceTotalRight = 257;

ReportItem text(const QString& name, const QString& value, double x, double y, Qt::AlignmentFlag align,
                const QFont& font, const QColor& color) {
    ReportItem item;
    item.name = name;
    item.text = value;
    item.x = x;
    item.y = y;
    item.align = align;
    item.font = font;
    item.color = color;
    return item;
}

ReportItem fieldItem(const QString& name, const QString& fieldName, double x, Qt::AlignmentFlag align = Qt::AlignLeft) {
    ReportItem item = text(name, fieldName, x, 2.12, align, reportFont(kFont, 10), Qt::black);
    item.kind = ReportItem::Kind::Field;
    return item;
}

// A long sail number, boat or helmsman name is cut before the next column instead of running into it.
ReportItem clipped(ReportItem item, double width) {
    item.width = width;
    item.wrap = false;
    return item;
}

} // namespace

QString TReportS::raceHeader(int k) {
    return QStringLiteral("QRLabelR") + QString::number(k);
}

int TReportS::raceColumns(const Result& ranking) {
    return ranking.appendixA ? kPlaceRaceColumns : kRaceColumns;
}

ReportDesign TReportS::seriesDesign(bool appendixA) {
    ReportDesign design;
    design.orientation = QPageLayout::Landscape;
    design.margin = 10;

    ReportBand title{BandKind::Title, 9.26, {}};
    title.items << text(QStringLiteral("QRLabel1"), QStringLiteral("Wendemark"), 2.12, 2.12, Qt::AlignLeft,
                        reportFont(kFont, 14), kGray);
    ReportItem caption = text(kTitle, {}, 234.95, 4.23, Qt::AlignRight, reportFont(kFont, 10), kGray);
    caption.width = 234.95 - 171.45;
    title.items << caption;
    ReportItem when =
        text(QStringLiteral("QRSysData1"), {}, 273.84, 4.23, Qt::AlignRight, reportFont(kFont, 10), kGray);
    when.kind = ReportItem::Kind::DateTime;
    title.items << when;

    ReportBand header{BandKind::ColumnHeader, 8.47, {}};
    const QFont headerFont = reportFont(kFont, 10, true);
    auto headerCaption = [&](const QString& name, const QString& value, double x,
                             Qt::AlignmentFlag align = Qt::AlignLeft) {
        header.items << text(name, value, x, 2.12, align, headerFont, kGray);
    };
    // The boat columns: left edges and widths; under Appendix A narrower, to leave room for ten races.
    const double boatX[3] = {19.05, 46.57, appendixA ? 79.5 : 82.55};
    const double boatWidth[3] = {26.5, appendixA ? 32.0 : 35.0, appendixA ? 28.5 : 33.5};
    headerCaption(QStringLiteral("capPlatz"), QStringLiteral("Platz"), 4.23);
    headerCaption(QStringLiteral("capSegelnr"), QStringLiteral("Segelnummer"), boatX[0]);
    headerCaption(QStringLiteral("capBootsname"), QStringLiteral("Bootsname"), boatX[1]);
    headerCaption(QStringLiteral("capName"), QStringLiteral("Name"), boatX[2]);
    const int raceColumns = appendixA ? kPlaceRaceColumns : kRaceColumns;
    auto raceLeft = [&](int k) {
        return appendixA ? kPlaceRaceLeft + kPlaceRacePitch * (k - 1) : kRaceHeaderLeft[k - 1];
    };
    for (int k = 1; k <= raceColumns; ++k) {
        // Under Appendix A a header stands over the right edge of its cells, which are wider than its number.
        if (appendixA) {
            headerCaption(raceHeader(k), QString::number(k), raceLeft(k) + kPlaceRaceValue, Qt::AlignRight);
        } else {
            headerCaption(raceHeader(k), QString::number(k), raceLeft(k));
        }
        header.items.last().enabled = false;
    }
    headerCaption(QStringLiteral("capGesamt"), QStringLiteral("Gesamt"), appendixA ? kPlaceTotalRight : 272.79,
                  Qt::AlignRight);
    if (appendixA) {
        headerCaption(QStringLiteral("capNetto"), kNetto, 272.79, Qt::AlignRight);
    }

    ReportBand detail{BandKind::Detail, 8.47, {}};
    ReportItem place = fieldItem(QStringLiteral("cntPlatz"), appendixA ? kPlatz : QString(), 12.96, Qt::AlignRight);
    if (!appendixA) {
        place.kind = ReportItem::Kind::RowCount;
    }
    detail.items << place;
    detail.items << clipped(fieldItem(QStringLiteral("fldSegelnr"), field::SEGELNR, boatX[0]), boatWidth[0]);
    detail.items << clipped(fieldItem(QStringLiteral("fldBootsname"), field::BOOTSNAME, boatX[1]), boatWidth[1]);
    detail.items << clipped(fieldItem(QStringLiteral("fldName"), field::NAME, boatX[2]), boatWidth[2]);
    for (int k = 1; k <= raceColumns; ++k) {
        ReportItem value =
            fieldItem(QStringLiteral("fld") + raceColumn(k), raceColumn(k),
                      appendixA ? raceLeft(k) + kPlaceRaceValue : kRaceValueRight[k - 1], Qt::AlignRight);
        if (appendixA) {
            value.font = reportFont(kFont, 8);
        }
        detail.items << value;
    }
    detail.items << fieldItem(QStringLiteral("fldGesamt"), kPunkteTotal, appendixA ? kPlaceTotalRight + 0.26 : 273.05,
                              Qt::AlignRight);
    if (appendixA) {
        detail.items << fieldItem(QStringLiteral("fldNetto"), kNetto, 273.05, Qt::AlignRight);
    }

    ReportBand summary{BandKind::Summary, 8.47, {}};
    ReportItem races = text(kRaceList, {}, 2.12, 0, Qt::AlignLeft, reportFont(kFont, 8), kGray);
    races.width = 273.31;
    summary.items << races;

    // After the last row, before the race list that ends the report: how the totals come about, in small print.
    ReportBand rulesBand{BandKind::Summary, 6, {}};
    ReportItem rules = text(kRules, kSeriesRules, 2.12, 2.1, Qt::AlignLeft, reportFont(kFont, 7), kGray);
    rules.width = 273.31;
    rulesBand.items << rules;

    design.bands = {title, header, detail, rulesBand, summary};
    return design;
}

ReportDesign TReportS::design(const Result& ranking) {
    ReportDesign design = seriesDesign(ranking.appendixA);
    design.item(kTitle).text = ranking.caption;
    for (int k = 1; k <= raceColumns(ranking); ++k) {
        design.item(raceHeader(k)).enabled = k <= ranking.races;
    }
    design.item(kRaceList).text = ranking.raceList;
    design.item(kRules).text = ranking.rules;
    return design;
}

ReportLayout TReportS::layout(const Result& ranking, const QDateTime& now) {
    const ReportData& rows = ranking.rows;
    if (!rows.rows.isEmpty()) {
        return layoutReport(design(ranking), rows, now);
    }
    // The renderer prints no page without rows; one detail band with nothing in it gives the same page.
    ReportDesign empty = design(ranking);
    for (ReportBand& band : empty.bands) {
        if (band.kind == BandKind::Detail) {
            for (ReportItem& item : band.items) {
                item.enabled = false;
            }
        }
    }
    ReportData one = rows;
    one.rows.append(QStringList());
    return layoutReport(empty, one, now);
}

} // namespace wm

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

ReportDesign TReportS::seriesDesign() {
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
    headerCaption(QStringLiteral("capPlatz"), QStringLiteral("Platz"), 4.23);
    headerCaption(QStringLiteral("capSegelnr"), QStringLiteral("Segelnummer"), 19.05);
    headerCaption(QStringLiteral("capBootsname"), QStringLiteral("Bootsname"), 46.57);
    headerCaption(QStringLiteral("capName"), QStringLiteral("Name"), 82.55);
    for (int k = 1; k <= kRaceColumns; ++k) {
        headerCaption(raceHeader(k), QString::number(k), kRaceHeaderLeft[k - 1]);
        header.items.last().enabled = false;
    }
    headerCaption(QStringLiteral("capGesamt"), QStringLiteral("Gesamt"), 272.79, Qt::AlignRight);

    ReportBand detail{BandKind::Detail, 8.47, {}};
    ReportItem place = fieldItem(QStringLiteral("cntPlatz"), {}, 12.96, Qt::AlignRight);
    place.kind = ReportItem::Kind::RowCount;
    detail.items << place;
    detail.items << clipped(fieldItem(QStringLiteral("fldSegelnr"), field::SEGELNR, 19.05), 26.5);
    detail.items << clipped(fieldItem(QStringLiteral("fldBootsname"), field::BOOTSNAME, 46.57), 35);
    detail.items << clipped(fieldItem(QStringLiteral("fldName"), field::NAME, 82.55), 33.5);
    for (int k = 1; k <= kRaceColumns; ++k) {
        detail.items << fieldItem(QStringLiteral("fld") + raceColumn(k), raceColumn(k), kRaceValueRight[k - 1],
                                  Qt::AlignRight);
    }
    detail.items << fieldItem(QStringLiteral("fldGesamt"), kPunkteTotal, 273.05, Qt::AlignRight);

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
    ReportDesign design = seriesDesign();
    design.item(kTitle).text = ranking.caption;
    for (int k = 1; k <= kRaceColumns; ++k) {
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

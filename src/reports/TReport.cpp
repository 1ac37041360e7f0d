#include "TReport.h"

#include "reports/ResultPage.h"

namespace wm {

namespace {

const QString kFont = QStringLiteral("Lucida Sans Unicode");
const QColor kGray(128, 128, 128);

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

ReportItem fieldItem(const QString& name, const QString& fieldName, double x, Qt::AlignmentFlag align = Qt::AlignLeft,
                     double y = 2.1) {
    ReportItem item = text(name, fieldName, x, y, align, reportFont(kFont, 10), Qt::black);
    item.kind = ReportItem::Kind::Field;
    return item;
}

} // namespace

ReportDesign TReport::resultDesign() {
    ReportDesign design;
    design.orientation = QPageLayout::Landscape;
    design.margin = 10;

    ReportBand title{BandKind::Title, 9.3, {}};
    title.items << text(kProduct, QStringLiteral("Wendemark"), 2.1, 2.1, Qt::AlignLeft, reportFont(kFont, 14), kGray);
    ReportItem when = text(kDateTime, {}, 0, 0, Qt::AlignRight, reportFont(kFont, 10), kGray);
    when.kind = ReportItem::Kind::DateTime;
    when.fromRight = true;
    title.items << when;
    ReportItem caption = text(kTitle, {}, 0, 4.2, Qt::AlignRight, reportFont(kFont, 10), kGray);
    caption.fromRight = true;
    caption.width = 103.7;
    title.items << caption;

    ReportBand header{BandKind::ColumnHeader, 8.5, {}};
    const QFont headerFont = reportFont(kFont, 11, true);
    auto headerCaption = [&](const QString& name, const QString& value, double x,
                             Qt::AlignmentFlag align = Qt::AlignLeft) {
        header.items << text(name, value, x, 2.1, align, headerFont, kGray);
    };
    headerCaption(kPlaceCaption, QStringLiteral("Platz"), 14.0, Qt::AlignRight);
    headerCaption(QStringLiteral("capSegelnr"), QStringLiteral("Segelnr."), 19.05);
    headerCaption(QStringLiteral("capBootsname"), QStringLiteral("Bootsname"), 46.6);
    headerCaption(QStringLiteral("capName"), QStringLiteral("Name"), 82.55);
    headerCaption(QStringLiteral("capYS"), QStringLiteral("YS"), 122.8);
    headerCaption(kElapsedCaption, QStringLiteral("Ges. Zeit"), 135.5);
    headerCaption(kCorrectedCaption, QStringLiteral("Ber. Zeit"), 158.75);

    ReportBand detail{BandKind::Detail, 8.5, {}};
    detail.items << fieldItem(kPoints, QStringLiteral("Punkte"), 13.8, Qt::AlignRight);
    ReportItem counter = fieldItem(kRunningNumber, {}, 13.8, Qt::AlignRight);
    counter.kind = ReportItem::Kind::RowCount;
    counter.enabled = false;
    detail.items << counter;
    // A long sail number, boat or helmsman name is cut before the next column instead of running into it.
    auto clipped = [](ReportItem item, double width) {
        item.width = width;
        item.wrap = false;
        return item;
    };
    detail.items << clipped(fieldItem(QStringLiteral("fldSegelnr"), QStringLiteral("Segelnr"), 19.05), 26.5);
    detail.items << clipped(fieldItem(QStringLiteral("fldBootsname"), QStringLiteral("Bootsname"), 46.6), 35);
    detail.items << clipped(fieldItem(QStringLiteral("fldName"), QStringLiteral("Name"), 82.55), 33.5);
    detail.items << fieldItem(QStringLiteral("fldYS"), QStringLiteral("YS"), 127.0, Qt::AlignRight);
    // The times wrap in a box that ends before the next column, growing the row rather than overlapping.
    ReportItem elapsed = fieldItem(QStringLiteral("fldGZeit"), QStringLiteral("GZEIT"), 135.5, Qt::AlignLeft, 1.85);
    elapsed.width = 22;
    ReportItem corrected = fieldItem(QStringLiteral("fldBZeit"), QStringLiteral("BZEIT"), 158.75, Qt::AlignLeft, 1.85);
    corrected.width = 22;
    detail.items << elapsed << corrected;

    // After the last row: how the result was computed, in small print across the band.
    ReportBand summary{BandKind::Summary, 6, {}};
    ReportItem rules = text(kRules, kRaceRules, 0, 2.1, Qt::AlignLeft, reportFont(kFont, 7), kGray);
    rules.width = design.bandWidth();
    summary.items << rules;

    design.bands = {title, header, detail, summary};
    return design;
}

ReportDesign TReport::design(const Result& result) {
    ReportDesign design = resultDesign();
    design.item(kTitle).text = result.caption;
    design.item(kPoints).enabled = result.pointsAsPlace;
    design.item(kRunningNumber).enabled = !result.pointsAsPlace;
    design.item(kRules).text = result.rules;
    return design;
}

ReportLayout TReport::layout(const Result& result, const QDateTime& now) {
    return layoutReport(design(result), result.rows, now);
}

ReportDesign TReport::participantList(const QString& raceName) {
    ReportDesign list = resultDesign();
    list.item(kPoints).enabled = false;
    list.item(kRunningNumber).enabled = true;
    ReportItem& place = list.item(kPlaceCaption);
    place.text = QStringLiteral("#");
    place.align = Qt::AlignRight;
    list.item(kElapsedCaption).enabled = false;
    list.item(kCorrectedCaption).enabled = false;
    list.item(kTitle).text = QStringLiteral("Teilnehmer: ") + raceName;
    list.item(kRules).enabled = false;
    list.orientation = QPageLayout::Portrait;
    return list;
}

} // namespace wm

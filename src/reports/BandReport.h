#pragma once

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;

namespace wm {

// A printed report as a design of bands and items. Laying it out over rows gives positioned text lines
// (which text, font, box and page) that tests check as data; paintReport() only puts those lines on paper.
// All measures are millimetres.

enum class BandKind { Title, ColumnHeader, Detail, Summary };

struct ReportItem {
    enum class Kind {
        Text,     // `text` as it stands
        Field,    // the value of the field named `text` in the current row (letter case ignored)
        RowCount, // how many detail rows are printed so far, the current one included
        DateTime  // when the report is laid out
    };
    QString name; // how handlers find the item to change it
    Kind kind = Kind::Text;
    QString text;
    double x = 0; // left edge of a left-aligned item, right edge of a right-aligned one
    double y = 0; // top, from the band's top
    Qt::AlignmentFlag align = Qt::AlignLeft;
    bool fromRight = false; // x counts leftwards from the band's right edge
    double width = 0;       // 0: one line as wide as its text; otherwise the text wraps in a box this wide
    bool wrap = true;       // false: one line, cut where it reaches the box's right edge
    QFont font;
    QColor color = Qt::black;
    bool enabled = true;
};

struct ReportBand {
    BandKind kind = BandKind::Detail;
    double height = 0;
    QList<ReportItem> items;
};

struct ReportDesign {
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
    double margin = 10;
    QList<ReportBand> bands;

    QPageLayout pageLayout() const;
    QSizeF paperSize() const;
    double bandWidth() const { return paperSize().width() - 2 * margin; }
    // The item of that name in any band; throws std::out_of_range for a name the design lacks.
    ReportItem& item(const QString& name);
    const ReportItem& item(const QString& name) const;
};

// What a report is laid out over: field names and, per row, the values as they are shown.
struct ReportData {
    QStringList fields;
    QList<QStringList> rows;
};

// A font for reports: unhinted, so that a text measures the same on every paint device.
QFont reportFont(const QString& family, double pointSize, bool underline = false);
// Date and time as the German desktop shows them, e.g. "24.12.2024 18:10:05".
QString reportDateTime(const QDateTime& when);

struct LaidText {
    int page = 0;
    QString text;
    QFont font;
    QColor color;
    QRectF box; // from the paper's top-left corner
    Qt::AlignmentFlag align = Qt::AlignLeft;
};

struct ReportLayout {
    QPageLayout pageLayout;
    int pageCount = 0;
    QList<LaidText> texts; // in page order
};

// Text width and line height in millimetres.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual double width(const QFont& font, const QString& text) const = 0;
    virtual double lineHeight(const QFont& font) const = 0;
};
const TextMeasure& defaultTextMeasure();

// The longest beginning of `text` that fits in `width`.
QString fitText(const QString& text, const QFont& font, double width, const TextMeasure& measure);
// Lines of `text` that fit in `width` (words broken only when a single word is too long).
QStringList wrapText(const QString& text, const QFont& font, double width, const TextMeasure& measure);

// The title band on the first page, the column header on every page, one detail band per row, the summary
// band after the last row. No rows, no pages.
ReportLayout layoutReport(const ReportDesign& design, const ReportData& data, const QDateTime& now,
                          const TextMeasure& measure = defaultTextMeasure());

// Paints the laid-out pages onto a printer or PDF writer whose page layout has been set.
void paintReport(const ReportLayout& layout, QPagedPaintDevice& device);

} // namespace wm

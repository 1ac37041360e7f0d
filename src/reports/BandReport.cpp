#include "BandReport.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <stdexcept>

namespace wm {

namespace {

constexpr int kMeasureDpi = 1200;
constexpr double kMmPerInch = 25.4;

// Measures on a 1200 dpi image: with hinting off, widths scale linearly to any printer resolution.
class ImageMeasure : public TextMeasure {
public:
    ImageMeasure() : m_image(1, 1, QImage::Format_ARGB32) {
        const int dotsPerMeter = qRound(kMeasureDpi / kMmPerInch * 1000.0);
        m_image.setDotsPerMeterX(dotsPerMeter);
        m_image.setDotsPerMeterY(dotsPerMeter);
    }
    double width(const QFont& font, const QString& text) const override {
        return metrics(font).horizontalAdvance(text) * kMmPerInch / kMeasureDpi;
    }
    double lineHeight(const QFont& font) const override { return metrics(font).height() * kMmPerInch / kMeasureDpi; }

private:
    const QFontMetricsF& metrics(const QFont& font) const {
        const QString key = font.key();
        auto it = m_metrics.find(key);
        if (it == m_metrics.end()) {
            it = m_metrics.insert(key, QFontMetricsF(font, &m_image));
        }
        return *it;
    }

    QImage m_image;
    mutable QHash<QString, QFontMetricsF> m_metrics;
};

struct RowContext {
    const QStringList* values = nullptr;
    const QHash<QString, int>* fieldIndex = nullptr;
    int count = 0;
    QString now;
};

QString itemText(const ReportItem& item, const RowContext& row) {
    switch (item.kind) {
    case ReportItem::Kind::Text:
        return item.text;
    case ReportItem::Kind::Field: {
        if (!row.values) {
            return {};
        }
        const int index = row.fieldIndex->value(item.text.toLower(), -1);
        return index < 0 ? QString() : row.values->value(index);
    }
    case ReportItem::Kind::RowCount:
        return QString::number(row.count);
    case ReportItem::Kind::DateTime:
        return row.now;
    }
    return {};
}

struct PlacedBand {
    QList<LaidText> texts;
    double height = 0;
};

PlacedBand placeBand(const ReportBand& band, double bandWidth, const RowContext& row, const TextMeasure& measure) {
    PlacedBand placed;
    placed.height = band.height;
    for (const ReportItem& item : band.items) {
        if (!item.enabled) {
            continue;
        }
        const QString text = itemText(item, row);
        QStringList lines{text};
        if (item.width > 0) {
            lines = item.wrap ? wrapText(text, item.font, item.width, measure)
                              : QStringList{fitText(text, item.font, item.width, measure)};
        }
        const double lineHeight = measure.lineHeight(item.font);
        const double anchor = item.fromRight ? bandWidth - item.x : item.x;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].isEmpty()) {
                continue;
            }
            const double width = item.width > 0 ? item.width : measure.width(item.font, lines[i]);
            const double left = item.align == Qt::AlignRight ? anchor - width : anchor;
            placed.texts.append({0, lines[i], item.font, item.color,
                                 QRectF(left, item.y + double(i) * lineHeight, width, lineHeight), item.align});
        }
        // A wrapped item pushes the band's lower edge down by the lines it adds.
        placed.height =
            std::max(placed.height, band.height + double(std::max<qsizetype>(lines.size() - 1, 0)) * lineHeight);
    }
    return placed;
}

} // namespace

QSizeF ReportDesign::paperSize() const {
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? a4.transposed() : a4;
}

QPageLayout ReportDesign::pageLayout() const {
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(margin, margin, margin, margin),
                       QPageLayout::Millimeter);
}

ReportItem& ReportDesign::item(const QString& name) {
    // Non-const access detaches the implicitly shared bands, so a copy of a design is changed alone.
    for (ReportBand& band : bands) {
        for (ReportItem& it : band.items) {
            if (it.name == name) {
                return it;
            }
        }
    }
    throw std::out_of_range("report item " + name.toStdString());
}

const ReportItem& ReportDesign::item(const QString& name) const {
    for (const ReportBand& band : bands) {
        for (const ReportItem& it : band.items) {
            if (it.name == name) {
                return it;
            }
        }
    }
    throw std::out_of_range("report item " + name.toStdString());
}

QFont reportFont(const QString& family, double pointSize, bool underline) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setUnderline(underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

QString reportDateTime(const QDateTime& when) {
    return QLocale().toString(when, QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

const TextMeasure& defaultTextMeasure() {
    static const ImageMeasure measure;
    return measure;
}

QString fitText(const QString& text, const QFont& font, double width, const TextMeasure& measure) {
    qsizetype length = text.size();
    while (length > 0 && measure.width(font, text.left(length)) > width + 1e-9) {
        --length;
    }
    return text.left(length);
}

QStringList wrapText(const QString& text, const QFont& font, double width, const TextMeasure& measure) {
    QStringList lines;
    QString line;
    auto fits = [&](const QString& candidate) { return measure.width(font, candidate) <= width + 1e-9; };
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + u' ' + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty()) {
            lines << line;
            line.clear();
        }
        // A word wider than the box is broken where it reaches the edge.
        for (const QChar c : word) {
            if (!line.isEmpty() && !fits(line + c)) {
                lines << line;
                line.clear();
            }
            line += c;
        }
    }
    if (!line.isEmpty()) {
        lines << line;
    }
    return lines;
}

ReportLayout layoutReport(const ReportDesign& design, const ReportData& data, const QDateTime& now,
                          const TextMeasure& measure) {
    ReportLayout layout;
    layout.pageLayout = design.pageLayout();
    if (data.rows.isEmpty()) {
        return layout;
    }
    QHash<QString, int> fieldIndex;
    for (qsizetype i = 0; i < data.fields.size(); ++i) {
        fieldIndex.insert(data.fields[i].toLower(), int(i));
    }
    RowContext context{nullptr, &fieldIndex, 0, reportDateTime(now)};
    auto bandsOf = [&](BandKind kind) {
        QList<const ReportBand*> result;
        for (const ReportBand& band : design.bands) {
            if (band.kind == kind) {
                result << &band;
            }
        }
        return result;
    };
    const QList<const ReportBand*> titles = bandsOf(BandKind::Title);
    const QList<const ReportBand*> headers = bandsOf(BandKind::ColumnHeader);
    const QList<const ReportBand*> details = bandsOf(BandKind::Detail);
    const QList<const ReportBand*> summaries = bandsOf(BandKind::Summary);

    const double bandWidth = design.bandWidth();
    const double bottom = design.paperSize().height() - design.margin;
    int page = 0;
    double y = design.margin;
    auto put = [&](const PlacedBand& placed) {
        for (LaidText text : placed.texts) {
            text.page = page;
            text.box.translate(design.margin, y);
            layout.texts.append(std::move(text));
        }
        y += placed.height;
    };
    auto place = [&](const ReportBand* band) { return placeBand(*band, bandWidth, context, measure); };
    auto startPage = [&] {
        for (const ReportBand* band : headers) {
            put(place(band));
        }
    };
    auto fitsOnPage = [&](double height) { return y + height <= bottom + 1e-9; };

    for (const ReportBand* band : titles) {
        put(place(band));
    }
    startPage();
    int onPage = 0;
    for (qsizetype r = 0; r < data.rows.size(); ++r) {
        context.values = &data.rows[r];
        context.count = int(r + 1);
        QList<PlacedBand> placed;
        double height = 0;
        for (const ReportBand* band : details) {
            placed << place(band);
            height += placed.last().height;
        }
        if (onPage > 0 && !fitsOnPage(height)) {
            ++page;
            y = design.margin;
            startPage();
            onPage = 0;
        }
        for (const PlacedBand& p : placed) {
            put(p);
        }
        ++onPage;
    }
    context.values = nullptr;
    for (const ReportBand* band : summaries) {
        const PlacedBand placed = place(band);
        if (!fitsOnPage(placed.height)) {
            ++page;
            y = design.margin;
            startPage();
        }
        put(placed);
    }
    layout.pageCount = page + 1;
    return layout;
}

void paintReport(const ReportLayout& layout, QPagedPaintDevice& device) {
    if (layout.pageCount == 0) {
        return;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        return; // the printer reports its own failure; nothing here may throw into its event loop
    }
    const int resolution = device.logicalDpiX();
    const double scale = resolution / kMmPerInch;
    // Outside full-page mode the device's origin sits at its margins; positions stay the paper's either way.
    const QPointF origin = device.pageLayout().paintRectPixels(resolution).topLeft();
    const int flags = int(Qt::AlignTop) | int(Qt::TextSingleLine) | int(Qt::TextDontClip);
    int page = 0;
    for (const LaidText& text : layout.texts) {
        for (; page < text.page; ++page) {
            device.newPage();
        }
        painter.setFont(text.font);
        painter.setPen(text.color);
        const QRectF box(text.box.x() * scale - origin.x(), text.box.y() * scale - origin.y(), text.box.width() * scale,
                         text.box.height() * scale);
        painter.drawText(box, flags | int(text.align), text.text);
    }
    for (; page < layout.pageCount - 1; ++page) {
        device.newPage();
    }
}

} // namespace wm

#include "series/SeriesReport.h"

#include "store/Fields.h"
#include "store/Filter.h"
#include "store/Table.h"

namespace wm {

const QString kTooManyRacesMessage =
    QStringLiteral("Mehr als 7 Wettfahrten können zur Zeit leider noch nicht auf einem Report dargestellt werden\n"
                   "Für Softwareupdates wenden Sie sich per eMail an info@wendemark.example");

namespace {

Filter selectionFilter(const SeriesSelection& selection) {
    switch (selection.kind) {
    case SeriesSelection::Kind::All:
        return {};
    case SeriesSelection::Kind::Type:
        return Filter::equals(field::TYP, selection.type);
    case SeriesSelection::Kind::Range:
        return Filter::between(field::YS, parseNumber(selection.low), parseNumber(selection.high));
    }
    return {};
}

QString fileNamePart(QString text) {
    text.replace(u'/', u'-');
    text.replace(u'\\', u'-');
    return text;
}

} // namespace

ReportData seriesRows(const Table& series, const SeriesSelection& selection) {
    ReportData data;
    for (const FieldDef& f : series.fields()) {
        data.fields << f.name;
    }
    for (const Table::Row& row : series.select(selectionFilter(selection), false, {kPunkteTotal})) {
        QStringList values;
        for (const QVariant& value : row.values) {
            values << displayText(value);
        }
        data.rows << values;
    }
    return data;
}

QString seriesPrintedTitle(const QString& series, const SeriesSelection& selection) {
    switch (selection.kind) {
    case SeriesSelection::Kind::All:
        return series;
    case SeriesSelection::Kind::Type:
        return series + QStringLiteral(" (") + selection.type + u')';
    case SeriesSelection::Kind::Range:
        return series + QStringLiteral(" (YS ") + selection.low + QStringLiteral(" bis ") + selection.high + u')';
    }
    return series;
}

QString seriesPdfHeader(const QString& series, const SeriesSelection& selection) {
    if (selection.kind == SeriesSelection::Kind::Range) {
        return series + QStringLiteral(" (YS") + selection.low + u'-' + selection.high + u')';
    }
    return seriesPrintedTitle(series, selection);
}

QString seriesPdfName(const QString& series, const SeriesSelection& selection) {
    QString name = QStringLiteral("Serie_") + series;
    if (selection.kind == SeriesSelection::Kind::Type) {
        name += u'_' + fileNamePart(selection.type);
    } else if (selection.kind == SeriesSelection::Kind::Range) {
        name += u'_' + fileNamePart(selection.low) + u'-' + fileNamePart(selection.high);
    }
    return name + QStringLiteral(".pdf");
}

QString raceListLine(const QStringList& raceLines) {
    return raceLines.join(QStringLiteral(" | "));
}

} // namespace wm

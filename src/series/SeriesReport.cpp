#include "series/SeriesReport.h"

#include "reports/CsvExport.h"
#include "reports/ResultPage.h"
#include "series/SeriesPage.h"
#include "store/Fields.h"
#include "store/Filter.h"
#include "store/Table.h"

namespace wm {

const QString kTooManyRacesMessage =
    QStringLiteral("Mehr als 7 Wettfahrten können zur Zeit leider noch nicht auf einem Report dargestellt werden\n"
                   "Für Softwareupdates wenden Sie sich per eMail an info@wendemark.example");

const QString kSeriesRules =
    QStringLiteral("Gesamt = Summe der Wettfahrtpunkte · nicht gesegelt: Zahl der Gemeldeten dieser Wettfahrt + 1");

namespace {

// Positions of the fixed fields in a series row (seriesFields()).
enum SeriesField { SailNumber = 0, Boat = 1, Name = 4, Total = 5 };

// Place, sail number, boat name, helmsman, the race points, total: one row of the web page and the CSV file.
QList<QStringList> rankingRows(const Result& ranking) {
    const ReportData& rows = ranking.rows;
    const QStringList& places = ranking.places;
    const int races = ranking.races;
    QList<QStringList> result;
    result.reserve(rows.rows.size());
    for (qsizetype r = 0; r < rows.rows.size(); ++r) {
        const QStringList& row = rows.rows[r];
        QStringList line{places[r], row.value(SailNumber), row.value(Boat), row.value(Name)};
        for (int k = 0; k < races; ++k) {
            line << row.value(kSeriesFixedFields + k);
        }
        line << row.value(Total);
        result << line;
    }
    return result;
}

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

QString noBoatsMessage(const QString& series, const SeriesSelection& selection) {
    const QString nothing = QStringLiteral("Es wurde kein PDF geschrieben.");
    switch (selection.kind) {
    case SeriesSelection::Kind::Type:
        return QStringLiteral("Die Serie '%1' hat kein Boot vom Typ '%2'. %3").arg(series, selection.type, nothing);
    case SeriesSelection::Kind::Range:
        return QStringLiteral("Die Serie '%1' hat kein Boot mit einem Yardstick von %2 bis %3. %4")
            .arg(series, selection.low, selection.high, nothing);
    case SeriesSelection::Kind::All:
        break;
    }
    return QStringLiteral("Die Serie '%1' hat noch keine Boote. %2").arg(series, nothing);
}

Result seriesResult(const Table& series, const SeriesSelection& selection, const QString& caption,
                    const QString& raceList) {
    Result result;
    result.kind = Result::Kind::Series;
    result.caption = caption;
    result.rows = seriesRows(series, selection);
    for (qsizetype r = 0; r < result.rows.rows.size(); ++r) {
        result.places << QString::number(r + 1);
    }
    result.pointsAsPlace = false;
    result.races = raceCount(series);
    result.raceList = raceList;
    result.rules = kSeriesRules;
    return result;
}

HtmlResult seriesHtml(const Result& ranking, const QDateTime& now) {
    const QString& header = ranking.caption;
    HtmlResult page;
    page.title = header;
    page.product = QStringLiteral("Wendemark");
    page.header = header + QStringLiteral(" - ") + reportDateTime(now);
    page.columns = {QStringLiteral("Platz"), QStringLiteral("Segelnr."), QStringLiteral("Bootsname"),
                    QStringLiteral("Name")};
    page.alignRight = {true, false, false, false};
    for (int k = 1; k <= ranking.races; ++k) {
        page.columns << u'(' + QString::number(k) + u')';
        page.alignRight << true;
    }
    page.columns << QStringLiteral("Gesamt");
    page.alignRight << true;
    page.rows = rankingRows(ranking);
    if (!ranking.raceList.isEmpty()) {
        page.notes << ranking.raceList;
    }
    page.notes << ranking.rules << kResultPageFooter;
    return page;
}

QStringList seriesCsvHeader(int races) {
    QStringList header{QStringLiteral("Platz"), QStringLiteral("Segelnummer"), QStringLiteral("Bootsname"),
                       QStringLiteral("Name")};
    for (int k = 1; k <= races; ++k) {
        header << QStringLiteral("WF ") + QString::number(k);
    }
    header << QStringLiteral("Gesamt");
    return header;
}

QList<QStringList> seriesCsvRows(const Result& ranking) {
    return rankingRows(ranking);
}

QByteArray seriesCsv(const Result& ranking) {
    return csvFile(seriesCsvHeader(ranking.races), seriesCsvRows(ranking));
}

ResultFiles seriesFiles(const Result& ranking, const Clock& clock) {
    QByteArray pdf = seriesPdf(ranking, clock);
    return {std::move(pdf), htmlPage(seriesHtml(ranking, clock.now())), seriesCsv(ranking)};
}

QString raceListLine(const QStringList& raceLines) {
    return raceLines.join(QStringLiteral(" | "));
}

} // namespace wm

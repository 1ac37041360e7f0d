#include "series/SeriesReport.h"

#include "reports/CsvExport.h"
#include "reports/ResultPage.h"
#include "series/SeriesPage.h"
#include "store/Fields.h"
#include "store/Filter.h"
#include "store/Table.h"

#include <QHash>

#include <algorithm>

namespace wm {

const QString kTooManyRacesMessage =
    QStringLiteral("Mehr als 7 Wettfahrten können zur Zeit leider noch nicht auf einem Report dargestellt werden\n"
                   "Für Softwareupdates wenden Sie sich per eMail an info@wendemark.example");

const QString kTooManyPlacedRacesMessage =
    QStringLiteral("Der gedruckte Report zeigt die ersten 10 Wettfahrten der Serie.\n"
                   "Der PDF-Report, die Webseite und die CSV-Datei zeigen alle Wettfahrten.");

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
        if (ranking.appendixA) {
            line << row.value(fieldColumn(rows.fields, kNetto));
        }
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

namespace {

QStringList fieldNames(const Table& series) {
    QStringList names;
    for (const FieldDef& f : series.fields()) {
        names << f.name;
    }
    return names;
}

QStringList shownValues(const Table::Row& row) {
    QStringList values;
    for (const QVariant& value : row.values) {
        values << displayText(value);
    }
    return values;
}

// Every boat of the series scored, the selected ones ranked; the race cells, totals and places as shown.
void scoreByPlace(Result& result, const Table& series, const SeriesSelection& selection, const SeriesRules& rules) {
    QHash<qint64, qsizetype> boatAt;
    for (const qint64 rowid : series.selectRowids()) {
        boatAt.insert(rowid, boatAt.size());
    }
    const QList<BoatStanding> standings = scoreAppendixA(seriesRaceEntries(series), rules);
    QList<Table::Row> rows = series.select(selectionFilter(selection));
    auto standing = [&](const Table::Row& row) -> const BoatStanding& { return standings[boatAt.value(row.rowid)]; };
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const Table::Row& a, const Table::Row& b) { return standing(a).place < standing(b).place; });

    result.rows.fields = fieldNames(series) << kNetto << kPlatz;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const BoatStanding& boat = standing(rows[r]);
        const bool tied = r > 0 && standing(rows[r - 1]).place == boat.place;
        result.places << (tied ? result.places.last() : QString::number(r + 1));
        QStringList values = shownValues(rows[r]);
        for (qsizetype k = 0; k < boat.races.size(); ++k) {
            values[kSeriesFixedFields + k] = raceCellText(boat.races[k]);
        }
        values[Total] = pointsText(boat.total);
        values << pointsText(boat.net) << result.places.last();
        result.rows.rows << values;
    }
}

} // namespace

ReportData seriesRows(const Table& series, const SeriesSelection& selection) {
    ReportData data;
    data.fields = fieldNames(series);
    for (const Table::Row& row : series.select(selectionFilter(selection), false, {kPunkteTotal})) {
        data.rows << shownValues(row);
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
                    const QString& raceList, const SeriesRules& rules) {
    Result result;
    result.kind = Result::Kind::Series;
    result.caption = caption;
    result.pointsAsPlace = false;
    result.races = raceCount(series);
    result.raceList = raceList;
    if (rules.kind == SeriesRules::Kind::AppendixA) {
        result.appendixA = true;
        result.rules = seriesRulesLine(rules);
        scoreByPlace(result, series, selection, rules);
        return result;
    }
    result.rows = seriesRows(series, selection);
    for (qsizetype r = 0; r < result.rows.rows.size(); ++r) {
        result.places << QString::number(r + 1);
    }
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
    if (ranking.appendixA) {
        page.columns << kNetto;
        page.alignRight << true;
    }
    page.rows = rankingRows(ranking);
    if (!ranking.raceList.isEmpty()) {
        page.notes << ranking.raceList;
    }
    page.notes << ranking.rules << kResultPageFooter;
    return page;
}

QStringList seriesCsvHeader(int races, bool appendixA) {
    QStringList header{QStringLiteral("Platz"), QStringLiteral("Segelnummer"), QStringLiteral("Bootsname"),
                       QStringLiteral("Name")};
    for (int k = 1; k <= races; ++k) {
        header << QStringLiteral("WF ") + QString::number(k);
    }
    header << QStringLiteral("Gesamt");
    if (appendixA) {
        header << kNetto;
    }
    return header;
}

QList<QStringList> seriesCsvRows(const Result& ranking) {
    return rankingRows(ranking);
}

QByteArray seriesCsv(const Result& ranking) {
    return csvFile(seriesCsvHeader(ranking.races, ranking.appendixA), seriesCsvRows(ranking));
}

ResultFiles seriesFiles(const Result& ranking, const Clock& clock) {
    QByteArray pdf = seriesPdf(ranking, clock);
    return {std::move(pdf), htmlPage(seriesHtml(ranking, clock.now())), seriesCsv(ranking)};
}

QString raceListLine(const QStringList& raceLines) {
    return raceLines.join(QStringLiteral(" | "));
}

} // namespace wm

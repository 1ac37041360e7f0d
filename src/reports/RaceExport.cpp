#include "RaceExport.h"

#include "reports/CsvExport.h"
#include "reports/ResultPage.h"
#include "store/Fields.h"
#include "timing/TimeMath.h"

namespace wm {

namespace {

// Column positions of the race table's fields in a result row, found by name.
struct Columns {
    explicit Columns(const QStringList& fields) {
        auto at = [&fields](const QString& wanted) {
            for (qsizetype i = 0; i < fields.size(); ++i) {
                if (fields[i].compare(wanted, Qt::CaseInsensitive) == 0) {
                    return i;
                }
            }
            return qsizetype(-1);
        };
        sail = at(field::SEGELNR);
        boat = at(field::BOOTSNAME);
        name = at(field::NAME);
        type = at(field::TYP);
        ys = at(field::YS);
        start = at(field::START);
        elapsed = at(field::GZEIT);
        corrected = at(field::BZEIT);
        points = at(field::Punkte);
    }
    qsizetype sail, boat, name, type, ys, start, elapsed, corrected, points;
};

QString codeOf(const QString& elapsed) {
    return elapsed == kDnf || elapsed == kDsq ? elapsed : QString();
}

} // namespace

QStringList racePlaces(const ReportData& results, bool pointsAsPlace, int firstPlace) {
    const Columns c(results.fields);
    QStringList places;
    places.reserve(results.rows.size());
    int counter = firstPlace;
    for (const QStringList& row : results.rows) {
        places << (pointsAsPlace ? row.value(c.points) : QString::number(counter));
        ++counter;
    }
    return places;
}

HtmlResult raceHtml(const ReportData& results, const QString& caption, const QDateTime& now, bool pointsAsPlace,
                    int firstPlace) {
    const Columns c(results.fields);
    HtmlResult page;
    page.title = caption;
    page.product = QStringLiteral("Wendemark");
    page.header = caption + QStringLiteral(" - ") + reportDateTime(now);
    page.columns = {QStringLiteral("Platz"),   QStringLiteral("Segelnr."), QStringLiteral("Bootsname"),
                    QStringLiteral("Name"),    QStringLiteral("YS"),       QStringLiteral("Ges.Zeit"),
                    QStringLiteral("Ber.Zeit")};
    page.alignRight = {true, false, false, false, true, false, false};
    const QStringList places = racePlaces(results, pointsAsPlace, firstPlace);
    page.rows.reserve(results.rows.size());
    for (qsizetype r = 0; r < results.rows.size(); ++r) {
        const QStringList& row = results.rows[r];
        page.rows << QStringList{places[r],       row.value(c.sail),    row.value(c.boat),     row.value(c.name),
                                 row.value(c.ys), row.value(c.elapsed), row.value(c.corrected)};
    }
    page.notes = {kRaceRules, kResultPageFooter};
    return page;
}

QStringList raceCsvHeader() {
    return {QStringLiteral("Platz"),
            QStringLiteral("Segelnummer"),
            QStringLiteral("Bootsname"),
            QStringLiteral("Name"),
            QStringLiteral("Typ"),
            QStringLiteral("Yardstick"),
            QStringLiteral("Start"),
            QStringLiteral("Gesegelte Zeit"),
            QStringLiteral("Berechnete Zeit"),
            QStringLiteral("Punkte"),
            QStringLiteral("Code")};
}

QList<QStringList> raceCsvRows(const ReportData& results, bool pointsAsPlace, int firstPlace) {
    const Columns c(results.fields);
    const QStringList places = racePlaces(results, pointsAsPlace, firstPlace);
    QList<QStringList> rows;
    rows.reserve(results.rows.size());
    for (qsizetype r = 0; r < results.rows.size(); ++r) {
        const QStringList& row = results.rows[r];
        const QString code = codeOf(row.value(c.elapsed));
        // A code stands only in its own column, so that a time column never mixes times and codes.
        const QString elapsed = code.isEmpty() ? row.value(c.elapsed) : QString();
        const QString corrected = code.isEmpty() ? row.value(c.corrected) : QString();
        rows << QStringList{places[r],
                            row.value(c.sail),
                            row.value(c.boat),
                            row.value(c.name),
                            row.value(c.type),
                            row.value(c.ys),
                            row.value(c.start),
                            elapsed,
                            corrected,
                            row.value(c.points),
                            code};
    }
    return rows;
}

QByteArray raceCsv(const ReportData& results, bool pointsAsPlace, int firstPlace) {
    return csvFile(raceCsvHeader(), raceCsvRows(results, pointsAsPlace, firstPlace));
}

} // namespace wm

#include "RaceExport.h"

#include "reports/CsvExport.h"
#include "reports/RacePage.h"
#include "reports/ResultPage.h"
#include "store/Fields.h"

namespace wm {

namespace {

// Column positions of the race table's fields in a result row, found by name.
struct Columns {
    explicit Columns(const QStringList& fields)
        : sail(fieldColumn(fields, field::SEGELNR)), boat(fieldColumn(fields, field::BOOTSNAME)),
          name(fieldColumn(fields, field::NAME)), type(fieldColumn(fields, field::TYP)),
          ys(fieldColumn(fields, field::YS)), start(fieldColumn(fields, field::START)),
          elapsed(fieldColumn(fields, field::GZEIT)), corrected(fieldColumn(fields, field::BZEIT)),
          points(fieldColumn(fields, field::Punkte)) {}
    qsizetype sail, boat, name, type, ys, start, elapsed, corrected, points;
};

QString codeOf(const QString& elapsed) {
    return isResultCode(elapsed) ? elapsed : QString();
}

} // namespace

HtmlResult raceHtml(const Result& result, const QDateTime& now) {
    const ReportData& results = result.rows;
    const QString& caption = result.caption;
    const Columns c(results.fields);
    HtmlResult page;
    page.title = caption;
    page.product = QStringLiteral("Wendemark");
    page.header = caption + QStringLiteral(" - ") + reportDateTime(now);
    page.heading = result.heading;
    page.columns = {QStringLiteral("Platz"),   QStringLiteral("Segelnr."), QStringLiteral("Bootsname"),
                    QStringLiteral("Name"),    QStringLiteral("YS"),       QStringLiteral("Ges.Zeit"),
                    QStringLiteral("Ber.Zeit")};
    page.alignRight = {true, false, false, false, true, false, false};
    const QStringList& places = result.places;
    page.rows.reserve(results.rows.size());
    for (qsizetype r = 0; r < results.rows.size(); ++r) {
        const QStringList& row = results.rows[r];
        page.rows << QStringList{places[r],       row.value(c.sail),    row.value(c.boat),     row.value(c.name),
                                 row.value(c.ys), row.value(c.elapsed), row.value(c.corrected)};
    }
    page.notes = {result.rules, kResultPageFooter};
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

QList<QStringList> raceCsvRows(const Result& result) {
    const ReportData& results = result.rows;
    const Columns c(results.fields);
    const QStringList& places = result.places;
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

QByteArray raceCsv(const Result& result) {
    return csvFile(raceCsvHeader(), raceCsvRows(result));
}

ResultFiles raceFiles(const Result& result, const Clock& clock) {
    QByteArray pdf = racePdf(result, clock);
    return {std::move(pdf), htmlPage(raceHtml(result, clock.now())), raceCsv(result)};
}

} // namespace wm

#include "app/LivePage.h"

#include "reports/HtmlExport.h"
#include "reports/RaceExport.h"
#include "reports/Result.h"
#include "reports/ResultPage.h"
#include "store/Error.h"
#include "store/ProgramDir.h"
#include "timing/Scoring.h"
#include "timing/TimeMath.h"

#include <algorithm>
#include <optional>

namespace wm {

namespace {

// Larger type than a printed result's page: the page hangs on a screen across the room.
const QString kLiveStyle = QStringLiteral("body{font-size:18px}"
                                          "h2.race{font-size:1.6em;margin:.2em 0 .1em}"
                                          ".status{color:#808080;margin:0 0 .6em}"
                                          ".status strong{color:#c00000}"
                                          "h3{font-size:1.1em;color:#808080;font-weight:normal;margin:1.2em 0 .3em}"
                                          "@media (min-width:1200px){body{font-size:22px}}");

const QStringList kRankingColumns = {QStringLiteral("Platz"),   QStringLiteral("Segelnr."), QStringLiteral("Bootsname"),
                                     QStringLiteral("Name"),    QStringLiteral("YS"),       QStringLiteral("Ges.Zeit"),
                                     QStringLiteral("Ber.Zeit")};
const QList<bool> kRankingRight = {true, false, false, false, true, false, false};
// What moves comes first, so that a phone shows it without scrolling sideways.
const QStringList kRacingColumns = {
    QStringLiteral("Segelnr."),      QStringLiteral("Bootsname"), QStringLiteral("Start"), QStringLiteral("Ges.Zeit"),
    QStringLiteral("Zeit zum Sieg"), QStringLiteral("Name"),      QStringLiteral("YS")};
const QList<bool> kRacingRight = {false, false, true, false, false, false, true};

struct Columns {
    explicit Columns(const QStringList& fields)
        : sail(fieldColumn(fields, field::SEGELNR)), boat(fieldColumn(fields, field::BOOTSNAME)),
          name(fieldColumn(fields, field::NAME)), ys(fieldColumn(fields, field::YS)),
          start(fieldColumn(fields, field::START)), corrected(fieldColumn(fields, field::BZEIT)),
          points(fieldColumn(fields, field::Punkte)) {}
    qsizetype sail, boat, name, ys, start, corrected, points;
};

// Start group 1 to 5 of a start field's text; 0 for anything else.
int startGroup(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 1 && n <= kStarts ? n : 0;
}

std::optional<double> yardstickOf(const QString& text) {
    try {
        return ParseFloat(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// The elapsed time as the start's clock shows it; before the start, the time still to go with a minus.
QString elapsedText(double start, double now) {
    return (now < start ? QStringLiteral("-") : QString()) + FormatTime(now - start);
}

} // namespace

LiveTables liveTables(const LiveRace& race) {
    const Columns c(race.rows.fields);
    const double now = TimeOfDay(race.now.time());
    ReportData finished{race.rows.fields, {}};
    QList<QStringList> racing;
    QStringList corrected;
    for (const QStringList& row : race.rows.rows) {
        if (row.value(c.corrected).isEmpty()) {
            racing << row;
        } else {
            finished.rows << row;
            corrected << row.value(c.corrected);
        }
    }
    // The order CalcPoints ranks in: corrected time (codes sort after every time), then sail number, boat name and
    // name, each compared as text.
    const qsizetype keys[] = {c.corrected, c.sail, c.boat, c.name};
    std::stable_sort(finished.rows.begin(), finished.rows.end(), [&keys](const QStringList& a, const QStringList& b) {
        for (const qsizetype k : keys) {
            if (const int order = QStringView(a.value(k)).compare(QStringView(b.value(k))); order != 0) {
                return order < 0;
            }
        }
        return false;
    });
    QStringList inOrder;
    for (const QStringList& row : finished.rows) {
        inOrder << row.value(c.corrected);
    }
    const QList<int> points = pointsInOrder(inOrder, int(race.rows.rows.size()));
    for (qsizetype r = 0; r < finished.rows.size() && c.points >= 0; ++r) {
        QStringList& row = finished.rows[r];
        while (row.size() <= c.points) {
            row << QString();
        }
        row[c.points] = QString::number(points[r]);
    }
    LiveTables tables;
    tables.ranking = raceHtml(raceResult(std::move(finished), race.name, true), race.now).rows;

    const QString leader = leadingCorrected(corrected);
    std::stable_sort(racing.begin(), racing.end(), [&c](const QStringList& a, const QStringList& b) {
        return startGroup(a.value(c.start)) < startGroup(b.value(c.start));
    });
    for (const QStringList& row : racing) {
        const int group = startGroup(row.value(c.start));
        QString elapsed;
        QString toWin;
        if (group > 0) {
            const double start = race.starts[size_t(group - 1)];
            elapsed = elapsedText(start, now);
            const std::optional<double> ys = yardstickOf(row.value(c.ys));
            const std::optional<double> deadline = ys ? timeToWin(start, leader, *ys) : std::nullopt;
            if (deadline) {
                toWin = timeToWinText(*deadline, now);
            }
        }
        tables.racing << QStringList{row.value(c.sail), row.value(c.boat), row.value(c.start), elapsed, toWin,
                                     row.value(c.name), row.value(c.ys)};
    }
    return tables;
}

QByteArray livePage(const LiveRace& race) {
    const LiveTables tables = liveTables(race);
    QString html;
    html.reserve(1024 + (tables.ranking.size() + tables.racing.size()) * 200);
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                           "<meta http-equiv=\"refresh\" content=\"30\">\n<title>") +
            htmlEscaped(race.name) + QStringLiteral("</title>\n<style>") + htmlStyle() + kLiveStyle +
            QStringLiteral("</style>\n</head>\n<body>\n<header><span class=\"product\">Wendemark</span><h1>Stand ") +
            htmlEscaped(reportDateTime(race.now)) + QStringLiteral("</h1></header>\n<h2 class=\"race\">") +
            htmlEscaped(raceHeading(race.name, race.date)) + QStringLiteral("</h2>\n");
    if (!race.over) {
        html +=
            QStringLiteral("<p class=\"status\"><strong>vorläufig</strong> · noch %1 von %2 Booten auf der Bahn</p>\n")
                .arg(tables.racing.size())
                .arg(race.rows.rows.size());
    }
    html += QStringLiteral("<h3>Rangliste</h3>\n");
    html += htmlTable(kRankingColumns, kRankingRight, tables.ranking);
    if (!tables.racing.isEmpty()) {
        html += QStringLiteral("<h3>Auf der Bahn</h3>\n");
        html += htmlTable(kRacingColumns, kRacingRight, tables.racing);
    }
    html += QStringLiteral("<footer>\n<p>") + htmlEscaped(race.rules) + QStringLiteral("</p>\n<p>") +
            htmlEscaped(kResultPageFooter) + QStringLiteral("</p>\n</footer>\n</body>\n</html>\n");
    return html.toUtf8();
}

QString livePagePath(const QString& programRoot, const QString& raceName) {
    const QString reports = ProgramDir::findEntry(programRoot, QStringLiteral("Reports"));
    return ProgramDir::findEntry(reports, QStringLiteral("Live")) + u'/' + raceName + QStringLiteral(".html");
}

} // namespace wm

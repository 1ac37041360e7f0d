#pragma once

#include "reports/BandReport.h"
#include "timing/Race.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>

#include <array>

namespace wm {

// What the clubhouse page shows of a race at one moment.
struct LiveRace {
    QString name;
    QDate date;
    bool over = false;
    // Every entry of the race with all its fields, as shown (a race table's rows, in natural order).
    ReportData rows;
    // The time of day of start 1 to 5.
    std::array<double, kStarts> starts{};
    // The moment of the page; its time of day is what the elapsed times and the time to win count from.
    QDateTime now;
    QString rules;
};

// The clubhouse page of a race: its name and date, "vorläufig" until it is over, the finished boats ranked as
// scoring them now would rank them, and the boats still racing with their start group, elapsed time and time
// to win. A self-contained page in UTF-8 that reloads itself every 30 seconds.
QByteArray livePage(const LiveRace& race);

// The page's two tables as data, in the order shown.
struct LiveTables {
    // Platz, Segelnr., Bootsname, Name, YS, Ges.Zeit, Ber.Zeit
    QList<QStringList> ranking;
    // Segelnr., Bootsname, Start, Ges.Zeit, Zeit zum Sieg, Name, YS
    QList<QStringList> racing;
};
LiveTables liveTables(const LiveRace& race);

// Reports/Live/<race>.html beneath the program folder (the folders found without regard to letter case).
QString livePagePath(const QString& programRoot, const QString& raceName);

} // namespace wm

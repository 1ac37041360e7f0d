// Appending a race of 1,000 entries to a season's series of 1,000 boats and 30 races.

#include "BenchSupport.h"
#include "series/AppendRace.h"
#include "series/SeriesRules.h"
#include "series/SeriesStore.h"
#include "timing/Race.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTime>

#include <numeric>

using namespace wm;

namespace {

constexpr int kBoats = 1000;
constexpr int kRaces = 30;
constexpr int kEntries = 1000;
constexpr int kNewBoats = 100; // the race brings 100 boats the series has not seen; 100 of the series stay away
constexpr int kRuns = 5;

QVariantMap seriesRow(const QVariantMap& boat) {
    QVariantMap row;
    for (const QString& f : {field::SEGELNR, field::BOOTSNAME, field::NAME, field::TYP, field::YS}) {
        row.insert(f, boat.value(f));
    }
    return row;
}

void writeSeries(const QString& path, const QList<QVariantMap>& boats) {
    Table::create(path, seriesFields());
    Table table;
    table.open(path);
    for (int k = 1; k <= kRaces; ++k) {
        table.addColumn({raceColumn(k), FieldType::Float, 0, false});
    }
    std::mt19937 random(3);
    Table::Transaction transaction(table);
    for (const QVariantMap& boat : boats) {
        QVariantMap row = seriesRow(boat);
        double total = 0;
        for (int k = 1; k <= kRaces; ++k) {
            const double points = 1 + double(random() % kBoats);
            row.insert(raceColumn(k), points);
            total += points;
        }
        row.insert(kPunkteTotal, total);
        table.insert(row);
    }
    transaction.commit();
}

void writeRace(const ProgramDir& dir, const QString& name, const QList<QVariantMap>& boats) {
    const QString path = dir.dataDir() + name + QStringLiteral(".db");
    Table::create(path, raceFields(participantFields()));
    std::vector<int> places(boats.size());
    std::iota(places.begin(), places.end(), 1);
    std::shuffle(places.begin(), places.end(), std::mt19937(5));
    Table table;
    table.open(path);
    Table::Transaction transaction(table);
    for (qsizetype i = 0; i < boats.size(); ++i) {
        QVariantMap entry = boats[i];
        entry.insert(field::BZEIT, QStringLiteral("00:%1:00").arg(10 + places[size_t(i)] % 50, 2, 10, QChar(u'0')));
        entry.insert(field::STATUS, 2);
        entry.insert(field::Punkte, places[size_t(i)]);
        table.insert(entry);
    }
    transaction.commit();
    writeStarted(dir.dataDir() + name + QStringLiteral(".ini"), int(boats.size()));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::ProgramFolder folder;
    const ProgramDir dir(folder.path());
    const QList<QVariantMap> boats = bench::fleet(kBoats + kNewBoats);
    const QString master = folder.path() + QStringLiteral("/series.master");
    writeSeries(master, boats.mid(0, kBoats));
    writeRace(dir, QStringLiteral("Mittwoch 31"), boats.mid(kNewBoats, kEntries));

    std::vector<double> times;
    try {
        for (int run = 0; run < kRuns; ++run) {
            const SeriesFiles series = seriesFiles(dir, QStringLiteral("Saison %1").arg(run));
            QFile::copy(master, series.tablePath);
            QElapsedTimer timer;
            timer.start();
            const AppendResult result = AppendRace(dir, series, QStringLiteral("Mittwoch 31"));
            times.push_back(bench::elapsedMs(timer));
            if (result.column != kRaces + 1 || result.added != kNewBoats) {
                std::fprintf(stderr, "unexpected append: column %d, %d new boats\n", result.column, result.added);
            }
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "append failed: %s\n", e.what());
        return 1;
    }
    bench::print("series_append_1000", bench::median(times), "ms");

    // Appendix A over 1,000 boats and 30 races: every tenth boat missed a race, every twentieth has a code,
    // corrected times repeat so that places are shared.
    QList<QList<RaceEntry>> races;
    for (int r = 0; r < 30; ++r) {
        QList<RaceEntry> race;
        for (int b = 0; b < 1000; ++b) {
            RaceEntry e;
            if ((b + r) % 10 == 0) {
                e.kind = RaceEntry::Kind::Absent;
            } else if ((b + r) % 20 == 1) {
                e.kind = RaceEntry::Kind::Coded;
                e.code = QStringLiteral("DNF");
            } else {
                e.kind = RaceEntry::Kind::Finished;
                const int seconds = 2400 + (b * 7 + r * 13) % 1800;
                e.corrected = QTime(0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm:ss"));
            }
            race << e;
        }
        races << race;
    }
    SeriesRules rules;
    rules.kind = SeriesRules::Kind::AppendixA;
    rules.discards = {{4, 1}, {8, 2}};
    std::vector<double> scorings;
    qsizetype placed = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        placed += scoreAppendixA(races, rules).size();
        scorings.push_back(bench::elapsedMs(timer));
    }
    bench::comment(qPrintable(QStringLiteral("series_rules_1000: %1 boats placed per run").arg(placed / kRuns)));
    bench::print("series_rules_1000", bench::median(scorings), "ms");
    return 0;
}

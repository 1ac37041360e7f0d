// The start-up backup of a season's data folder: 100 races of 30 entries with their information files,
// 5 participant databases and 5 series.

#include "BenchSupport.h"
#include "store/Backup.h"
#include "store/Error.h"
#include "timing/Race.h"

#include <QCoreApplication>
#include <QDir>

using namespace wm;

namespace {

constexpr int kRaces = 100;
constexpr int kEntries = 30;
constexpr int kRegisters = 5;
constexpr int kSeries = 5;
constexpr int kRuns = 7;

void writeRace(const QString& path, const QList<QVariantMap>& boats) {
    Table::create(path, raceFields(participantFields()));
    Table table;
    table.open(path);
    Table::Transaction transaction(table);
    int place = 0;
    for (QVariantMap entry : boats) {
        ++place;
        entry.insert(field::GZEIT, QStringLiteral("00:%1:00").arg(20 + place, 2, 10, QChar(u'0')));
        entry.insert(field::BZEIT, QStringLiteral("00:%1:30").arg(18 + place, 2, 10, QChar(u'0')));
        entry.insert(field::STATUS, 2);
        entry.insert(field::Punkte, place);
        table.insert(entry);
    }
    transaction.commit();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::ProgramFolder folder;
    const ProgramDir dir(folder.path());
    const QList<QVariantMap> boats = bench::fleet(200);
    try {
        for (int r = 1; r <= kRaces; ++r) {
            const QString name = QStringLiteral("Mittwoch %1").arg(r);
            writeRace(dir.dataDir() + name + QStringLiteral(".db"), boats.mid(r % 100, kEntries));
            test::writeFile(
                dir.dataDir() + name + QStringLiteral(".ini"),
                QStringLiteral("[General]\nName=%1\n[Started]\nCount=%2\n").arg(name).arg(kEntries).toUtf8());
        }
        for (int k = 1; k <= kRegisters; ++k) {
            bench::writeFleet(dir.starterDir() + QStringLiteral("Verein%1.db").arg(k), boats);
        }
        for (int k = 1; k <= kSeries; ++k) {
            const QString base = dir.serienDir() + QStringLiteral("Saison %1").arg(k);
            writeRace(base + QStringLiteral(".db"), boats.mid(0, 60));
            test::writeFile(base + QStringLiteral(".ini"), "[Serie]\nWertung=1\n");
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "set-up failed: %s\n", e.what());
        return 1;
    }

    std::vector<double> times;
    const QDateTime start(QDate(2024, 6, 1), QTime(8, 0));
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const BackupResult result = backupData(dir, start.addSecs(run));
        times.push_back(bench::elapsedMs(timer));
        if (!result.ok() || result.tables != kRaces + kRegisters + kSeries) {
            std::fprintf(stderr, "unexpected backup: %s (%d tables)\n", qPrintable(result.notice()), result.tables);
        }
    }
    bench::print("backup_startup_100", bench::median(times), "ms");
    bench::print("backup_startup_100_worst", bench::worst(times), "ms");
    return 0;
}

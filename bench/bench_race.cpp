// A race of 500 entries on the real main window: recording finishes, and scoring a large race.

#include "BenchSupport.h"
#include "app/RaceOffice.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "store/Clock.h"
#include "timing/Race.h"
#include "timing/RacePanel.h"
#include "timing/Scoring.h"
#include "timing/StampDesk.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QApplication>
#include <QSqlQuery>

#include <sqlite3.h>

using namespace wm;

namespace {

constexpr int kEntries = 500;
constexpr int kFinishes = 200;
constexpr int kScored = 2000;
constexpr int kScoringRuns = 5;

void fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "%s %s\n", what, qPrintable(detail));
}

// The single-row change a finish makes, on a file set up like the program's race table and nothing around it.
class BareUpdate {
public:
    BareUpdate(const QString& path, const QString& journalMode) {
        Table::create(path, raceFields(participantFields()));
        {
            Table table;
            table.open(path);
            Table::Transaction transaction(table);
            for (const QVariantMap& b : bench::fleet(kEntries, 11)) {
                table.insert(b);
            }
            transaction.commit();
        }
        sqlite3_open(path.toUtf8().constData(), &m_db);
        const QByteArray setUp =
            "PRAGMA synchronous=FULL; PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=" + journalMode.toLatin1() +
            "; BEGIN EXCLUSIVE; COMMIT;";
        if (sqlite3_exec(m_db, setUp.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            fail("bare set-up:", QString::fromUtf8(sqlite3_errmsg(m_db)));
        }
        sqlite3_prepare_v2(m_db, "UPDATE records SET STATUS = ?, BZEIT = ?, GZEIT = ? WHERE rowid = ?", -1, &m_update,
                           nullptr);
    }
    ~BareUpdate() {
        sqlite3_finalize(m_update);
        sqlite3_close(m_db);
    }
    BareUpdate(const BareUpdate&) = delete;
    BareUpdate& operator=(const BareUpdate&) = delete;

    double run(qint64 rowid) {
        QElapsedTimer timer;
        timer.start();
        sqlite3_bind_double(m_update, 1, 2.0);
        sqlite3_bind_text(m_update, 2, "00:41:07", -1, SQLITE_STATIC);
        sqlite3_bind_text(m_update, 3, "00:46:25", -1, SQLITE_STATIC);
        sqlite3_bind_int64(m_update, 4, rowid);
        if (sqlite3_step(m_update) != SQLITE_DONE) {
            fail("bare update:", QString::fromUtf8(sqlite3_errmsg(m_db)));
        }
        sqlite3_reset(m_update);
        return bench::elapsedMs(timer);
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_update = nullptr;
};

QString journalMode(const Table& table) {
    QSqlQuery q(table.database());
    return q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next() ? q.value(0).toString() : QStringLiteral("delete");
}

// A finished race as the scoring finds it: distinct boats, times spread over an afternoon, a few DNF and DSQ.
void writeFinishedRace(Table& race) {
    Table::Transaction transaction(race);
    std::mt19937 random(5);
    for (QVariantMap b : bench::fleet(kScored, 13)) {
        const int roll = int(random() % 100);
        const QString elapsed = roll < 5   ? kDnf
                                : roll < 7 ? kDsq
                                           : FormatTime((1800.0 + double(random() % 5400)) / 86400.0);
        b.insert(field::GZEIT, elapsed);
        b.insert(field::BZEIT, CorrectedTime(elapsed, b.value(field::YS).toDouble()));
        b.insert(field::STATUS, 2);
        race.insert(b);
    }
    transaction.commit();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    setUpApplication(application);

    test::ProgramFolder folder;
    bench::writeFleet(folder.starter(), bench::fleet(kEntries));
    bench::Seams seams;
    const Services services = seams.services(folder.path());

    RaceOffice windows(services);
    TMain& main = windows.main();
    main.show();
    QCoreApplication::processEvents();
    main.timLoadTimer();

    seams.prompts.inputs.push_back(QStringLiteral("Bench-Wettfahrt"));
    main.racePanel().cmdNewRaceClick();
    std::vector<double> adds;
    for (int k = 0; k < kEntries && main.race().isOpen(); ++k) {
        QElapsedTimer timer;
        timer.start();
        main.racePanel().cmdAddClick();
        adds.push_back(bench::elapsedMs(timer));
        QCoreApplication::processEvents();
    }
    const int entered = main.race().isOpen() ? main.race().table().count() : 0;
    seams.prompts.answers.assign(1 + StartClock::kStarts, true);
    main.racePanel().cmdZielClick();
    if (entered != kEntries || main.race().mode() != Race::Mode::Finish) {
        fail("race not in finish mode, entries:", QString::number(entered));
        return 0;
    }

    BareUpdate bare(folder.data(QStringLiteral("bare.db")), journalMode(main.race().table()));
    std::vector<double> finishes;
    std::vector<double> updates;
    for (int k = 0; k < kFinishes; ++k) {
        QElapsedTimer timer;
        timer.start();
        main.racePanel().cmdZeitenClick();
        finishes.push_back(bench::elapsedMs(timer));
        QCoreApplication::processEvents();
        updates.push_back(bare.run(k + 1));
    }
    // Times taken at the line, each committed: against the same bare update.
    std::vector<double> stamps;
    std::vector<double> stampUpdates;
    for (int k = 0; k < kFinishes; ++k) {
        QElapsedTimer timer;
        timer.start();
        main.stampDesk().cmdStampClick();
        stamps.push_back(bench::elapsedMs(timer));
        QCoreApplication::processEvents();
        stampUpdates.push_back(bare.run(kFinishes + k + 1));
    }
    if (main.race().stamps().size() != kFinishes) {
        fail("stamps taken:", QString::number(main.race().stamps().size()));
    }

    const int finished = main.race().table().count(Filter::equals(field::STATUS, 2));
    if (finished != kFinishes || !seams.prompts.errors.isEmpty()) {
        fail("finishes recorded:", QString::number(finished) + u' ' + seams.prompts.errors.join(u'|'));
    }

    const QString scoredPath = folder.data(QStringLiteral("scored.db"));
    Table::create(scoredPath, raceFields(participantFields()));
    Table scored;
    scored.open(scoredPath, Table::Mode::Exclusive);
    writeFinishedRace(scored);
    std::vector<double> scoring;
    for (int k = 0; k < kScoringRuns; ++k) {
        QElapsedTimer timer;
        timer.start();
        CalcPoints(scored);
        scoring.push_back(bench::elapsedMs(timer));
    }
    if (scored.count(Filter::isNull(field::Punkte)) != 0) {
        fail("scoring left entries without points");
    }

    bench::comment(
        "finish_record: cmdZeitenClick() until it returns (commit and list refreshed), median of 200; "
        "ratio over a prepared single-row UPDATE through the sqlite3 C API, synchronous=FULL, exclusive "
        "locking, same journal mode and folder; stamp_record: cmdStampClick() (the time taken and committed, listed), "
        "median of 200, with its ratio likewise; calcpoints_2000: median of 5 scorings of one table");
    bench::print("finish_record", bench::median(finishes), "ms");
    bench::print("finish_record_ratio", bench::median(finishes) / bench::median(updates), "x");
    bench::print("finish_record_worst", bench::worst(finishes), "ms");
    bench::print("finish_update_bare", bench::median(updates), "ms");
    bench::print("race_add_entry", bench::median(adds), "ms");
    bench::print("stamp_record", bench::median(stamps), "ms");
    bench::print("stamp_record_ratio", bench::median(stamps) / bench::median(stampUpdates), "x");
    bench::print("calcpoints_2000", bench::median(scoring), "ms");
    return 0;
}

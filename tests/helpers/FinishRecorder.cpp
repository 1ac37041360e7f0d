// A second process for the crash test: times every boat of a race through wm::Race, the way the finish
// line does, and reports each finish on stdout only after the call that wrote it has returned.
//
//   finish_recorder [--prepare] [--stamps] <race.db> <participants.db>
//
// A missing race is created with a participant table of kBoats boats, all entered. --prepare stops there;
// otherwise every entry still racing is timed: "done <SEGELNR> <GZEIT>" per entry, "finished" at the end.
// With --stamps, before every fifth entry a time is also taken at the line and left unassigned:
// "stamp <ms of the day>".
#include "store/Error.h"
#include "store/Fields.h"
#include "store/Table.h"
#include "timing/Race.h"
#include "timing/TimeMath.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kBoats = 300;

// Unbuffered, so a line the test reads was written before anything that follows it.
void say(const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + written, size_t(bytes.size() - written));
        if (n <= 0) {
            std::_Exit(3);
        }
        written += n;
    }
}

void createParticipants(const QString& path) {
    wm::Table::create(path, wm::participantFields());
    wm::Table table;
    table.open(path, wm::Table::Mode::Exclusive);
    wm::Table::Transaction transaction(table);
    for (int i = 0; i < kBoats; ++i) {
        table.insert({{wm::field::SEGELNR, QString::number(1000 + i)},
                      {wm::field::BOOTSNAME, QStringLiteral("Boot %1").arg(i)},
                      {wm::field::NAME, QStringLiteral("Eignerin %1").arg(i)},
                      {wm::field::TYP, QStringLiteral("Jolle")},
                      {wm::field::YS, 95 + (i % 26) + ((i % 3) == 0 ? 0.5 : 0.0)},
                      {wm::field::START, 1 + i % 3},
                      {wm::field::STATUS, 0}});
    }
    transaction.commit();
}

void enterAll(wm::Race& race, const QString& racePath, const QString& participantsPath) {
    if (!QFileInfo::exists(participantsPath)) {
        createParticipants(participantsPath);
    }
    wm::Table participants;
    participants.open(participantsPath, wm::Table::Mode::Exclusive);
    race.create(racePath, QStringLiteral("Crashlauf"), participants.fields());
    for (const wm::Table::Row& row : participants.select()) {
        race.addBoat(participants, row.rowid);
    }
}

// Elapsed times between 00:40:00 and 01:09:59, different from one entry to the next.
QString elapsedFor(int n) {
    const int seconds = 40 * 60 + (n * 373) % (30 * 60);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int timeAll(wm::Race& race, bool stamps) {
    race.setMode(wm::Race::Mode::Finish);
    race.setSearchText(QString());
    wm::RecordModel& list = race.list();
    list.first();
    for (int n = 1; list.hasCurrent(); ++n) {
        const qint64 rowid = list.currentRowid();
        const int racing = list.count();
        const QString sail = list.currentText(wm::field::SEGELNR);
        QString recorded;
        if (stamps && n % 5 == 0) {
            const int ms = 18 * 3'600'000 + n * 1'001;
            race.addStamp(ms);
            say(QStringLiteral("stamp %1").arg(ms));
        }
        if (n % 7 == 0) {
            recorded = wm::kDnf;
            race.recordMarker(recorded);
        } else if (n % 11 == 0) {
            recorded = wm::kDsq;
            race.recordMarker(recorded);
        } else {
            recorded = elapsedFor(n);
            race.recordFinish(recorded);
        }
        // A call that silently wrote nothing would leave the entry listed and loop here for ever.
        if (list.count() != racing - 1 || list.currentRowid() == rowid) {
            std::fprintf(stderr, "entry %s is still listed after its finish\n", qPrintable(sail));
            return 1;
        }
        say(QStringLiteral("done %1 %2").arg(sail, recorded));
    }
    say(QStringLiteral("finished"));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool prepareOnly = !args.isEmpty() && args.first() == QLatin1String("--prepare");
    if (prepareOnly) {
        args.removeFirst();
    }
    const bool stamps = !args.isEmpty() && args.first() == QLatin1String("--stamps");
    if (stamps) {
        args.removeFirst();
    }
    if (args.size() != 2) {
        std::fputs("usage: finish_recorder [--prepare] [--stamps] <race.db> <participants.db>\n", stderr);
        return 2;
    }
    try {
        wm::Race race;
        if (!QFileInfo::exists(args[0])) {
            enterAll(race, args[0], args[1]);
        } else {
            // Race::create always starts a new race, so a copy of a prepared one is opened the same way
            // create() opens its table: held for this process alone.
            race.table().open(args[0], wm::Table::Mode::Exclusive);
        }
        if (prepareOnly) {
            say(QStringLiteral("prepared %1").arg(race.table().count()));
            return 0;
        }
        return timeAll(race, stamps);
    } catch (const wm::Error& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
}

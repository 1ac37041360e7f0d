// The clubhouse page of a race with 2,000 entries, written whole as after every finish: the race table read,
// the ranking and the boats still racing built, the file written and flushed to the disk.
#include "BenchSupport.h"
#include "app/LiveWriter.h"
#include "timing/Race.h"

#include <QDir>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"Reports"_s);
    wm::Race race;
    race.create(dir.filePath(u"Abend.db"_s), u"Abend"_s, wm::participantFields());
    {
        // Three in five have finished, one in twenty with a code; the others are still racing.
        wm::Table::Transaction transaction(race.table());
        int i = 0;
        for (QVariantMap b : wm::bench::fleet(2000)) {
            ++i;
            const QString elapsed = i % 20 == 0 ? u"DNF"_s : QTime(0, 30).addSecs(i).toString(u"HH:mm:ss"_s);
            b.insert(wm::field::STATUS, i % 5 < 3 ? u"2"_s : u"1"_s);
            if (i % 5 < 3) {
                b.insert(wm::field::GZEIT, elapsed);
                b.insert(wm::field::BZEIT, elapsed);
            }
            race.table().insert(b);
        }
        transaction.commit();
    }
    race.setMode(wm::Race::Mode::Finish);
    wm::SystemClock clock;
    wm::LiveWriter writer(race, clock, dir.path(), [] {
        return std::array<double, wm::kStarts>{0.75, 0.755, 0.76, 0.765, 0.77};
    });
    std::vector<double> times;
    for (int run = 0; run < 21; ++run) {
        QElapsedTimer timer;
        timer.start();
        writer.update();
        times.push_back(wm::bench::elapsedMs(timer));
    }
    wm::bench::print("live_page_2000", wm::bench::median(times), "ms");
    return QFileInfo(writer.path()).size() > 0 ? 0 : 1;
}

// A season's Yardstick list of 2,000 types laid over a register of 10,000 boats: reading the file, comparing,
// and applying every change (one transaction, and prefs.ini written whole).

#include "BenchSupport.h"
#include "participants/YardstickList.h"

#include <QCoreApplication>
#include <QFile>

using namespace wm;

namespace {

constexpr int kBoats = 10'000;
constexpr int kTypes = 2'000;
constexpr int kRuns = 5;

QString typeName(int t) {
    return QStringLiteral("Typ %1").arg(t, 4, 10, QChar(u'0'));
}

// Every type of the register in the list; every other one with a new number, some with a note.
QByteArray listFile() {
    QByteArray text = "Typ;Yardstick;Hinweis\r\n";
    for (int t = 0; t < kTypes; ++t) {
        const int number = 100 + t % 50 + (t % 2 == 0 ? 1 : 0);
        text += typeName(t).toUtf8() + ';' + QByteArray::number(number) + (t % 7 == 0 ? " B" : "") + ";\r\n";
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::ProgramFolder folder;
    QList<QVariantMap> boats = bench::fleet(kBoats);
    for (int i = 0; i < boats.size(); ++i) {
        boats[i].insert(field::TYP, typeName(i % kTypes));
        boats[i].insert(field::YS, 100 + (i % kTypes) % 50);
    }
    const QString master = folder.path() + QStringLiteral("/register.master");
    bench::writeFleet(master, boats);
    const QByteArray file = listFile();

    std::vector<double> times;
    int changed = 0;
    try {
        for (int run = 0; run < kRuns; ++run) {
            const QString path = folder.starter();
            Table::remove(path);
            QFile::copy(master, path);
            Table participants;
            participants.open(path, Table::Mode::Exclusive);
            QElapsedTimer timer;
            timer.start();
            const YardstickList list = readYardstickList(file);
            const YardstickComparison comparison = compareWithRegister(list, participants);
            changed = applyYardsticks(
                participants, comparison.changes,
                {QStringLiteral("DSV 2027"), QDate(2027, 1, 10), QStringLiteral("StarterID.db"), folder.prefs()});
            times.push_back(bench::elapsedMs(timer));
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "apply failed: %s\n", e.what());
        return 1;
    }
    bench::comment(qPrintable(QStringLiteral("yslist_apply_10000: %1 boats changed per run").arg(changed)));
    bench::print("yslist_apply_10000", bench::median(times), "ms");
    return 0;
}

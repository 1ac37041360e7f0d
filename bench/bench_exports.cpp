// A 2,000-boat result written as a web page and as CSV, and a 5,000-row boat list read into its preview.
#include "BenchSupport.h"
#include "participants/CsvImport.h"
#include "reports/CsvExport.h"
#include "reports/HtmlExport.h"
#include "reports/RaceExport.h"

#include <QTemporaryDir>
#include <QTime>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kRuns = 5;

template <typename F> double medianMs(F&& run) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(wm::bench::elapsedMs(timer));
    }
    return wm::bench::median(times);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const wm::Result results = wm::raceResult(wm::bench::resultOf(wm::bench::fleet(2000), 50), u"Abend"_s, true);
    const QDateTime now(QDate(2024, 12, 24), QTime(18, 10, 5));
    qsizetype bytes = 0;
    wm::bench::print("html_export_2000", medianMs([&] { bytes += wm::htmlPage(wm::raceHtml(results, now)).size(); }),
                     "ms");
    wm::bench::print("csv_export_2000", medianMs([&] { bytes += wm::raceCsv(results).size(); }), "ms");

    // A register file of 5,000 boats, checked against a register that already holds 500 of them.
    QTemporaryDir dir;
    const QList<QVariantMap> boats = wm::bench::fleet(5000, 11);
    QList<QStringList> rows;
    for (const QVariantMap& b : boats) {
        rows << QStringList{b.value(u"SEGELNR"_s).toString(),  b.value(u"BOOTSNAME"_s).toString(),
                            b.value(u"NAME"_s).toString(),     b.value(u"TYP"_s).toString(),
                            wm::displayText(b.value(u"YS"_s)), b.value(u"START"_s).toString()};
    }
    const QByteArray file =
        wm::csvFile({u"Segelnummer"_s, u"Bootsname"_s, u"Name"_s, u"Typ"_s, u"Yardstick"_s, u"Start"_s}, rows);
    const QString path = dir.filePath(u"StarterID.db"_s);
    wm::test::ProgramFolder folder;
    folder.writeParticipants(path, boats.mid(0, 500));
    wm::Table participants;
    participants.open(path);
    wm::bench::print("csv_import_5000", medianMs([&] { bytes += wm::planImport(file, participants).size(); }), "ms");
    return bytes > 0 ? 0 : 1;
}

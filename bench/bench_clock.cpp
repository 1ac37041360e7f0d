// How long the clock labels of the main window show an outdated text, on the real window with the system clock.

#include "BenchSupport.h"
#include "Staleness.h"
#include "app/RaceOffice.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "store/Clock.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <sys/resource.h>

using namespace wm;
using namespace wm::bench;

namespace {

constexpr qint64 kSettleMs = 2000; // start-up: the start times are loaded 500 ms after construction
constexpr qint64 kSteadyMs = 21000;
constexpr int kEdits = 3;
constexpr qint64 kEditPhaseMs = (kEdits + 2) * 1000;

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    setUpApplication(application);

    test::ProgramFolder folder;
    bench::writeFleet(folder.starter(), {});
    bench::Seams seams;
    const Services services = seams.services(folder.path());

    const auto timeOfDay = localTimeOfDay();

    const qint64 begin = QDateTime::currentMSecsSinceEpoch();
    RaceOffice windows(services);
    TMain& main = windows.main();

    // The plain way: a one-second timer started whenever the window happens to come up.
    QLabel unaligned;
    unaligned.setText(FormatTime(seams.clock.timeOfDay()));
    QTimer unalignedTimer;
    unalignedTimer.setInterval(1000);
    QObject::connect(&unalignedTimer, &QTimer::timeout, &unaligned, [&] {
        const QString text = FormatTime(seams.clock.timeOfDay());
        if (unaligned.text() != text) {
            unaligned.setText(text);
        }
    });
    unalignedTimer.start();
    main.show();

    StalenessProbe timeOfDayProbe(main.findChild<QLabel*>(QStringLiteral("Label6")),
                                  [&](qint64 t) { return FormatTime(timeOfDay(t)); });
    StalenessProbe start1Probe(main.findChild<QLabel*>(QStringLiteral("Label8")),
                               [&](qint64 t) { return FormatTime(main.startClock().startTime(1) - timeOfDay(t)); });
    StalenessProbe unalignedProbe(&unaligned, [&](qint64 t) { return FormatTime(timeOfDay(t)); });

    const qint64 steadyFrom = begin + kSettleMs;
    const qint64 editsFrom = steadyFrom + kSteadyMs;
    const qint64 end = editsFrom + kEditPhaseMs;
    int samplesTaken = 0;
    // A long gap between samples with little CPU time of this thread in it means the machine, not the
    // program, held the event loop up.
    qint64 lastUs = 0;
    qint64 lastCpuUs = 0;
    qint64 gapUs = 0;
    qint64 gapCpuUs = 0;
    QTimer sampler;
    sampler.setTimerType(Qt::PreciseTimer);
    sampler.setInterval(1);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const qint64 nowUs =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        const Phase phase = nowUs < steadyFrom * 1000 ? Startup : nowUs < editsFrom * 1000 ? Steady : Edits;
        timeOfDayProbe.sample(nowUs, phase);
        start1Probe.sample(nowUs, phase);
        unalignedProbe.sample(nowUs, phase);
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        const qint64 cpuUs = qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1'000'000 +
                             usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
        if (phase == Steady) {
            ++samplesTaken;
            if (lastUs > 0 && nowUs - lastUs > gapUs) {
                gapUs = nowUs - lastUs;
                gapCpuUs = cpuUs - lastCpuUs;
            }
        }
        lastUs = nowUs;
        lastCpuUs = cpuUs;
    });
    sampler.start();

    // A new start time typed at 100, 400 and 700 ms past a second: start 1's clock must follow it. Coarse
    // timers this long may fire a second early, inside the steady phase.
    auto* minute = main.findChild<QLineEdit*>(QStringLiteral("Edit2"));
    const qint64 scheduled = QDateTime::currentMSecsSinceEpoch();
    const qint64 firstSecond = (editsFrom / 1000 + 1) * 1000;
    for (int k = 0; k < kEdits; ++k) {
        QTimer::singleShot(int(firstSecond + k * 1300 + 100 - scheduled), Qt::PreciseTimer, minute,
                           [minute] { minute->setText(QString::number((minute->text().toInt() + 1) % 60)); });
    }

    QEventLoop loop;
    QTimer::singleShot(int(end - scheduled), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();

    const std::vector<const StalenessProbe*> labels = {&timeOfDayProbe, &start1Probe};
    const QByteArray method =
        QStringLiteral("staleness in ms, %1 samples (timer of 1 ms) in 21 s after a 2 s settling time; worst: over "
                       "all samples; median: over the largest staleness seen after each change of the true text (0 "
                       "if never seen stale); Label6 and Label8 together; then %2 edits of start 1's minute, 100, 400 "
                       "and 700 ms past a second")
            .arg(samplesTaken)
            .arg(kEdits)
            .toUtf8();
    bench::comment(method.constData());
    bench::print("clock_staleness_worst", bench::worst(samples(labels, Steady)), "ms");
    bench::print("clock_staleness_median", bench::median(worsts(labels, Steady)), "ms");
    bench::print("clock_staleness_unaligned_worst", bench::worst(samples({&unalignedProbe}, Steady)), "ms");
    bench::print("clock_staleness_unaligned_median", bench::median(worsts({&unalignedProbe}, Steady)), "ms");
    bench::print("clock_staleness_after_start_edit_worst", bench::worst(samples({&start1Probe}, Edits)), "ms");
    bench::print("clock_staleness_after_load_worst", bench::worst(samples({&start1Probe}, Startup)), "ms");
    bench::print("clock_sample_gap_worst", double(gapUs) / 1000.0, "ms");
    bench::print("clock_sample_gap_worst_cpu", double(gapCpuUs) / 1000.0, "ms");
    return 0;
}

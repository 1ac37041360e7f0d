// How late the cue line of the start signals changes after the true second turns, on the real window with the
// system clock and the cues on.

#include "BenchSupport.h"
#include "Staleness.h"
#include "app/RaceOffice.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "store/Clock.h"
#include "timing/SignalDesk.h"
#include "timing/StartClock.h"
#include "timing/StartSignals.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>

#include <chrono>

using namespace wm;
using namespace wm::bench;

namespace {

constexpr qint64 kSettleMs = 2000;
constexpr qint64 kSteadyMs = 20000;

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
    main.timLoadTimer();
    main.show();
    // One start eight minutes ahead: the line counts down every second, across its warning signal.
    StartClock& clock = main.startClock();
    for (int n = 1; n <= StartClock::kStarts; ++n) {
        clock.setActive(n, n == 1);
    }
    clock.setStartTime(1, timeOfSecond((clockSecond(seams.clock.timeOfDay()) + 8 * 60) % kSecondsPerDay));
    main.findChild<QCheckBox*>(QStringLiteral("chkSignale"))->click();

    const StartSequence sequence = main.signalDesk().sequence();
    const QLabel* line = main.findChild<QLabel*>(QStringLiteral("lblNextSignal"));
    // The whole line is its tooltip; the text may be cut to the width of the clocks.
    StalenessProbe cueProbe([line] { return line->toolTip(); },
                            [&](qint64 t) {
                                const double now = timeOfDay(t);
                                return cueLine(
                                    nextCue(signalSchedule(clock.activeStarts(), sequence), clockSecond(now)), now);
                            });

    const qint64 steadyFrom = begin + kSettleMs;
    const qint64 end = steadyFrom + kSteadyMs;
    QTimer sampler;
    sampler.setTimerType(Qt::PreciseTimer);
    sampler.setInterval(1);
    int samplesTaken = 0;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const qint64 nowUs =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        const Phase phase = nowUs < steadyFrom * 1000 ? Startup : Steady;
        cueProbe.sample(nowUs, phase);
        samplesTaken += phase == Steady ? 1 : 0;
    });
    sampler.start();

    QEventLoop loop;
    QTimer::singleShot(int(end - QDateTime::currentMSecsSinceEpoch()), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();

    bench::comment(QStringLiteral("lateness in ms of lblNextSignal after the true text changed, %1 samples (timer "
                                  "of 1 ms) in 20 s after a 2 s settling time, cues on, one start 8 minutes ahead")
                       .arg(samplesTaken)
                       .toUtf8()
                       .constData());
    bench::print("signal_cue_late_worst", bench::worst(samples({&cueProbe}, Steady)), "ms");
    bench::print("signal_cue_late_median", bench::median(worsts({&cueProbe}, Steady)), "ms");
    return 0;
}

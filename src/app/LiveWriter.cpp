#include "app/LiveWriter.h"

#include "app/LivePage.h"
#include "reports/Result.h"
#include "reports/ResultPage.h"
#include "reports/ResultRows.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "store/Log.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace wm {

LiveWriter::LiveWriter(Race& race, const Clock& clock, QString programRoot, StartTimes startTimes, QObject* parent)
    : QObject(parent), m_race(race), m_clock(clock), m_root(std::move(programRoot)),
      m_startTimes(std::move(startTimes)), m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("timLive"));
    m_timer->setInterval(60'000);
    connect(m_timer, &QTimer::timeout, this, &LiveWriter::timLiveTimer);
}

QString LiveWriter::path() const {
    return livePagePath(m_root, m_race.name());
}

void LiveWriter::modeChanged(Race::Mode mode) {
    if (mode == Race::Mode::Finish) {
        m_timer->start();
        update();
    } else {
        m_timer->stop();
    }
}

void LiveWriter::timLiveTimer() {
    update();
}

void LiveWriter::update() {
    const Race::Mode mode = m_race.mode();
    if (!m_race.isOpen() || (mode != Race::Mode::Finish && mode != Race::Mode::Over)) {
        return;
    }
    const QString target = path();
    try {
        LiveRace live;
        live.name = m_race.name();
        live.date = raceDate(m_race.table().path());
        live.over = mode == Race::Mode::Over;
        live.rows = resultRows(m_race.table(), {}, {});
        live.starts = m_startTimes();
        live.now = m_clock.now();
        live.rules = raceRulesOf(m_race.infoPath());
        const QString folder = QFileInfo(target).absolutePath();
        if (!QDir().mkpath(folder)) {
            throw Error(
                QStringLiteral("Der Ordner '%1' konnte nicht angelegt werden.").arg(QDir::toNativeSeparators(folder)));
        }
        writeWholeFile(target, livePage(live));
    } catch (const Error& e) {
        logFailure(
            QStringLiteral("Live-Seite"),
            QStringLiteral("Die Live-Seite '%1' wurde nicht geschrieben: ").arg(QDir::toNativeSeparators(target)) +
                e.message());
    }
}

} // namespace wm

#pragma once

#include "timing/Race.h"

#include <QObject>

#include <array>
#include <functional>

class QTimer;

namespace wm {

class Clock;

// Keeps the clubhouse page of the race in progress up to date (Reports/Live/<race>.html) while it is in finish
// mode and once it is over: the frame calls update() after every change of the race, and a timer rewrites the
// page once a minute while boats are racing, so their elapsed times and times to win move on. Timing never
// waits for it: a page that cannot be written is logged and tried again at the next change.
class LiveWriter : public QObject {
    Q_OBJECT
public:
    using StartTimes = std::function<std::array<double, kStarts>()>;
    LiveWriter(Race& race, const Clock& clock, QString programRoot, StartTimes startTimes, QObject* parent = nullptr);

    // Writes the page whole when the race is in finish mode or over; otherwise does nothing. Never throws.
    void update();
    // Finish mode writes the page and runs the minute timer; any other mode stops it.
    void modeChanged(Race::Mode mode);
    void timLiveTimer();
    QTimer* timLive() const { return m_timer; }

    // Where the page of the race in progress lies.
    QString path() const;

private:
    Race& m_race;
    const Clock& m_clock;
    const QString m_root;
    const StartTimes m_startTimes;
    QTimer* m_timer;
};

} // namespace wm

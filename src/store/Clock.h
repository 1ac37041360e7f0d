#pragma once

#include <QDateTime>

namespace wm {

// The one source of "now". Tests set a ManualClock and fire the timer handlers themselves.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    QDate today() const { return now().date(); }
    // The time of day as a fraction of the day, with milliseconds.
    double timeOfDay() const;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime now = QDateTime(QDate(2026, 6, 13), QTime(18, 0))) : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }
    void setTime(const QTime& time) { m_now.setTime(time); }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

} // namespace wm

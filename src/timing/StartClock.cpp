#include "timing/StartClock.h"

#include "desktop/ActionGuard.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "store/IniFile.h"
#include "store/Log.h"
#include "timing/TimeMath.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cmath>

namespace wm {

namespace {

void setColour(QLabel* label, const QColor& colour) {
    if (!colour.isValid() || label->palette().color(QPalette::WindowText) == colour) {
        return;
    }
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

void setText(QLabel* label, const QString& text) {
    if (label->text() != text) {
        label->setText(text);
    }
}

} // namespace

ClockFace clockFace(double startTime, double now, bool active) {
    ClockFace face;
    face.clockText = FormatTime(startTime - now);
    if (!active) {
        face.nameColour = kClockGrey;
        face.clockColour = kClockGrey;
        face.signColour = kClockGrey;
        return face;
    }
    face.clockColour = kClockBlack;
    // Compared as texts, exactly as shown: the start counts as passed from the second after it.
    if (FormatTime(startTime) < FormatTime(now)) {
        face.sign = QStringLiteral("+");
        face.bold = true;
        face.nameColour = kClockGreen;
    } else {
        face.sign = QStringLiteral("-");
        face.nameColour = kClockRed;
    }
    // A sign once greyed by an inactive start becomes readable again.
    face.signColour = kClockBlack;
    return face;
}

HourMinuteSecond splitTime(double time) {
    const QString text = FormatTime(time);
    return {text.mid(0, 2).toInt(), text.mid(3, 2).toInt(), text.mid(6, 2).toInt()};
}

StartClock::StartClock(const Clock& clock, Prompts& prompts, QLabel* timeOfDay,
                       const std::array<StartWidgets, kStarts>& starts, QObject* parent)
    : QObject(parent), m_clock(clock), m_prompts(prompts), m_timeOfDay(timeOfDay), m_starts(starts),
      m_timer1(new QTimer(this)), m_timer2(new QTimer(this)) {
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    for (QTimer* t : {m_timer1, m_timer2}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
    }
    connect(m_timer1, &QTimer::timeout, this, [this] {
        Timer1Timer();
        arm(m_timer1);
    });
    connect(m_timer2, &QTimer::timeout, this, [this] {
        Timer2Timer();
        arm(m_timer2);
    });
    for (int n = 1; n <= kStarts; ++n) {
        const StartWidgets& w = m_starts[size_t(n - 1)];
        for (QLineEdit* field : {w.hour, w.minute, w.second}) {
            connect(field, &QLineEdit::textChanged, this, [this, n, field] { Startzeit(n, field); });
        }
        recompute(n);
    }
}

bool StartClock::isActive(int n) const {
    return m_starts.at(size_t(n - 1)).active->isChecked();
}

void StartClock::setActive(int n, bool active) {
    m_starts.at(size_t(n - 1)).active->setChecked(active);
}

QString StartClock::clockText(int n) const {
    return m_starts.at(size_t(n - 1)).clock->text();
}

bool StartClock::setStartTime(int n, double time) {
    const HourMinuteSecond hms = splitTime(time);
    const StartWidgets& w = m_starts.at(size_t(n - 1));
    m_loading = true;
    w.hour->setText(QString::number(hms.hour));
    w.minute->setText(QString::number(hms.minute));
    w.second->setText(QString::number(hms.second));
    m_loading = false;
    const bool taken = guarded(m_prompts, [&] { recompute(n); });
    Timer2Timer();
    return taken;
}

QList<std::pair<int, int>> StartClock::activeStarts() const {
    QList<std::pair<int, int>> starts;
    for (int n = 1; n <= kStarts; ++n) {
        if (isActive(n)) {
            const QString text = FormatTime(m_times[size_t(n - 1)]);
            starts.append({n, text.mid(0, 2).toInt() * 3600 + text.mid(3, 2).toInt() * 60 + text.mid(6, 2).toInt()});
        }
    }
    return starts;
}

void StartClock::recompute(int n) {
    const StartWidgets& w = m_starts[size_t(n - 1)];
    const QString composed = w.hour->text() + u':' + w.minute->text() + u':' + w.second->text();
    m_times[size_t(n - 1)] = ParseStartTime(composed);
}

void StartClock::Startzeit(int n, QLineEdit* field) {
    if (m_loading) {
        return;
    }
    if (field->text() < QLatin1String("0")) {
        if (!field->text().isEmpty()) {
            field->clear();
        }
        return;
    }
    if (guarded(m_prompts, [&] { recompute(n); })) {
        // The clocks show the new start at once, not only with the next second.
        Timer2Timer();
    }
}

void StartClock::Timer1Timer() {
    setText(m_timeOfDay, FormatTime(m_clock.timeOfDay()));
}

void StartClock::Timer2Timer() {
    const double now = m_clock.timeOfDay();
    for (int n = 1; n <= kStarts; ++n) {
        const StartWidgets& w = m_starts[size_t(n - 1)];
        const ClockFace face = clockFace(m_times[size_t(n - 1)], now, w.active->isChecked());
        setText(w.clock, face.clockText);
        setColour(w.clock, face.clockColour);
        setColour(w.name, face.nameColour);
        setColour(w.sign, face.signColour);
        if (!face.sign.isEmpty()) {
            setText(w.sign, face.sign);
        }
        if (face.bold && !w.sign->font().bold()) {
            QFont f = w.sign->font();
            f.setBold(true);
            w.sign->setFont(f);
        }
    }
    emit refreshed();
}

void StartClock::arm(QTimer* timer) {
    // Fire just after the turn of the next second, whenever this tick came.
    const int ms = QTime::currentTime().msec();
    timer->start(1000 - ms + 1);
}

void StartClock::startTimers() {
    arm(m_timer1);
    arm(m_timer2);
}

void StartClock::load(const IniFile& ini, const QString& section) {
    for (int n = 1; n <= kStarts; ++n) {
        m_starts[size_t(n - 1)].active->setChecked(ini.readBool(section, QStringLiteral("S%1").arg(n), true));
    }
    double t = m_clock.timeOfDay();
    m_loading = true;
    for (int n = 1; n <= kStarts; ++n) {
        const QString text = ini.readString(section, QStringLiteral("S%1Zeit").arg(n), QString());
        try {
            t = ParseTime(text);
        } catch (const Error&) {
            // Missing or unreadable: the time just read for the start before (the current time for start 1).
            if (!text.trimmed().isEmpty()) {
                logFailure(
                    QStringLiteral("Startzeiten"),
                    QStringLiteral("Die gespeicherte Zeit '%1' für Start %2 ist unlesbar; es gilt die Zeit davor.")
                        .arg(text)
                        .arg(n));
            }
        }
        const HourMinuteSecond hms = splitTime(t);
        const StartWidgets& w = m_starts[size_t(n - 1)];
        w.hour->setText(QString::number(hms.hour));
        w.minute->setText(QString::number(hms.minute));
        w.second->setText(QString::number(hms.second));
    }
    m_loading = false;
    for (int n = 1; n <= kStarts; ++n) {
        recompute(n);
    }
    Timer2Timer();
}

void StartClock::save(IniFile& ini, const QString& section) const {
    for (int n = 1; n <= kStarts; ++n) {
        ini.writeBool(section, QStringLiteral("S%1").arg(n), isActive(n));
        ini.writeString(section, QStringLiteral("S%1Zeit").arg(n), FormatTime(m_times[size_t(n - 1)]));
    }
}

} // namespace wm

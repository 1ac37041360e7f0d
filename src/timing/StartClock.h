#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <utility>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace wm {

class Clock;
class IniFile;
class Prompts;

inline const QColor kClockBlack = QColor(0, 0, 0);
inline const QColor kClockRed = QColor(255, 0, 0);
inline const QColor kClockGreen = QColor(0, 128, 0);
inline const QColor kClockGrey = QColor(128, 128, 128);

// What one start's row of the race clock shows at a moment.
struct ClockFace {
    QString clockText; // time to go before the start, time since the start after it
    QString sign;      // "+" once the start has passed, "-" before; empty: unchanged (inactive start)
    bool bold = false; // sign in bold; false means "leave as it is"
    QColor nameColour;
    QColor clockColour;
    QColor signColour; // invalid: unchanged
};

// The start has passed when its time text sorts before the current time's text, so the very second of the
// start still counts as "before". There is no date: a start late in the evening is still to come just after
// midnight.
ClockFace clockFace(double startTime, double now, bool active);

// Hour, minute and second of a time value, as put into a start's three fields.
struct HourMinuteSecond {
    int hour = 0;
    int minute = 0;
    int second = 0;
};
HourMinuteSecond splitTime(double time);

// The five starts: their fields and check boxes, their times, and the clocks that count down to each start
// and up from it. The clocks are refreshed on the turn of every second, so the text a finish takes over is
// never stale by more than a few milliseconds.
class StartClock : public QObject {
    Q_OBJECT
public:
    static constexpr int kStarts = 5;
    struct StartWidgets {
        QLineEdit* hour = nullptr;
        QLineEdit* minute = nullptr;
        QLineEdit* second = nullptr;
        QCheckBox* active = nullptr;
        QLabel* name = nullptr;
        QLabel* sign = nullptr;
        QLabel* clock = nullptr;
    };

    StartClock(const Clock& clock, Prompts& prompts, QLabel* timeOfDay, const std::array<StartWidgets, kStarts>& starts,
               QObject* parent = nullptr);

    double startTime(int n) const { return m_times.at(size_t(n - 1)); }
    bool isActive(int n) const;
    void setActive(int n, bool active);
    // The text start n's clock shows now (n from 1 to 5).
    QString clockText(int n) const;
    // Puts a time of day into start n's three fields as the restore does (numbers without leading zeros) and
    // takes it as typed. False when it was refused (the message has been shown).
    bool setStartTime(int n, double time);
    // The active starts: (start number, the second of day its time shows).
    QList<std::pair<int, int>> activeStarts() const;

    // Runs when a field of start n changes: an empty text, or one below "0", empties the field; otherwise
    // the three fields give the start's new time (an invalid time is refused with a message).
    void Startzeit(int n, QLineEdit* field);
    void Timer1Timer();
    void Timer2Timer();
    // Starts the two once-a-second timers.
    void startTimers();

    // The saved start configuration of one participant database (section), or its defaults.
    void load(const IniFile& ini, const QString& section);
    void save(IniFile& ini, const QString& section) const;

signals:
    // After the start clocks were refreshed (every second, and when a start changed).
    void refreshed();

private:
    void recompute(int n);
    void arm(QTimer* timer);

    const Clock& m_clock;
    Prompts& m_prompts;
    QLabel* m_timeOfDay;
    std::array<StartWidgets, kStarts> m_starts;
    std::array<double, kStarts> m_times{};
    QTimer* m_timer1;
    QTimer* m_timer2;
    bool m_loading = false;
};

} // namespace wm

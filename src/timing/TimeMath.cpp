#include "timing/TimeMath.h"

#include "store/Error.h"
#include "store/Fields.h"

#include <QLocale>

#include <cmath>
#include <optional>

namespace wm {

namespace {

constexpr double kMsPerDay = 86'400'000.0;
constexpr double kSecondsPerDay = 86'400.0;

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Saturates instead of overflowing so that a long run of digits is simply out of range.
std::optional<int> ParseUnsigned(QStringView part) {
    if (part.isEmpty()) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : part) {
        if (!IsAsciiDigit(c)) {
            return std::nullopt;
        }
        if (value < 1000) {
            value = value * 10 + (c.unicode() - u'0');
        }
    }
    return value;
}

std::optional<double> ParseClock(const QString& text) {
    const QList<QStringView> parts = QStringView(text).split(u':');
    if (parts.size() != 2 && parts.size() != 3) {
        return std::nullopt;
    }
    const int limits[] = {23, 59, 59};
    int values[] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<int> value = ParseUnsigned(parts[i]);
        if (!value || *value > limits[i]) {
            return std::nullopt;
        }
        values[i] = *value;
    }
    return (values[0] * 3600 + values[1] * 60 + values[2]) / kSecondsPerDay;
}

// Multiply first: dividing first can differ in the last bit and, near a boundary, by a whole millisecond.
QString Corrected(double time, double yardstick) {
    if (yardstick == 0.0) {
        throw Error(QStringLiteral("Gleitkommadivision durch Null"));
    }
    return FormatTime(time * 100.0 / yardstick);
}

} // namespace

QString FormatTime(double days) {
    const double rounded = std::nearbyint(days * kMsPerDay);
    if (!std::isfinite(rounded)) {
        return QStringLiteral("00:00:00");
    }
    // fmod is exact, so even values far beyond the range of an integer keep their time of day.
    const auto ms = static_cast<qint64>(std::fmod(std::fabs(rounded), kMsPerDay));
    const qint64 hours = ms / 3'600'000;
    const qint64 minutes = ms % 3'600'000 / 60'000;
    const qint64 seconds = ms % 60'000 / 1'000;
    return QString::asprintf("%02lld:%02lld:%02lld", static_cast<long long>(hours), static_cast<long long>(minutes),
                             static_cast<long long>(seconds));
}

double ParseTime(const QString& text) {
    if (const std::optional<double> value = ParseClock(text)) {
        return *value;
    }
    throw Error(QStringLiteral("'%1' ist keine gültige Uhrzeit").arg(text));
}

double ParseStartTime(const QString& text) {
    if (const std::optional<double> value = ParseClock(text)) {
        return *value;
    }
    throw Error(QStringLiteral("'%1' ist kein gültiger Datums- und Zeitwert").arg(text));
}

double ParseFloat(const QString& text) {
    return parseNumber(text);
}

QString CorrectedTime(const QString& elapsed, const QString& yardstickText) {
    if (IsMarker(elapsed)) {
        return elapsed;
    }
    const double time = ParseTime(elapsed);
    return Corrected(time, ParseFloat(yardstickText));
}

QString CorrectedTime(const QString& elapsed, double yardstick) {
    if (IsMarker(elapsed)) {
        return elapsed;
    }
    return Corrected(ParseTime(elapsed), yardstick);
}

bool IsMarker(const QString& text) {
    return isResultCode(text);
}

double TimeOfDay(const QTime& t) {
    return t.msecsSinceStartOfDay() / kMsPerDay;
}

std::optional<double> timeToWin(double start, const QString& leaderCorrected, double yardstick) {
    const std::optional<double> leader = IsMarker(leaderCorrected) ? std::nullopt : ParseClock(leaderCorrected);
    if (!leader || !(yardstick > 0)) {
        return std::nullopt;
    }
    const double deadline = start + *leader * yardstick / 100.0;
    // Cut to the second, as the clocks cut; the millisecond rounding keeps 19:42:13 from reading 19:42:12.999.
    return std::floor(std::nearbyint(deadline * kMsPerDay) / 1000.0) * 1000.0 / kMsPerDay;
}

QString timeToWinLine(double deadline, double now) {
    return QStringLiteral("Zeit zum Sieg: ") + timeToWinText(deadline, now);
}

QString timeToWinText(double deadline, double now) {
    const QString left =
        deadline >= now ? QStringLiteral("noch ") + FormatTime(deadline - now) : QStringLiteral("vorbei");
    return QStringLiteral("%1 (%2)").arg(FormatTime(deadline), left);
}

QString leadingCorrected(const QStringList& corrected) {
    QString best;
    for (const QString& text : corrected) {
        if (text.isEmpty() || IsMarker(text) || !ParseClock(text)) {
            continue;
        }
        if (best.isEmpty() || text < best) {
            best = text;
        }
    }
    return best;
}

} // namespace wm

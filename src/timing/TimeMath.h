#pragma once

#include "store/Fields.h"

#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

namespace wm {

// Times are doubles counting days: 1.0 is 24 hours, a time of day is the fraction of the day that has passed.

// "HH:MM:SS" of the magnitude, wrapped past midnight; rounded to whole milliseconds, which are then dropped.
QString FormatTime(double days);

// "H:M:S" or "H:M", unsigned digits with or without leading zeros.
double ParseTime(const QString& text);
double ParseStartTime(const QString& text);

// Decimal comma or point, optional sign, surrounding blanks ignored.
double ParseFloat(const QString& text);

// Elapsed time scaled by the yardstick (elapsed * 100 / yardstick). Markers pass through unchanged.
QString CorrectedTime(const QString& elapsed, const QString& yardstickText);
QString CorrectedTime(const QString& elapsed, double yardstick);

bool IsMarker(const QString& text);

double TimeOfDay(const QTime& t);

// The latest time of day at which a boat started at `start` with `yardstick` still beats the leader's
// corrected time: start + leader × yardstick / 100, cut to the second. Nothing for a leader that is a code or
// not a time, or a yardstick that is not above 0.
std::optional<double> timeToWin(double start, const QString& leaderCorrected, double yardstick);
// "Zeit zum Sieg: 19:42:13 (noch 00:06:41)"; "(vorbei)" once the time has passed.
QString timeToWinLine(double deadline, double now);
// The same without its label: "19:42:13 (noch 00:06:41)".
QString timeToWinText(double deadline, double now);
// The best of these corrected times (codes and empty texts left out); empty when none.
QString leadingCorrected(const QStringList& corrected);

} // namespace wm

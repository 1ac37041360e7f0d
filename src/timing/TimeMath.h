#pragma once

#include "store/Fields.h"

#include <QString>
#include <QTime>

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

} // namespace wm

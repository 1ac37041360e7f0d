#include "timing/ResultCheck.h"

#include "store/Error.h"
#include "store/IniFile.h"
#include "store/Table.h"
#include "timing/TimeMath.h"

#include <QMap>

#include <algorithm>
#include <cmath>
#include <optional>

namespace wm {

namespace {

constexpr double kLowestYardstick = 50;
constexpr double kHighestYardstick = 200;
constexpr double kSecondsPerDay = 86400.0;

QString text(const QVariantMap& row, const QString& field) {
    return row.value(field).toString().trimmed();
}

// A boat as the race office knows it: sail number and boat name, else the helmsman's name.
QString boatOf(const QVariantMap& row) {
    const QString sail = text(row, field::SEGELNR);
    const QString boat = text(row, field::BOOTSNAME);
    QString label = (sail + u' ' + boat).trimmed();
    if (label.isEmpty()) {
        label = text(row, field::NAME);
    }
    return label.isEmpty() ? QStringLiteral("(ohne Namen)") : label;
}

QString boatsOf(const QList<QVariantMap>& rows) {
    QStringList boats;
    for (const QVariantMap& row : rows) {
        boats << boatOf(row);
    }
    return boats.join(QStringLiteral(", "));
}

// The start group 1 to 5, or 0 for anything else.
int startOf(const QVariantMap& row) {
    const QVariant start = row.value(field::START);
    bool ok = false;
    const double n = start.toDouble(&ok);
    return ok && !start.isNull() && n >= 1 && n <= kStarts && n == std::floor(n) ? int(n) : 0;
}

bool isRacing(const QVariantMap& row) {
    return row.value(field::STATUS).toDouble() == 1;
}

// The elapsed time in seconds of a finished boat; nothing for a code, an empty or an unreadable text.
std::optional<qint64> elapsedSeconds(const QVariantMap& row) {
    const QString elapsed = text(row, field::GZEIT);
    if (isRacing(row) || elapsed.isEmpty() || isResultCode(elapsed)) {
        return std::nullopt;
    }
    try {
        return qRound64(ParseTime(elapsed) * kSecondsPerDay);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// The median of an odd count is the middle value, of an even count the mean of the two middle ones.
double median(QList<qint64> values) {
    std::sort(values.begin(), values.end());
    const qsizetype mid = values.size() / 2;
    return values.size() % 2 == 1 ? double(values[mid]) : (double(values[mid - 1]) + double(values[mid])) / 2;
}

QString clockText(double seconds) {
    return FormatTime(seconds / kSecondsPerDay);
}

void checkRacing(const QList<QVariantMap>& rows, QStringList& lines) {
    QList<QVariantMap> racing;
    std::copy_if(rows.cbegin(), rows.cend(), std::back_inserter(racing), isRacing);
    if (!racing.isEmpty()) {
        lines << QStringLiteral("Noch auf der Bahn: ") + boatsOf(racing);
    }
}

void checkSailNumbers(const QList<QVariantMap>& rows, QStringList& lines) {
    // "GER 12", "ger12" and "GER  12" are one number on the water.
    QMap<QString, QList<QVariantMap>> bySail;
    QStringList order;
    for (const QVariantMap& row : rows) {
        const QString key = text(row, field::SEGELNR).remove(u' ').toCaseFolded();
        if (key.isEmpty()) {
            continue;
        }
        if (!bySail.contains(key)) {
            order << key;
        }
        bySail[key] << row;
    }
    for (const QString& key : order) {
        const QList<QVariantMap>& boats = bySail[key];
        if (boats.size() > 1) {
            lines << QStringLiteral("Segelnummer %1 %2-mal vergeben: %3")
                         .arg(text(boats.first(), field::SEGELNR))
                         .arg(boats.size())
                         .arg(boatsOf(boats));
        }
    }
}

void checkYardsticks(const QList<QVariantMap>& rows, QStringList& lines) {
    QList<QVariantMap> missing, zero;
    QStringList outside;
    for (const QVariantMap& row : rows) {
        const QVariant ys = row.value(field::YS);
        bool ok = false;
        const double value = ys.toDouble(&ok);
        if (ys.isNull() || !ok) {
            missing << row;
        } else if (value == 0) {
            zero << row;
        } else if (value < kLowestYardstick || value > kHighestYardstick) {
            outside << boatOf(row) + QStringLiteral(" (") + displayText(value) + u')';
        }
    }
    if (!missing.isEmpty()) {
        lines << QStringLiteral("Yardstick fehlt: ") + boatsOf(missing);
    }
    if (!zero.isEmpty()) {
        lines << QStringLiteral("Yardstick ist 0: ") + boatsOf(zero);
    }
    if (!outside.isEmpty()) {
        lines << QStringLiteral("Yardstick außerhalb von 50 bis 200: ") + outside.join(QStringLiteral(", "));
    }
}

void checkStarts(const QList<QVariantMap>& rows, const ActiveStarts& active, QStringList& lines) {
    for (int n = 1; n <= kStarts; ++n) {
        QList<QVariantMap> group;
        std::copy_if(rows.cbegin(), rows.cend(), std::back_inserter(group),
                     [n](const QVariantMap& row) { return startOf(row) == n; });
        if (!group.isEmpty() && !active[size_t(n - 1)]) {
            lines << QStringLiteral("Start %1 ist nicht aktiv, hat aber Einträge: %2").arg(n).arg(boatsOf(group));
        }
    }
}

void checkElapsedTimes(const QList<QVariantMap>& rows, QStringList& lines) {
    for (int n = 1; n <= kStarts; ++n) {
        QList<std::pair<QVariantMap, qint64>> timed;
        for (const QVariantMap& row : rows) {
            if (startOf(row) == n) {
                if (const std::optional<qint64> seconds = elapsedSeconds(row)) {
                    timed.append({row, *seconds});
                }
            }
        }
        QList<qint64> seconds;
        for (const auto& entry : timed) {
            seconds << entry.second;
        }
        if (seconds.size() < 2) {
            continue;
        }
        const double middle = median(seconds);
        for (const auto& [row, time] : timed) {
            const QString where = double(time) < middle / 2   ? QStringLiteral("unter der Hälfte")
                                  : double(time) > middle * 2 ? QStringLiteral("über dem Doppelten")
                                                              : QString();
            if (!where.isEmpty()) {
                lines << QStringLiteral("Start %1: gesegelte Zeit %2 von %3 liegt %4 des Medians %5")
                             .arg(n)
                             .arg(clockText(double(time)), boatOf(row), where, clockText(middle));
            }
        }
    }
}

} // namespace

QStringList checkResult(const QList<QVariantMap>& rows, const ActiveStarts& active,
                        const QStringList& unassignedStamps) {
    QStringList lines;
    checkRacing(rows, lines);
    checkSailNumbers(rows, lines);
    checkYardsticks(rows, lines);
    checkStarts(rows, active, lines);
    checkElapsedTimes(rows, lines);
    if (!unassignedStamps.isEmpty()) {
        lines << QStringLiteral("Zeitstempel ohne Boot: ") + unassignedStamps.join(QStringLiteral(", "));
    }
    return lines;
}

QStringList checkRace(const Table& race, const QString& infoPath, const QStringList& unassignedStamps) {
    QList<QVariantMap> rows;
    const FieldList& fields = race.fields();
    for (const Table::Row& row : race.select()) {
        QVariantMap values;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            values.insert(fields[i].name.toUpper(), row.values.value(i));
        }
        rows << values;
    }
    return checkResult(rows, activeStartsOf(infoPath), unassignedStamps);
}

ActiveStarts activeStartsOf(const QString& infoPath) {
    const IniFile info(infoPath);
    ActiveStarts active = kAllStartsActive;
    for (int n = 1; n <= kStarts; ++n) {
        active[size_t(n - 1)] = info.readBool(kStartTimesSection, QStringLiteral("S%1").arg(n), true);
    }
    return active;
}

} // namespace wm

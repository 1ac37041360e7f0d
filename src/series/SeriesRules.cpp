#include "series/SeriesRules.h"

#include "series/SeriesStore.h"
#include "store/Error.h"
#include "store/IniFile.h"

#include <QDir>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace wm {

int SeriesRules::discardsFor(int races) const {
    if (best > 0) {
        return std::max(0, races - best);
    }
    int count = 0;
    for (const auto& [from, discarded] : discards) {
        if (races >= from) {
            count = discarded;
        }
    }
    return std::max(0, std::min(count, races));
}

namespace {

const QString kSection = QStringLiteral("Wertung");
const QString kRule = QStringLiteral("Regel");
const QString kDiscards = QStringLiteral("Streicher");
const QString kBest = QStringLiteral("Beste");

[[noreturn]] void unreadable(const QString& path, const QString& key, const QString& value) {
    throw Error(QStringLiteral("Die Wertung der Serie kann nicht gelesen werden: '%1' ist kein gültiger Wert für "
                               "'%2' in der Datei '%3'.\nDie Serie wird als Summe der Wettfahrtpunkte gewertet.")
                    .arg(value, key, QDir::toNativeSeparators(path)));
}

// A8.1 and A8.2 between two boats of equal net total: negative when `a` ranks before `b`, 0 when still equal.
int breakTie(const BoatStanding& a, const BoatStanding& b) {
    auto kept = [](const BoatStanding& boat) {
        QList<double> points;
        for (const RaceScore& s : boat.races) {
            if (!s.excluded) {
                points << s.points;
            }
        }
        std::sort(points.begin(), points.end());
        return points;
    };
    const QList<double> keptA = kept(a);
    const QList<double> keptB = kept(b);
    for (qsizetype i = 0; i < std::min(keptA.size(), keptB.size()); ++i) {
        if (keptA[i] != keptB[i]) {
            return keptA[i] < keptB[i] ? -1 : 1;
        }
    }
    for (qsizetype r = a.races.size() - 1; r >= 0; --r) {
        if (a.races[r].points != b.races[r].points) {
            return a.races[r].points < b.races[r].points ? -1 : 1;
        }
    }
    return 0;
}

} // namespace

SeriesRules readSeriesRules(const QString& settingsPath) {
    const IniFile ini(settingsPath);
    SeriesRules rules;
    const QString rule = ini.readString(kSection, kRule, QString()).trimmed();
    if (rule.isEmpty() || rule.compare(QStringLiteral("Summe"), Qt::CaseInsensitive) == 0) {
        return rules;
    }
    if (rule.compare(QStringLiteral("AnhangA"), Qt::CaseInsensitive) != 0) {
        unreadable(settingsPath, kRule, rule);
    }
    rules.kind = SeriesRules::Kind::AppendixA;
    const QString steps = ini.readString(kSection, kDiscards, QString()).trimmed();
    const std::optional<QList<std::pair<int, int>>> discards = parseDiscardSteps(steps);
    if (!discards) {
        unreadable(settingsPath, kDiscards, steps);
    }
    rules.discards = *discards;
    const QString best = ini.readString(kSection, kBest, QString()).trimmed();
    if (!best.isEmpty()) {
        bool ok = false;
        rules.best = best.toInt(&ok);
        if (!ok || rules.best < 0) {
            unreadable(settingsPath, kBest, best);
        }
    }
    return rules;
}

std::optional<QList<std::pair<int, int>>> parseDiscardSteps(const QString& text) {
    QList<std::pair<int, int>> steps;
    for (const QString& step : text.split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = step.split(u':');
        bool fromOk = false;
        bool countOk = false;
        const int from = parts.value(0).trimmed().toInt(&fromOk);
        const int count = parts.value(1).trimmed().toInt(&countOk);
        if (parts.size() != 2 || !fromOk || !countOk || from < 1 || count < 1 || count >= from ||
            (!steps.isEmpty() && (from <= steps.last().first || count < steps.last().second))) {
            return std::nullopt;
        }
        steps << std::pair{from, count};
    }
    return steps;
}

QString discardStepsText(const QList<std::pair<int, int>>& steps) {
    QStringList parts;
    for (const auto& [from, count] : steps) {
        parts << QStringLiteral("%1:%2").arg(from).arg(count);
    }
    return parts.join(u',');
}

void writeSeriesRules(const QString& settingsPath, const SeriesRules& rules) {
    IniFile ini(settingsPath);
    const bool appendixA = rules.kind == SeriesRules::Kind::AppendixA;
    ini.writeString(kSection, kRule, appendixA ? QStringLiteral("AnhangA") : QStringLiteral("Summe"));
    ini.writeString(kSection, kDiscards, appendixA ? discardStepsText(rules.discards) : QString());
    ini.writeInt(kSection, kBest, appendixA ? rules.best : 0);
    ini.save();
}

QString seriesRulesLine(const SeriesRules& rules) {
    if (rules.kind == SeriesRules::Kind::Sum) {
        return QStringLiteral("Summe der Wettfahrtpunkte");
    }
    QStringList parts{QStringLiteral("Wettfahrtordnung Anhang A"),
                      QStringLiteral("nicht gesegelt/DNF/…: Gemeldete der Serie + 1")};
    if (rules.best > 0) {
        parts << QStringLiteral("die besten %1 WF zählen").arg(rules.best);
    } else {
        for (const auto& [from, count] : rules.discards) {
            parts << QStringLiteral("ab %1 WF %2 Streicher").arg(from).arg(count);
        }
    }
    parts << QStringLiteral("Gleichstand nach A8");
    return parts.join(QStringLiteral(" · "));
}

QString pointsText(double points) {
    return QLocale().toString(points, 'g', 15);
}

QString raceCellText(const RaceScore& score) {
    QString text = pointsText(score.points);
    if (!score.code.isEmpty()) {
        text += u' ' + score.code;
    }
    return score.excluded ? u'(' + text + u')' : text;
}

QList<QList<RaceEntry>> seriesRaceEntries(const Table& series) {
    const QList<Table::Row> rows = series.select();
    QHash<qint64, qsizetype> boatAt;
    for (const Table::Row& row : rows) {
        boatAt.insert(row.rowid, boatAt.size());
    }
    QList<QList<RaceEntry>> races;
    for (int k = 1; k <= raceCount(series); ++k) {
        QList<RaceEntry> race(boatAt.size());
        const QList<StoredEntry> entries = raceEntries(series, k);
        if (entries.isEmpty()) {
            // Appended before the entries were kept: only the points tell what happened.
            const int column = series.fieldIndex(raceColumn(k));
            for (qsizetype b = 0; b < rows.size(); ++b) {
                const QVariant points = rows[b].values.value(column);
                if (!points.isNull()) {
                    race[b] = {RaceEntry::Kind::Scored, {}, {}, points.toDouble()};
                }
            }
        }
        for (const StoredEntry& kept : entries) {
            const auto at = boatAt.constFind(kept.boat);
            if (at == boatAt.constEnd()) {
                continue; // a row deleted from the series since
            }
            RaceEntry& entry = race[*at];
            if (isResultCode(kept.corrected)) {
                entry.kind = RaceEntry::Kind::Coded;
                entry.code = kept.corrected;
            } else {
                entry.kind = RaceEntry::Kind::Finished;
                entry.corrected = kept.corrected;
            }
        }
        races << race;
    }
    return races;
}

QList<BoatStanding> scoreAppendixA(const QList<QList<RaceEntry>>& races, const SeriesRules& rules) {
    const qsizetype boats = races.isEmpty() ? 0 : races.first().size();
    const double codePoints = double(boats + 1);
    QList<BoatStanding> standings(boats);

    for (const QList<RaceEntry>& race : races) {
        QList<qsizetype> finishers;
        for (qsizetype b = 0; b < boats; ++b) {
            if (race.value(b).kind == RaceEntry::Kind::Finished) {
                finishers << b;
            }
        }
        std::stable_sort(finishers.begin(), finishers.end(),
                         [&](qsizetype x, qsizetype y) { return race[x].corrected < race[y].corrected; });
        QHash<qsizetype, double> points;
        for (qsizetype i = 0; i < finishers.size();) {
            // Boats with the same corrected time share the places they occupy.
            qsizetype j = i;
            while (j < finishers.size() && race[finishers[j]].corrected == race[finishers[i]].corrected) {
                ++j;
            }
            const double shared = double(i + 1 + j) / 2.0;
            for (qsizetype k = i; k < j; ++k) {
                points.insert(finishers[k], shared);
            }
            i = j;
        }
        for (qsizetype b = 0; b < boats; ++b) {
            const RaceEntry entry = race.value(b);
            RaceScore score;
            if (entry.kind == RaceEntry::Kind::Finished) {
                score.points = points.value(b);
            } else if (entry.kind == RaceEntry::Kind::Scored) {
                score.points = entry.points;
            } else {
                score.points = codePoints;
                score.code = entry.kind == RaceEntry::Kind::Absent ? kDnc : entry.code;
            }
            standings[b].races << score;
        }
    }

    const int discards = rules.discardsFor(int(races.size()));
    for (BoatStanding& boat : standings) {
        // The worst scores go first, of equal ones the earliest race's; a DNE is never discarded.
        QList<qsizetype> order(boat.races.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](qsizetype x, qsizetype y) { return boat.races[x].points > boat.races[y].points; });
        int left = discards;
        for (qsizetype r : order) {
            if (left == 0) {
                break;
            }
            if (boat.races[r].code != kDne) {
                boat.races[r].excluded = true;
                --left;
            }
        }
        for (const RaceScore& s : boat.races) {
            boat.total += s.points;
            boat.net += s.excluded ? 0 : s.points;
        }
    }

    QList<qsizetype> ranking(boats);
    std::iota(ranking.begin(), ranking.end(), 0);
    auto before = [&](qsizetype x, qsizetype y) {
        const BoatStanding& a = standings[x];
        const BoatStanding& b = standings[y];
        if (a.net != b.net) {
            return a.net < b.net;
        }
        return breakTie(a, b) < 0;
    };
    std::stable_sort(ranking.begin(), ranking.end(), before);
    for (qsizetype i = 0; i < ranking.size(); ++i) {
        const bool tied = i > 0 && !before(ranking[i - 1], ranking[i]);
        standings[ranking[i]].place = tied ? standings[ranking[i - 1]].place : int(i + 1);
    }
    return standings;
}

} // namespace wm

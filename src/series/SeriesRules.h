#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace wm {

// How a series is scored. Without rules of its own a series adds its race points (the sum); under the racing
// rules' Appendix A ("Wettfahrtordnung Anhang A") each race is scored by place, codes score the boats of the
// series + 1, the worst scores may be discarded and ties are broken by A8.
struct SeriesRules {
    enum class Kind { Sum, AppendixA };
    Kind kind = Kind::Sum;
    // Discards as steps: from `first` races scored, `second` discards; ascending by races.
    QList<std::pair<int, int>> discards;
    // Only the best `best` scores count (0: off); when set, the discard steps do not apply.
    int best = 0;

    // How many scores are discarded in a series of `races` races.
    int discardsFor(int races) const;
};

// The rules of a series from section [Wertung] of its settings file: `Regel=AnhangA` (absent or `Summe`: the
// sum), `Streicher=4:1,8:2`, `Beste=5`. A value that cannot be read throws wm::Error naming the file and the
// key; the caller then keeps the sum.
SeriesRules readSeriesRules(const QString& settingsPath);
// Writes the rules into section [Wertung], leaving every other section as it is. Throws wm::Error.
void writeSeriesRules(const QString& settingsPath, const SeriesRules& rules);
// The rules in one line, as the series window and the small print under a result state them.
QString seriesRulesLine(const SeriesRules& rules);
// Discard steps as stored, "4:1,8:2": ascending by races, each with fewer discards than races and at least as
// many as the step before. Empty: none. Nothing when the text is not such a list.
std::optional<QList<std::pair<int, int>>> parseDiscardSteps(const QString& text);
QString discardStepsText(const QList<std::pair<int, int>>& steps);

// What a boat of the series scores in a race it did not sail; never stored in a race.
inline const QString kDnc = QStringLiteral("DNC");
inline const QString kDne = QStringLiteral("DNE");

// One boat in one race of a series, as the series keeps it.
struct RaceEntry {
    // Scored: a race the series holds only as points (appended before the entries were kept); the boat keeps
    // the points it was given then.
    enum class Kind { Absent, Finished, Coded, Scored };
    Kind kind = Kind::Absent;
    QString corrected; // a finisher's corrected time, "HH:MM:SS" (compared as text)
    QString code;      // a coded boat's code
    double points = 0; // the points of a Scored entry
};

// One boat's score in one race.
struct RaceScore {
    double points = 0;
    QString code; // the code it scored ("DNC" when absent), empty for a finisher
    bool excluded = false;
};

struct BoatStanding {
    QList<RaceScore> races; // in race order
    double total = 0;       // every race score
    double net = 0;         // without the excluded ones
    int place = 0;          // equal boats share their place
};

class Table;

// The races of an open series as Appendix A scores them: one list per race column, every series row in natural
// order with its kept entry (a row without one did not sail that race). Throws wm::Error.
QList<QList<RaceEntry>> seriesRaceEntries(const Table& series);

// A race cell as a result shows it: "3", "2,5", "6 DNF"; an excluded score in parentheses, "(6 DNC)".
QString raceCellText(const RaceScore& score);
// Points with a decimal comma where they have a half: "6", "2,5".
QString pointsText(double points);

// Scores a series under Appendix A. `races[r][b]` is boat b in race r; every race lists every boat of the
// series in the same order. The standings are per boat in that order.
QList<BoatStanding> scoreAppendixA(const QList<QList<RaceEntry>>& races, const SeriesRules& rules);

} // namespace wm

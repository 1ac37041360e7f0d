#pragma once

#include "TestSupport.h"
#include "app/Services.h"
#include "reports/BandReport.h"
#include "store/Clock.h"
#include "store/Fields.h"
#include "store/Table.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTime>
#include <QVariantMap>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace wm::bench {

inline double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

inline double worst(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

inline double elapsedMs(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// One figure per line; small values keep enough digits to stay comparable.
inline void print(const char* name, double value, const char* unit) {
    const int digits = value >= 100.0 ? 0 : value >= 10.0 ? 1 : value >= 0.1 ? 2 : 4;
    std::printf("%s: %.*f %s\n", name, digits, value, unit);
    std::fflush(stdout);
}

inline void comment(const char* text) {
    std::printf("# %s\n", text);
    std::fflush(stdout);
}

// A fleet as a club's register holds it: several nations' sail numbers, a mix of dinghy and keelboat
// classes, first and last names with umlauts. Sail numbers are unique, so every boat is one entry.
inline QList<QVariantMap> fleet(int size, unsigned seed = 7) {
    static const char* const nations[] = {"GER", "GER", "GER", "NED", "DEN", "SUI", "AUT", ""};
    static const char* const classes[][2] = {
        {"Laser", "113"},   {"Laser Radial", "117"}, {"Optimist", "165"}, {"420er", "107"},
        {"470er", "94"},    {"Pirat", "113"},        {"Finn", "104"},     {"Folkeboot", "107"},
        {"H-Boot", "100"},  {"J/24", "93"},          {"Conger", "124"},   {"Korsar", "103"},
        {"Zugvogel", "98"}, {"Europe", "115"},       {"O-Jolle", "106"},  {"Hansa 303", "140"}};
    static const char* const first[] = {"Anke",  "Jonas", "Merle",  "Jürgen", "Björn", "Sönke", "Maria",
                                        "Peter", "Hauke", "Frauke", "Ole",    "Jörg",  "Lena",  "Tim"};
    static const char* const last[] = {"Brandt", "Keller", "Hansen", "Möller",  "Schulz", "Petersen", "Jürgensen",
                                       "Öhlert", "Lüders", "Witt",   "Claußen", "Rehder", "Kröger",   "Thiessen"};
    static const char* const boats[] = {"Möwe",     "Blauer Peter", "Flinke Jolle", "Seeschwalbe", "Uhu",
                                        "Wattwurm", "Kiek ut",      "Lütt Deern",   "Albatros",    "Swantje",
                                        "Ostwind",  "Brise",        "Sturmvogel",   "Ährenlese",   "Hein Mück"};
    std::mt19937 random(seed);
    auto pick = [&](const auto& list) { return list[random() % std::size(list)]; };
    QList<QVariantMap> result;
    result.reserve(size);
    for (int i = 0; i < size; ++i) {
        const QString nation = QString::fromUtf8(pick(nations));
        const QString number = QString::number(1 + i * 7 % 9973) + (i >= 9973 ? QStringLiteral("A") : QString());
        const QString sail = nation.isEmpty() ? number : nation + u' ' + number;
        const auto& boatClass = pick(classes);
        const QString name = QString::fromUtf8(pick(first)) + u' ' + QString::fromUtf8(pick(last));
        const QString boatName =
            QString::fromUtf8(pick(boats)) + (random() % 3 ? QStringLiteral(" %1").arg(i % 97) : QString());
        result << test::boat(sail, boatName, name, QString::fromUtf8(boatClass[0]),
                             QString::fromLatin1(boatClass[1]).toDouble(), 1 + int(random() % 5), i % 3 == 0 ? 1 : 0);
    }
    return result;
}

// The fleet as a scored race's result rows, in the given order, one second apart from 00:30:01;
// with `dnfEvery` set, every such boat did not finish.
inline ReportData resultOf(const QList<QVariantMap>& boats, int dnfEvery = 0) {
    ReportData data;
    data.fields = test::kRaceFieldNames;
    int place = 0;
    for (const QVariantMap& b : boats) {
        ++place;
        const QString elapsed = dnfEvery > 0 && place % dnfEvery == 0
                                    ? QStringLiteral("DNF")
                                    : QTime(0, 0).addSecs(1800 + place).toString(QStringLiteral("HH:mm:ss"));
        data.rows << QStringList{b.value(field::SEGELNR).toString(),
                                 b.value(field::BOOTSNAME).toString(),
                                 b.value(field::NAME).toString(),
                                 b.value(field::TYP).toString(),
                                 displayText(b.value(field::YS)),
                                 b.value(field::START).toString(),
                                 elapsed,
                                 elapsed,
                                 QStringLiteral("2"),
                                 QString::number(place)};
    }
    return data;
}

// Writes a participant table in one transaction; row by row, each commit would wait for the disk.
inline void writeFleet(const QString& path, const QList<QVariantMap>& boats) {
    Table::create(path, participantFields());
    Table table;
    table.open(path);
    Table::Transaction transaction(table);
    for (const QVariantMap& b : boats) {
        table.insert(b);
    }
    transaction.commit();
}

// The real clock with prompts and notices that only record, on a screen wide enough not to scale.
struct Seams {
    SystemClock clock;
    test::ScriptedPrompts prompts;
    test::RecordingNotifier notifier;
    test::RecordingSound sound{clock};

    Services services(const QString& programFolder) {
        return Services{ProgramDir(programFolder),
                        QCoreApplication::applicationFilePath(),
                        &clock,
                        &prompts,
                        &notifier,
                        nullptr,
                        [] { return 1280; },
                        &sound,
                        {}};
    }
};

} // namespace wm::bench

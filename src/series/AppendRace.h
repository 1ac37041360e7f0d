#pragma once

#include "series/SeriesStore.h"
#include "store/Error.h"
#include "store/ProgramDir.h"
#include "store/Table.h"

namespace wm {

// The race to be appended could not be opened (missing, locked by another program, not a table). The
// message is the documented "Fehler"; detail() tells why. The series is unchanged.
class RaceOpenError : public Error {
public:
    explicit RaceOpenError(QString detail) : Error(QStringLiteral("Fehler")), m_detail(std::move(detail)) {}
    const QString& detail() const { return m_detail; }

private:
    QString m_detail;
};

struct AppendResult {
    int column = 0;  // k of the new column R<k>
    int matched = 0; // race entries found in the series
    int added = 0;   // race entries that entered the series as new rows
    int absent = 0;  // cells that got absence points
    double absencePoints = 0;
};

// Appends the race `raceName` (a table in the data folder) to the series as a new points column: a boat
// found by sail number, boat name and name (exact text) gets its points, a new boat becomes a row with the
// type and Yardstick of this race, and every empty cell of a row naming a boat gets the absence points
// Started + 1. All of it is one transaction: on any failure the series is as it was. A race without
// points is scored first; one with boats still racing, or without entries, is refused. Throws
// RaceOpenError when the race cannot be opened, wm::Error for every other failure.
AppendResult AppendRace(const ProgramDir& dir, const SeriesFiles& series, const QString& raceName);

// The same with a race table the caller holds open already (the race in progress, which no second
// connection may open). `raceInfoPath` is the race information file with "Started".
AppendResult AppendRace(const SeriesFiles& series, Table& race, const QString& raceName, const QString& raceInfoPath);

} // namespace wm

#pragma once

#include "store/Fields.h"
#include "store/ProgramDir.h"
#include "store/Table.h"

#include <QStringList>

namespace wm {

// A series table holds these six fields, then one points column per appended race (R1, R2, ...).
constexpr int kSeriesFixedFields = 6;

inline const QString kPunkteTotal = QStringLiteral("PunkteTotal");

// Section of the series settings file that names the race behind each points column.
inline const QString kRacesSection = QStringLiteral("Wettfahrten");

// SEGELNR, BOOTSNAME, TYP, YS, NAME, PunkteTotal: the order binds, the series reports address them by position.
const FieldList& seriesFields();

// "R1", "R2", ...: the points column of the k-th appended race.
QString raceColumn(int k);

// Refuses a series name that cannot be a file of its own in the series folder: empty, a path separator,
// "..", control characters. Blanks and apostrophes are fine. Throws wm::Error with the message for the user.
void checkSeriesName(const QString& name);

// The two files of one series in the series folder.
struct SeriesFiles {
    QString name;
    QString tablePath;    // <name>.db
    QString settingsPath; // <name>.ini
};

// Checks the name (throws wm::Error) and names the files of that series.
SeriesFiles seriesFiles(const ProgramDir& dir, const QString& name);

bool seriesExists(const SeriesFiles& series);

// Creates the empty series table with its six fields, replacing a table of that name and its rows (ask first).
// The settings file is left alone: it is written by appends only. Throws wm::Error.
void createSeries(const SeriesFiles& series);

// Deletes the series table and the store's companion files. The settings file stays. Throws wm::Error.
void deleteSeries(const SeriesFiles& series);

// Opens a series table (shared) and refuses a table that does not begin with the six series fields.
void openSeries(Table& table, const QString& tablePath);

// Number of races in an open series: its fields beyond the six fixed ones.
int raceCount(const Table& series);

// A column of the series grid: fields by position, widths as parts of the grid width W (integer division).
struct SeriesColumn {
    QString field;
    QString caption; // empty for a hidden column
    int width = 0;
    bool visible = true;
};

// SEGELNR "Segelnr." W/12, BOOTSNAME "Bootsname" W/6, TYP and YS hidden, NAME "Name" W/6, PunkteTotal
// "Gesamt" W/14, then each race column under its field name, W/20.
QList<SeriesColumn> seriesGridColumns(const FieldList& fields, int gridWidth);

// The series in the series folder, by name in descending order (as the series tree lists them).
QStringList seriesNames(const ProgramDir& dir);

// The race tables in the data folder, by name in ascending order (as the race menu offers them). The default
// participant table "StarterID.db" is never a race.
QStringList raceTableNames(const ProgramDir& dir);

// What a series keeps of each appended race beside its points, in a table of its own in the series file:
// every entry with its corrected time or result code, so the series can be scored by place even after the
// race table is gone.
struct StoredEntry {
    qint64 boat = 0;   // the rowid of the boat's series row
    QString corrected; // "HH:MM:SS", or the result code
};
// Keeps the entries of race column k (call inside the append's transaction). Throws wm::Error.
void keepRaceEntries(Table& series, int race, const QList<StoredEntry>& entries);
// The kept entries of race column k, in no particular order; empty for a race appended before they were kept.
QList<StoredEntry> raceEntries(const Table& series, int race);

// One line per race of the series, "WF k:  <race>" (two blanks), for k = 1 ... raceCount, the race name read
// from the settings file (empty when absent). Keys beyond raceCount are left out.
QStringList raceListLines(const QString& settingsPath, int raceCount);

} // namespace wm

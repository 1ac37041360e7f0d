#pragma once

#include "store/Filter.h"

#include <QStringList>

namespace wm {

class Table;

// The stored races of the data folder and what the race browser does to them, without any widget.

// The race list for the file names of the data folder: names matching "*.db" (any letter case) without
// their extension, newest default names first (reverse alphabetical order, letter case ignored). The
// participant table's own file "StarterID.DB", written exactly so, is no race.
QStringList raceNames(const QStringList& fileNames);
QStringList raceNames(const QString& dataDir);

// The table file and the information file of a stored race.
QString racePath(const QString& dataDir, const QString& raceName);
QString raceIniPath(const QString& dataDir, const QString& raceName);

// Whether two paths name the same file (the race in progress and a race chosen in the browser).
bool sameFile(const QString& a, const QString& b);

// Recomputes the corrected time of one entry from the elapsed time and the Yardstick number as typed,
// writes the three fields together and scores the whole race again. Throws wm::Error and writes nothing
// when the time or the number is unusable.
void correctTime(Table& race, qint64 rowid, const QString& elapsedText, const QString& yardstickText);

// Deletes a stored race: its table with the companion files and its information file. Throws wm::Error
// and deletes nothing while another program holds the table.
void deleteRace(const QString& dataDir, const QString& raceName);

// The boats of one class. Both Yardstick bounds are included; a bound that is not a number throws wm::Error.
Filter typeFilter(const QString& type);
Filter yardstickFilter(const QString& lowText, const QString& highText);

// Titles and file names of the class reports.
QString typeTitle(const QString& race, const QString& type);
QString rangeTitle(const QString& race, const QString& low, const QString& high);   // printed
QString rangeCaption(const QString& race, const QString& low, const QString& high); // PDF
QString typePdfName(const QString& race, const QString& type);
QString rangePdfName(const QString& race, const QString& low, const QString& high);

} // namespace wm

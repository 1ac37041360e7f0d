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

// Recomputes the corrected time of one entry from the elapsed time (or a result code, in any letter case) and
// the Yardstick number as typed, writes the three fields together and scores the whole race again. Throws
// wm::Error and writes nothing when the time or the number is unusable.
void correctTime(Table& race, qint64 rowid, const QString& elapsedText, const QString& yardstickText);

// One entry whose elapsed time a corrected start moves.
struct StartShift {
    qint64 rowid = 0;
    QString entry; // sail number and boat name, as the list shows them
    QString oldElapsed, newElapsed;
};

// The start group (1 to 5) and the shift in whole seconds as typed; throw wm::Error for anything else.
int parseStartGroup(const QString& text);
int parseShiftSeconds(const QString& text);

// A start of `group` recorded `seconds` too early (later than recorded when positive) changes the elapsed
// time of every entry of that group that has one: it is shortened by the shift. Markers stay as they are.
// Throws wm::Error when an elapsed time would become negative.
QList<StartShift> planStartShift(const Table& race, int group, int seconds);
// The confirmation text listing the entries with their old and new elapsed times.
QString startShiftPreview(const QList<StartShift>& plan, int group, int seconds);
// Moves the elapsed times as planned now, recomputes the corrected times and scores the race again, all in
// one transaction: on any failure (an elapsed time turned negative, a full disk) nothing is written.
// Returns the changes made.
QList<StartShift> shiftStart(Table& race, int group, int seconds);

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

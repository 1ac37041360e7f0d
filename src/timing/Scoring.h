#pragma once

#include "store/Table.h"

namespace wm {

// Scores a race table: places by corrected time (ties by sail number, boat name, name), every result
// code ("DNF", "DSQ", "DNS" …) the number of entries. All points are written in one transaction, so a failure writes
// none. A race scored again gets the same points. Throws wm::Error, e.g. when two entries share sail number, boat name
// and name.
void CalcPoints(Table& race);
// The points of entries already in scoring order, given their corrected times: the position from 1, every
// result code the number of entries (`entries`, which counts boats still racing too).
QList<int> pointsInOrder(const QStringList& correctedInOrder, int entries);
void CalcPoints(const QString& path);

// The rule before a race is reported or appended to a series: a race without points (its scoring failed,
// for example on a full disk) is scored now. Throws wm::Error when scoring fails again, so no report of an
// unscored table is ever made.
void ensureScored(Table& race);

} // namespace wm

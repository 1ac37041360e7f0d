#pragma once

#include "reports/BandReport.h"
#include "reports/HtmlExport.h"

#include <QDateTime>

namespace wm {

// The web page and CSV file of a race result, over the same rows (in the same order) as its PDF.

// What the place column shows for each row, as on the PDF: the points, or running numbers from `firstPlace`
// (class results).
QStringList racePlaces(const ReportData& results, bool pointsAsPlace, int firstPlace = 1);

// The PDF's columns, its header line (caption and date) and the rules line.
HtmlResult raceHtml(const ReportData& results, const QString& caption, const QDateTime& now, bool pointsAsPlace,
                    int firstPlace = 1);

// Place, sail number, boat name, helmsman, type, Yardstick, start group, elapsed, corrected, points and a
// code column: "DNF"/"DSQ" with empty time columns, empty for a finisher.
QStringList raceCsvHeader();
QList<QStringList> raceCsvRows(const ReportData& results, bool pointsAsPlace, int firstPlace = 1);
QByteArray raceCsv(const ReportData& results, bool pointsAsPlace, int firstPlace = 1);

} // namespace wm

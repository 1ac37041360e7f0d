#pragma once

#include "reports/HtmlExport.h"
#include "reports/Result.h"

#include <QDateTime>

namespace wm {

class Clock;

// The web page and CSV file of a race result, over the same rows and places (in the same order) as its PDF.

// The PDF's columns, its header line (caption and date) and the rules line.
HtmlResult raceHtml(const Result& result, const QDateTime& now);

// Place, sail number, boat name, helmsman, type, Yardstick, start group, elapsed, corrected, points and a
// code column: the result code ("DNF", "DSQ", "DNS" …) with empty time columns, empty for a finisher.
QStringList raceCsvHeader();
QList<QStringList> raceCsvRows(const Result& result);
QByteArray raceCsv(const Result& result);

// The PDF, the web page and the CSV file of a race result.
ResultFiles raceFiles(const Result& result, const Clock& clock);

} // namespace wm

#pragma once

#include "reports/BandReport.h"
#include "store/Fields.h"
#include "store/Filter.h"

#include <QDate>

namespace wm {

class Table;

// A result as it is printed and exported (PDF, web page, CSV): built once from a table and a selection, then
// only read. Every output of a result is a plain function of this value and the time it is made.
struct Result {
    enum class Kind { Race, Series };
    Kind kind = Kind::Race;
    // The header before the date on every page, the printed title and the web page's title.
    QString caption;
    // The table's field names and each row's values as shown, in the order of the result.
    ReportData rows;
    // What the place column shows, one per row.
    QStringList places;
    // A race: the places are the points (the whole race) rather than running numbers (a class, the overall
    // list by corrected time).
    bool pointsAsPlace = true;
    // A series: the races it holds, and the race list printed under it.
    int races = 0;
    QString raceList;
    // How the result is computed, in small print.
    QString rules;
    // A race: its name and date above the web page's table (raceHeading); empty for none.
    QString heading;
    // A series scored under the racing rules' Appendix A: its race columns hold the cells as shown ("3",
    // "(6 DNC)"), PunkteTotal the sum of those scores, and the fields "Netto" and "Platz" follow the others.
    bool appendixA = false;
};

// The day of a race: the day its table file was made (a race is set up on the day it is sailed, and corrections
// rewrite the file in place), or the day it was last written where the file system keeps no birth time.
QDate raceDate(const QString& raceTablePath);
// "Abendregatta – 24.12.2024"
QString raceHeading(const QString& raceName, const QDate& date);

// Where a field stands in a result's rows (names without regard to case); -1 when absent.
qsizetype fieldColumn(const QStringList& fields, const QString& name);

// A race result over rows already read: the places are the points, or running numbers from 1.
Result raceResult(ReportData rows, const QString& caption, bool pointsAsPlace);
// The rows of a race table passing `filter`, ordered by `orderBy`, headed by the race's name (that of its table
// file) and date. Throws wm::Error when the table cannot be read.
Result raceResult(const Table& race, const QString& caption, const Filter& filter, const QStringList& orderBy,
                  bool pointsAsPlace);

// The three files of an exported result.
struct ResultFiles {
    QByteArray pdf;
    QByteArray html;
    QByteArray csv;
};

// The web page and the CSV file that lie beside a PDF: the same name with ".html" and ".csv".
QString besideFile(const QString& pdfPath, const QString& extension);

// Writes the PDF to `pdfPath` and the web page and CSV file beside it, each whole: a file that cannot be
// written is left as it was, and the first failure throws wm::Error.
void writeResultFiles(const ResultFiles& files, const QString& pdfPath);

} // namespace wm

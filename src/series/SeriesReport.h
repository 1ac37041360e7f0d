#pragma once

#include "reports/HtmlExport.h"
#include "reports/Result.h"
#include "series/SeriesRules.h"
#include "series/SeriesStore.h"

namespace wm {

class Clock;
class Table;

// Which boats of a series a report ranks: all of them, one boat type, or a Yardstick range (both bounds
// included, taken as typed).
struct SeriesSelection {
    enum class Kind { All, Type, Range };
    Kind kind = Kind::All;
    QString type;
    QString low;
    QString high;
};

// The selected rows of an open series ordered by PunkteTotal (equal totals keep their insertion order), every
// value as the store shows it, in the series table's field order. Throws wm::Error, e.g. for a bound that is
// not a number.
ReportData seriesRows(const Table& series, const SeriesSelection& selection);

// "Serie001", "Serie001 (Jolle)", "Serie001 (YS 100 bis 110)".
QString seriesPrintedTitle(const QString& series, const SeriesSelection& selection);
// "Serie001", "Serie001 (Jolle)", "Serie001 (YS100-110)".
QString seriesPdfHeader(const QString& series, const SeriesSelection& selection);
// "Serie_Serie001.pdf", "Serie_Serie001_Jolle.pdf", "Serie_Serie001_100-110.pdf". A path separator typed
// into the type or a bound becomes '-', so the file stays in the reports folder.
QString seriesPdfName(const QString& series, const SeriesSelection& selection);

// Why no PDF of the selection was written: the series has no boat of it.
QString noBoatsMessage(const QString& series, const SeriesSelection& selection);

// How a series result is computed, in small print on every printed, PDF and web result of a series.
extern const QString kSeriesRules;

// The fields an Appendix A ranking adds to the series fields: the net total and the place.
inline const QString kNetto = QStringLiteral("Netto");
inline const QString kPlatz = QStringLiteral("Platz");

// The selected boats of an open series with the races the series holds, the race list line and the rules.
// Under the sum they are placed 1, 2, … in the order of seriesRows; under Appendix A every boat of the series
// is scored, and the selected ones are ranked by net total and A8, equal boats sharing a place. Throws
// wm::Error as seriesRows does.
Result seriesResult(const Table& series, const SeriesSelection& selection, const QString& caption,
                    const QString& raceList, const SeriesRules& rules = {});

// The web page and CSV file of a series ranking, with the places of its PDF: place, sail number, boat name,
// helmsman, one column per race, total; under Appendix A the net total after it.
HtmlResult seriesHtml(const Result& ranking, const QDateTime& now);
QStringList seriesCsvHeader(int races, bool appendixA = false);
QList<QStringList> seriesCsvRows(const Result& ranking);
QByteArray seriesCsv(const Result& ranking);

// The PDF, the web page and the CSV file of a series ranking.
ResultFiles seriesFiles(const Result& ranking, const Clock& clock);

// The race list of the series window joined into one line: "WF 1:  a | WF 2:  b".
QString raceListLine(const QStringList& raceLines);

// Shown before a printed report of a series with more races than the paper has columns.
extern const QString kTooManyRacesMessage;
// The same under Appendix A, whose printed report has ten race columns.
extern const QString kTooManyPlacedRacesMessage;

} // namespace wm

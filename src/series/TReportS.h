#pragma once

#include "reports/BandReport.h"
#include "reports/Result.h"

namespace wm {

// The printed series ranking: A4 landscape with 10 mm margins, a title band, the column header on every page,
// one detail band per boat with up to seven race columns, the rules and the race list at the end. The design
// is made afresh for each ranking.
class TReportS {
public:
    static constexpr int kRaceColumns = 7;
    // A ranking under Appendix A prints up to ten races, in smaller type.
    static constexpr int kPlaceRaceColumns = 10;
    static inline const QString kTitle = QStringLiteral("QRLabel9");
    static inline const QString kRaceList = QStringLiteral("QRLabel3");
    static inline const QString kRules = QStringLiteral("QRLabelRegeln");

    // Item names of the race headers "1" ... "7".
    static QString raceHeader(int k);
    // The race columns a ranking's pages have.
    static int raceColumns(const Result& ranking);
    // The design with no ranking in it; under Appendix A with place, ten races, total and net total.
    static ReportDesign seriesDesign(bool appendixA = false);
    // The design of one ranking: its caption as the title, the race headers 1 ... min(races, 7), its race list.
    static ReportDesign design(const Result& ranking);
    // The pages of a ranking; a selection without rows still prints title, headers and race list.
    static ReportLayout layout(const Result& ranking, const QDateTime& now);
};

} // namespace wm

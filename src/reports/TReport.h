#pragma once

#include "reports/BandReport.h"
#include "reports/Result.h"

namespace wm {

// The printed race result: A4 landscape with 10 mm margins, a title band, the column header on every page,
// one detail band per boat and the rules line after the last one. The design is made afresh for each result.
class TReport {
public:
    // Item names of the design.
    static inline const QString kProduct = QStringLiteral("Produkt");
    static inline const QString kDateTime = QStringLiteral("DatumZeit");
    static inline const QString kTitle = QStringLiteral("ReportTitel");
    static inline const QString kPlaceCaption = QStringLiteral("capPlatz");
    static inline const QString kElapsedCaption = QStringLiteral("capGZeit");
    static inline const QString kCorrectedCaption = QStringLiteral("capBZeit");
    static inline const QString kPoints = QStringLiteral("fldPunkte");
    static inline const QString kRunningNumber = QStringLiteral("cntPlatz");
    static inline const QString kRules = QStringLiteral("Regeln");

    // The design with no result in it.
    static ReportDesign resultDesign();
    // The design of one race result: its caption as the title, its places as points or running numbers.
    static ReportDesign design(const Result& result);
    static ReportLayout layout(const Result& result, const QDateTime& now);
    // The numbered list of entered boats: portrait, "#" for the place, running numbers, no time captions.
    static ReportDesign participantList(const QString& raceName);
};

} // namespace wm

#pragma once

#include "reports/BandReport.h"

#include <QObject>

namespace wm {

// The printed race result: A4 landscape with 10 mm margins, a title band, the column header on every page
// and one detail band per boat. The one design is shared by every printed race report, so each user sets
// the items it relies on before previewing; the participant list works on a fresh copy instead.
class TReport : public QObject {
    Q_OBJECT
public:
    // Item names, for handlers that change the design.
    static inline const QString kProduct = QStringLiteral("Produkt");
    static inline const QString kDateTime = QStringLiteral("DatumZeit");
    static inline const QString kTitle = QStringLiteral("ReportTitel");
    static inline const QString kPlaceCaption = QStringLiteral("capPlatz");
    static inline const QString kElapsedCaption = QStringLiteral("capGZeit");
    static inline const QString kCorrectedCaption = QStringLiteral("capBZeit");
    static inline const QString kPoints = QStringLiteral("fldPunkte");
    static inline const QString kRunningNumber = QStringLiteral("cntPlatz");
    static inline const QString kRules = QStringLiteral("Regeln");

    explicit TReport(QObject* parent = nullptr);

    ReportDesign& design() { return m_design; }
    const ReportDesign& design() const { return m_design; }
    QPageLayout pageLayout() const { return m_design.pageLayout(); }

    void setTitle(const QString& title);
    // The place column shows the points (whole-race reports) or the running number (class reports).
    void setPointsAsPlace(bool points);

    // The design as it is created at start-up.
    static ReportDesign resultDesign();
    // A copy of the shared design turned into the numbered list of entered boats: portrait, "#" for the
    // place, running numbers, no time captions. The shared design is left as it is.
    ReportDesign participantList(const QString& raceName) const;

private:
    ReportDesign m_design;
};

} // namespace wm

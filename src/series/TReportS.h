#pragma once

#include "reports/BandReport.h"

#include <QObject>

namespace wm {

// The printed series ranking: A4 landscape with 10 mm margins, a title band, the column header on every page,
// one detail band per boat with up to seven race columns, and the race list at the end. The design keeps
// what the last report set, so every report sets title, race headers and race list afresh.
class TReportS : public QObject {
    Q_OBJECT
public:
    static constexpr int kRaceColumns = 7;
    static inline const QString kTitle = QStringLiteral("QRLabel9");
    static inline const QString kRaceList = QStringLiteral("QRLabel3");
    static inline const QString kRules = QStringLiteral("QRLabelRegeln");

    explicit TReportS(QObject* parent = nullptr);

    ReportDesign& design() { return m_design; }
    const ReportDesign& design() const { return m_design; }
    QPageLayout pageLayout() const { return m_design.pageLayout(); }

    void setTitle(const QString& title);
    // Shows the race headers 1 ... min(races, 7) and hides the others.
    void setRaceCount(int races);
    void setRaceList(const QString& line);

    // The pages for these rows; a selection without rows still prints title, headers and race list.
    ReportLayout layout(const ReportData& rows, const QDateTime& now) const;

    // Item names of the race headers "1" ... "7".
    static QString raceHeader(int k);
    static ReportDesign seriesDesign();

private:
    ReportDesign m_design;
};

} // namespace wm

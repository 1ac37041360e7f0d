#pragma once

#include "reports/PdfWriter.h"

namespace wm {

// The geometry every PDF result page shares (race and series): A4 landscape in points, four panels 776
// wide one point inside the left margin, and a row grid of 25-point rows.
namespace resultpage {
constexpr double kWidth = 842;
constexpr double kHeight = 596;
constexpr double kMarginTop = 32;
constexpr double kMarginLeft = 32;
constexpr double kMarginRight = 32;
constexpr double kMarginBottom = 24;
constexpr double kPanelLeft = kMarginLeft + 1;
constexpr double kPanelWidth = 776;
constexpr double kHeaderTop = kMarginTop + 1;
constexpr double kHeaderHeight = 32;
constexpr double kColumnHeaderHeight = 24;
constexpr double kFooterHeight = 32;
constexpr double kGridRowHeight = 25;
constexpr double kGridHeight = kHeight - 142;
} // namespace resultpage

struct ResultPagePanels {
    QString header;
    QString columnHeader;
    QString grid;
    QString footer;
};

// A page of the result geometry with its four panels, still without items: header, column header, the row
// grid (page height − 142 high, as many rows as whole 25-point rows fit) and the footer at the bottom.
pdf::PageDesign resultPageFrame(const ResultPagePanels& names);

// The footer line of every result page.
extern const QString kResultPageFooter;
// How a race result is computed, in small print on every printed, PDF and web result of a race.
extern const QString kRaceRules;
// The rules line of a race timed under a Yardstick list: kRaceRules naming the list ("Yardstick: DSV 2027"),
// so a result says which numbers it used; exactly kRaceRules for none.
QString raceRules(const QString& yardstickList);
// The rules line of a stored race, from the list its information file names.
QString raceRulesOf(const QString& raceInfoPath);

// Document information of every result PDF.
pdf::DocumentInfo resultDocumentInfo(const QDateTime& created);

} // namespace wm

#include "ResultPage.h"

#include "store/IniFile.h"
#include "store/YardstickInForce.h"

namespace wm {

using namespace resultpage;

const QString kResultPageFooter = QStringLiteral("Wendemark - www.wendemark.example");
const QString kRaceRules =
    QStringLiteral("Berechnete Zeit = gesegelte Zeit × 100 / Yardstick, auf volle Sekunden abgeschnitten · gleiche "
                   "berechnete Zeit: Segelnummer entscheidet · DNF/DSQ/…: Punkte = Zahl der gemeldeten Boote");

QString raceRules(const QString& yardstickList) {
    const QString note = yardstickNote(yardstickList);
    return note.isEmpty() ? kRaceRules : kRaceRules + QStringLiteral(" · ") + note;
}

QString raceRulesOf(const QString& raceInfoPath) {
    return raceRules(yardstickListIn(IniFile(raceInfoPath)));
}

pdf::PageDesign resultPageFrame(const ResultPagePanels& names) {
    pdf::PageDesign page;
    page.width = kWidth;
    page.height = kHeight;
    const double columnHeaderTop = kHeaderTop + kHeaderHeight;
    const double gridTop = columnHeaderTop + kColumnHeaderHeight;
    const double footerTop = kHeight - kMarginBottom - 1 - kFooterHeight;

    pdf::Panel header{names.header, kPanelLeft, kHeaderTop, kPanelWidth, kHeaderHeight, 0, {}, {}, {}};
    pdf::Panel columnHeader{
        names.columnHeader, kPanelLeft, columnHeaderTop, kPanelWidth, kColumnHeaderHeight, 0, {}, {}, {}};
    pdf::Panel grid{names.grid, kPanelLeft, gridTop, kPanelWidth, kGridHeight, 0, {}, {}, {}};
    grid.rows = int(kGridHeight) / int(kGridRowHeight);
    pdf::Panel footer{names.footer, kPanelLeft, footerTop, kPanelWidth, kFooterHeight, 0, {}, {}, {}};
    page.panels = {header, columnHeader, grid, footer};
    return page;
}

pdf::DocumentInfo resultDocumentInfo(const QDateTime& created) {
    const QString product = QStringLiteral("Wendemark");
    return {product, product, QStringLiteral("Report"), QStringLiteral("Wendemark Report"), QString(), created};
}

} // namespace wm

#pragma once

#include "desktop/BrowserDialog.h"
#include "desktop/Seams.h"
#include "series/SeriesReport.h"
#include "store/RecordModel.h"
#include "store/Table.h"

#include <QHash>

#include <functional>
#include <memory>

class QMenu;

namespace Ui {
class TSeriesManager;
}

namespace wm {

class ClassReportPanel;
class Race;

// Regatta series: create, open and delete series, append scored races as points columns, and print or
// export the ranking of the whole series, of one boat type or of a Yardstick range.
class TSeriesManager : public BrowserDialog {
    Q_OBJECT
public:
    // `running` is the main window's race in progress: appending it uses the table the main window holds.
    TSeriesManager(Race& running, const Seams& seams, QWidget* parent = nullptr);
    ~TSeriesManager() override;

    void RefreshTree();
    void TreeView1Change(const QString& name);
    void RefreshWF();
    void RefreshPop();
    void RefreshCombo();
    void tblSerieAfterOpen();
    void tblSerieAfterClose();
    void Label3Click();
    void Button3Click();
    void Label4Click();
    void AppendRace(const QString& raceName);
    void Label2Click();
    // The printed ranking of the chosen type (or Yardstick range when `range`).
    Result PrepareReport(bool range);
    void Label13Click();
    void Label14Click();
    void Label5Click();
    void Label6Click();
    void Label7Click();
    void LabelWertungClick();

    // The open series ("" when none), the series in the tree, top to bottom, and the race menu's captions.
    const QString& seriesName() const { return m_series.name; }
    const SeriesRules& rules() const { return m_rules; }
    QStringList seriesList() const { return names(); }
    QStringList raceMenu() const;
    QMenu* popAppend() const { return m_popAppend; }

protected:
    void aboutToShow() override;

private:
    void openSeriesTable();
    // The rules of the open series from its settings file; one that cannot be read is said, and the sum stays in
    // force.
    void readRules();
    void showRules();
    void closeSeriesTable();
    void showSeries();
    bool requireSeries();
    SeriesSelection selection(SeriesSelection::Kind kind) const;
    // The ranking as printed: the printed title, the race list; says first when the paper lacks race columns.
    Result printedRanking(const SeriesSelection& sel);
    void previewReport(const Result& ranking);
    // Shows the ranking `prepare` gives once a series is open.
    void printReport(const std::function<Result()>& prepare);
    // Writes the PDF of the selection with its web page and CSV file; a selection without boats is refused.
    void exportPdf(const SeriesSelection& sel);
    void enableAppend();

    const std::unique_ptr<Ui::TSeriesManager> m_ui;
    Race& m_running;
    const Seams m_seams;

    ClassReportPanel* m_reports = nullptr; // type list, Yardstick range and the report commands
    QMenu* m_popAppend = nullptr;
    SeriesFiles m_series; // tblSerie: the series named last, open or not
    Table m_tblSerie;
    RecordModel m_grid;
    SeriesRules m_rules;                     // in force for the open series
    QHash<qint64, BoatStanding> m_standings; // under Appendix A: each series row's standing, for the grid
};

} // namespace wm

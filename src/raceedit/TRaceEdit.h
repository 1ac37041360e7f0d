#pragma once

#include "desktop/BrowserDialog.h"
#include "desktop/Seams.h"
#include "reports/Result.h"
#include "store/Filter.h"
#include "store/RecordModel.h"
#include "store/Table.h"

#include <memory>

namespace Ui {
class TRaceEdit;
}

namespace wm {

class ClassReportPanel;
class Race;
class RecordEditor;

// Stored races: pick one, edit its entries, correct a time and score the race again, delete a race for
// good, and report the whole race or one class of it. The race the main window is timing is never
// opened here.
class TRaceEdit : public BrowserDialog {
    Q_OBJECT
public:
    // `running`: the main window's race in progress, never opened here.
    TRaceEdit(Race& running, const Seams& seams, QWidget* parent = nullptr);
    ~TRaceEdit() override;

    void RefreshTree();
    void Table1AfterOpen();
    void Button1Click();
    void Label5Click();
    // The chosen class (a type, or a Yardstick range when `range`) by points, placed by running numbers.
    Result PrepareReport(bool range, const QString& caption);
    void Label8Click();
    void Label13Click();
    void Label14Click();
    void Label15Click();
    void Label16Click();
    void Label17Click();
    void LabelStartFixClick();
    // Lists what looks wrong in the chosen race, or says that nothing does.
    void LabelCheckClick();

    const QString& raceName() const { return m_raceName; }
    Table& table() { return m_table; }
    RecordModel& entries() { return m_entries; }
    QStringList races() const { return names(); }

public slots:
    void reject() override;

protected:
    void aboutToShow() override;

private:
    void selectRace(const QString& name);
    void closeRace();
    void closeWindow();
    void requireRace() const;
    void refuseRunning(const QString& path) const;
    // After a change that scored the race again: the entries by corrected time, `rowid` current.
    void showRescored(qint64 rowid);

    QString reportsDir() const;
    // The rows of the chosen race passing `filter`; throws wm::Error with `emptyMessage` when there are none.
    Result selectResult(const QString& caption, const Filter& filter, const QStringList& order, bool pointsAsPlace,
                        const QString& emptyMessage);
    void previewReport(const Result& result);
    void exportClass(const Result& result, const QString& fileName);

    const std::unique_ptr<Ui::TRaceEdit> m_ui;
    Race& m_running;
    const Seams m_seams;

    Table m_table; // Table1: the chosen race
    RecordModel m_entries;
    QString m_raceName;
    RecordEditor* m_editor = nullptr;      // the two edit fields and the record buttons
    ClassReportPanel* m_reports = nullptr; // type list, Yardstick range and the report commands
};

} // namespace wm

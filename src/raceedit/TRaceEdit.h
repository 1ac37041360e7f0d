#pragma once

#include "desktop/ImageList.h"
#include "reports/BandReport.h"
#include "store/Filter.h"
#include "store/ProgramDir.h"
#include "store/RecordModel.h"
#include "store/Table.h"

#include <QDialog>
#include <QStandardItemModel>

#include <memory>

class QToolButton;

namespace Ui {
class TRaceEdit;
}

namespace wm {

class Clock;
class CommandLabels;
class Notifier;
class Preview;
class Prompts;
class Race;
class RacePage;
class TReport;

// Stored races: pick one, edit its entries, correct a time and score the race again, delete a race for
// good, and report the whole race or one class of it. The race the main window is timing is never
// opened here.
class TRaceEdit : public QDialog {
    Q_OBJECT
public:
    struct Shared {
        Race& running; // the main window's race in progress
        RacePage& page;
        TReport& report;
    };
    struct Seams {
        ProgramDir programDir;
        const Clock& clock;
        Prompts& prompts;
        Notifier& notifier;
        Preview& preview;
    };

    TRaceEdit(const Shared& shared, const Seams& seams, QWidget* parent = nullptr);
    ~TRaceEdit() override;

    void RefreshTree();
    void Table1AfterOpen();
    void Button1Click();
    void Label5Click();
    void PrepareReport(bool range);
    void Label8Click();
    void Label13Click();
    void Label14Click();
    void Label15Click();
    void Label16Click();
    void Label17Click();
    // The same selections as Label15, Label16 and Label17, as a web page or a CSV file.
    void Label15HtmlClick();
    void Label15CsvClick();
    void Label16HtmlClick();
    void Label16CsvClick();
    void Label17HtmlClick();
    void Label17CsvClick();
    void LabelStartFixClick();

    const QString& raceName() const { return m_raceName; }
    Table& table() { return m_table; }
    RecordModel& entries() { return m_entries; }
    QStringList races() const;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void selectRace(const QString& name);
    void closeRace();
    void closeWindow();
    void requireRace() const;
    void refuseRunning(const QString& path) const;
    QString reportsDir() const;
    ReportData classRows(const Filter& filter, const QStringList& order, const QString& emptyMessage);
    void previewReport(const QString& title, const ReportData& rows, bool pointsAsPlace);
    void exportClass(const QString& caption, const QString& fileName);
    enum class Format { Html, Csv };
    // Writes m_qryResults, placed as the class PDF places them, beside the PDF `pdfName`.
    QString exportRows(const QString& caption, const QString& pdfName, Format format);
    void exportClassAs(bool range, Format format);
    void exportOverallAs(Format format);
    void selectOverall();

    void loadFields();
    bool postFields();
    void fieldsEdited() { m_fieldsDirty = true; }
    void entryChanged();
    void insertEntry();
    void deleteEntry();
    void cancelEdit();
    void refreshEntries();

    const std::unique_ptr<Ui::TRaceEdit> m_ui;
    Race& m_running;
    RacePage& m_page;
    TReport& m_report;
    ProgramDir m_programDir;
    const Clock& m_clock;
    Prompts& m_prompts;
    Notifier& m_notifier;
    Preview& m_preview;

    ImageList m_images24{24};
    CommandLabels* m_commands = nullptr;
    QStandardItemModel m_raceList;
    Table m_table; // Table1: the chosen race
    RecordModel m_entries;
    QString m_raceName;
    ReportData m_qryResults;
    QToolButton* m_insert = nullptr;
    QToolButton* m_delete = nullptr;
    QToolButton* m_cancel = nullptr;
    QToolButton* m_refresh = nullptr;

    // The entry the two edit fields belong to, and whether they hold typed text not yet written.
    qint64 m_fieldsRowid = -1;
    bool m_fieldsDirty = false;
    qint64 m_insertedRowid = -1;
};

} // namespace wm

#pragma once

#include "store/ProgramDir.h"

#include <QObject>

#include <functional>

class QPushButton;

namespace wm {

class Clock;
class Notifier;
class Preview;
class Prompts;
class Race;
class RacePage;
struct ReportData;
class TReport;

struct ResultButtonWidgets {
    QPushButton* cmdReport = nullptr;
    QPushButton* cmdReportPDF = nullptr;
    QPushButton* cmdCompList = nullptr;
    QPushButton* cmdReportHTML = nullptr; // optional
    QPushButton* cmdReportCSV = nullptr;  // optional
};

// The main window's result buttons: the printed result, its PDF, web page and CSV exports and the
// participant list of the race in progress. The report design and the PDF page are lent by the object that owns them.
class ResultButtons : public QObject {
    Q_OBJECT
public:
    ResultButtons(const ResultButtonWidgets& widgets, Race& race, RacePage& page, TReport& report, const Clock& clock,
                  Prompts& prompts, Notifier& notifier, Preview& preview, ProgramDir programDir,
                  QObject* parent = nullptr);

    void cmdReportClick();
    void cmdReportPDFClick();
    void cmdCompListClick();
    void cmdReportHTMLClick();
    void cmdReportCSVClick();

    // Where the export of the race in progress goes: Reports/ + race name + ".pdf".
    QString pdfPath() const;
    // The same with another extension, e.g. ".html".
    QString reportPath(const QString& extension) const;

signals:
    void exported(const QString& path);

private:
    // Writes one export of the scored race whole and tells where it went.
    void exportAs(const QString& extension, const QString& kind,
                  const std::function<QByteArray(const ReportData&)>& contents);

    ResultButtonWidgets m_widgets;
    Race& m_race;
    RacePage& m_page;
    TReport& m_report;
    const Clock& m_clock;
    Prompts& m_prompts;
    Notifier& m_notifier;
    Preview& m_preview;
    ProgramDir m_programDir;
};

} // namespace wm

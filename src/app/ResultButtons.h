#pragma once

#include "store/ProgramDir.h"

#include <QObject>

class QPushButton;

namespace wm {

class Clock;
class Notifier;
class Preview;
class Prompts;
class Race;

struct ResultButtonWidgets {
    QPushButton* cmdReport = nullptr;
    QPushButton* cmdReportPDF = nullptr;
    QPushButton* cmdCompList = nullptr;
};

// The main window's result buttons: the printed result of the race in progress, its PDF (with the web page
// and the CSV file beside it) and the participant list.
class ResultButtons : public QObject {
    Q_OBJECT
public:
    ResultButtons(const ResultButtonWidgets& widgets, Race& race, const Clock& clock, Prompts& prompts,
                  Notifier& notifier, Preview& preview, ProgramDir programDir, QObject* parent = nullptr);

    void cmdReportClick();
    void cmdReportPDFClick();
    void cmdCompListClick();

    // Where the export of the race in progress goes: Reports/ + race name + ".pdf".
    QString pdfPath() const;

signals:
    void exported(const QString& path);

private:
    ResultButtonWidgets m_widgets;
    Race& m_race;
    const Clock& m_clock;
    Prompts& m_prompts;
    Notifier& m_notifier;
    Preview& m_preview;
    ProgramDir m_programDir;
};

} // namespace wm

#pragma once

#include "desktop/Seams.h"

#include <QObject>

class QPushButton;

namespace wm {

class Race;
struct Result;

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
    ResultButtons(const ResultButtonWidgets& widgets, Race& race, const Seams& seams, QObject* parent = nullptr);

    void cmdReportClick();
    void cmdReportPDFClick();
    void cmdCompListClick();

    // Where the export of the race in progress goes: Reports/ + race name + ".pdf".
    QString pdfPath() const;

signals:
    void exported(const QString& path);

private:
    // The whole race by points, with the rules line naming the Yardstick list it was timed under.
    Result raceResultNow() const;

    ResultButtonWidgets m_widgets;
    Race& m_race;
    const Seams m_seams;
};

} // namespace wm

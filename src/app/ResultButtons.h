#pragma once

#include "desktop/Seams.h"
#include "timing/Race.h"

#include <QObject>
#include <QSet>

#include <functional>

class QPushButton;

namespace wm {

struct Result;

struct ResultButtonWidgets {
    QPushButton* cmdReport = nullptr;
    QPushButton* cmdReportPDF = nullptr;
    QPushButton* cmdCompList = nullptr;
    QPushButton* cmdCheck = nullptr; // "Prüfen", once the race is over
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
    // Lists what looks wrong in the race, or says that nothing does.
    void cmdCheckClick();
    // Shows "Prüfen" beside the result buttons once the race is over; while boats finish, the stamps take its
    // place.
    void setMode(Race::Mode mode);
    // Where the check finds the time stamps not yet assigned to a boat (none until this is set).
    void setUnassignedStamps(std::function<QStringList()> stamps) { m_unassignedStamps = std::move(stamps); }

    // Where the export of the race in progress goes: Reports/ + race name + ".pdf".
    QString pdfPath() const;

signals:
    void exported(const QString& path);

private:
    // The whole race by points, with the rules line naming the Yardstick list it was timed under.
    Result raceResultNow() const;
    QStringList checkNow() const;
    // Before the race is first printed or exported: true when nothing looks wrong or the user goes on anyway.
    bool checkedBeforePublishing();

    ResultButtonWidgets m_widgets;
    Race& m_race;
    const Seams m_seams;
    std::function<QStringList()> m_unassignedStamps;
    // The races (table files) checked before publishing, each asked about only once.
    QSet<QString> m_checked;
};

} // namespace wm

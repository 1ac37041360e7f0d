#pragma once

#include "desktop/Seams.h"
#include "timing/Race.h"

#include <QObject>

#include <optional>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QWidget;

namespace wm {

class Aliases;
class DBNavigator;
class ImageList;
class Prompts;
class StartClock;

// The race desk of the main window: new race, the entry list, finish mode and the finish line (ZIEL, DNF,
// DSQ), and race completion with its scoring. It reaches the register only through its table and list.
class RacePanel : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QWidget* window = nullptr;           // the main window, whose height the finish-mode list fills
        QTableView* grid = nullptr;          // DBGrid2
        DBNavigator* navigator = nullptr;    // DBNavigator2
        QLineEdit* search = nullptr;         // FilterToday
        QLabel* clearSearch = nullptr;       // Image1
        QLabel* startOfCurrent = nullptr;    // DBText5: the current entry's start group
        QPushButton* add = nullptr;          // cmdAdd
        QPushButton* finishMode = nullptr;   // cmdZiel
        QPushButton* finish = nullptr;       // cmdZeiten
        QPushButton* dnf = nullptr;          // cmdDNF
        QPushButton* dsq = nullptr;          // cmdDSQ
        QPushButton* code = nullptr;         // cmdCode: the other result codes, from the menu popCode
        QPushButton* undo = nullptr;         // cmdUndo
        QPushButton* entryList = nullptr;    // cmdCompList
        QPushButton* report = nullptr;       // cmdReport
        QPushButton* reportPdf = nullptr;    // cmdReportPDF
        QLabel* raceName = nullptr;          // Label11
        QLabel* modeName = nullptr;          // Label17
        QWidget* newRaceLabel = nullptr;     // Label22
        QWidget* newRaceIcon = nullptr;      // imgNewRace
        QWidget* startSetup = nullptr;       // grpZeitenSetup
        QWidget* clocks = nullptr;           // grpZeiten
        QTableView* registerGrid = nullptr;  // DBGrid1, whose place the race list takes in finish mode
        QLineEdit* registerSearch = nullptr; // FilterStarter
        QList<QWidget*> registerControls;    // hidden in finish mode with the register grid and search field
    };
    // `images24`: the pictures of the race desk's buttons.
    RacePanel(const Widgets& widgets, const Seams& seams, const ImageList& images24, Race& race, Table& participants,
              RecordModel& available, StartClock& startClock, QObject* parent = nullptr);

    Race& race() const { return m_race; }
    // The button that Enter presses when no button has the focus.
    QPushButton* defaultButton() const;

    void cmdNewRaceClick();
    void cmdAddClick();
    void FilterTodayChange();
    void Image1Click();
    void cmdZielClick();
    void Zielmodus();
    void cmdZeitenClick();
    void cmdDNFClick();
    void cmdDSQClick();
    // The menu of the other result codes under "Code…": choosing one finishes the entry as "DNF" does.
    QMenu* popCode() const { return m_popCode; }
    void RaceOver();
    // Takes back the latest finish: the entry races again and is selected in the list.
    void cmdUndoClick();
    // At start-up: offers every race whose timing was interrupted; "Ja" opens it in finish mode with its own
    // start times, "Nein" leaves it and it is not offered again. Returns whether a race was resumed.
    bool resumeInterruptedRace();
    // Before finish mode: asks to activate every start that entries use but that is not ticked. "Nein" stops
    // and changes no check box. Throws wm::Error.
    bool CheckStarter();
    // The Yardstick list the register's numbers come from (empty: none). A race timed from now on names it in
    // its information file, since its entries keep the numbers they were copied with.
    void setYardstickList(const QString& list) { m_yardstickList = list; }

signals:
    void modeChanged(wm::Race::Mode mode);
    void captionChanged(const QString& caption);
    void raceOver();
    // After a finish, a code or an undo was stored: what the race's results show has changed.
    void raceChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The one place that decides which controls show, and which take input, in each mode.
    void applyMode(Race::Mode mode);
    std::optional<QString> askRaceName();
    void recordMarker(const QString& marker);

    const Widgets m_w;
    const Seams m_seams;
    const ImageList& m_images;
    const QString m_dataDir;
    Race& m_race;
    Table& m_participants;
    RecordModel& m_available;
    StartClock& m_startClock;
    QMenu* m_popCode = nullptr;
    QString m_yardstickList;
};

// Asks for each start in `missing` whether to activate it; "Nein" returns false at once and changes no box.
bool confirmStarts(StartClock& clock, Prompts& prompts, const QList<int>& missing);

} // namespace wm

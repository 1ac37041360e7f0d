#pragma once

#include "desktop/Seams.h"

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace wm {

class DBNavigator;
class ImageList;
class ParticipantRegister;

// The register part of the main window: the boats still available, the search field over them, the entry
// of a new boat, and switching or creating the participant database.
class RegisterPanel : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QTableView* grid = nullptr;       // DBGrid1
        DBNavigator* navigator = nullptr; // DBNavigator1
        QLineEdit* search = nullptr;      // FilterStarter
        QLabel* clearSearch = nullptr;    // Image2
        QPushButton* newBoat = nullptr;   // cmdNewParticip
        QToolButton* createSID = nullptr; // cmdCreateSID
        QToolButton* changeSID = nullptr; // cmdChangeSID
        QLabel* sailNumber = nullptr;     // DBText1: the current boat, as the add statement reads it
        QLabel* boatName = nullptr;       // DBText2
        QLabel* helmsman = nullptr;       // DBText3
        QToolButton* importSID = nullptr; // cmdImportSID (optional)
        QToolButton* ysList = nullptr;    // cmdYsList (optional)
    };
    // What the panel takes from the main window besides the seams.
    struct Setup {
        const ImageList* images16 = nullptr;
        const ImageList* images24 = nullptr;
        std::function<QString(const QString&)> participantPath; // database name to table file
    };

    RegisterPanel(const Widgets& widgets, const Seams& seams, const Setup& setup, ParticipantRegister& participants,
                  QObject* parent = nullptr);

    enum class Startup {
        Held,          // open for this program alone, nothing changed yet
        HeldElsewhere, // another copy of the program (or another program) holds it
        Failed,        // missing, damaged, read-only or not a participant table
    };

    // The participant database in use, as the settings file names it.
    const QString& CurrentSID() const { return m_currentSID; }
    // Opens the database named in the settings for this program alone and changes nothing in it yet. On any
    // failure the message is shown and no table stays open, so nothing is written back at quit.
    Startup holdAtStartup(const QString& sid);
    // Makes every boat of the held database available and shows them. On failure the message is shown and the
    // table is closed. Returns whether it worked.
    bool prepareAtStartup();
    // While a race is open the register is read only, and Enter adds the current boat to the race.
    void setRaceOpen(bool open);
    // Puts a text into the search field (a saved new boat is looked up by it).
    void setSearchText(const QString& text);

    void FilterStarterChange();
    void Image2Click();
    void cmdNewParticipClick();
    void deleteParticipant();
    void refreshParticipants();
    void cmdCreateSIDClick();
    void cmdChangeSIDClick();
    // Reads a boat list from a CSV file, shows the preview and adds the rows it accepts when confirmed.
    void cmdImportSIDClick();
    // Opens the Yardstick list window over the register; the register shows the numbers it applied.
    void cmdYsListClick();
    // The Yardstick list applied to the database in use, as the settings name it; empty when none.
    const QString& yardstickList() const { return m_yardstickList; }

signals:
    // Another database was opened: its start times are to be loaded (unless boats are being timed).
    void databaseSwitched();
    void newParticipantRequested();
    // Enter in the register while a race is open.
    void addRequested();
    // The Yardstick list in force for the register changed (another database, a list applied); empty: none.
    void yardstickListChanged(const QString& list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reopen();
    // Reads which list the settings name for the database in use; the tooltip of the Yardstick column says it.
    void readListInForce();

    const Widgets m_w;
    const Seams m_seams;
    const Setup m_setup;
    const QString m_dataDir;
    ParticipantRegister& m_participants;
    QString m_currentSID;
    bool m_raceOpen = false;
    QString m_yardstickList;
};

} // namespace wm

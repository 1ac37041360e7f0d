#pragma once

#include "app/Services.h"
#include "desktop/ImageList.h"
#include "store/ProgramDir.h"

#include <QWidget>

#include <memory>
#include <optional>

class QLabel;
class QTimer;

namespace Ui {
class TMain;
}

namespace wm {

class ParticipantRegister;
class Race;
class StartClock;
class TNewParticipant;
class TRaceEdit;
class TSeriesManager;
class TrayIcon;

// The main window: header and navigation, participant register, start clock, race list and finish
// recording. It owns the participant table and the race in progress.
class TMain : public QWidget {
    Q_OBJECT
public:
    explicit TMain(const Services& services, QWidget* parent = nullptr);
    ~TMain() override;

    Ui::TMain* ui() const { return m_ui.get(); }
    const QString& currentSID() const { return m_currentSID; }
    ParticipantRegister& participants() const { return *m_participants; }
    StartClock& startClock() const { return *m_startClock; }
    TrayIcon& trayIcon() const { return *m_tray; }
    Notifier& notifier() const;
    QTimer* timLoad() const { return m_timLoad; }

    void setWindows(TNewParticipant* newParticipant, TRaceEdit* raceEdit, TSeriesManager* seriesManager);

    // Scales every control for a screen narrower than 1100 pixels, and centres the window.
    void scaleForScreen(int screenWidth);

    void timLoadTimer();
    void FormDestroy();
    void cmdHaltClick();
    void Label20Click();
    void Label23Click();
    void Label24Click();
    void openWebAddress();

    void FilterStarterChange();
    void Image2Click();
    void cmdNewParticipClick();
    void deleteParticipant();
    void refreshParticipants();

    void cmdCreateSIDClick();
    void cmdChangeSIDClick();

    Race& race() const { return *m_race; }
    void cmdNewRaceClick();
    void cmdAddClick();
    void FilterTodayChange();
    void Image1Click();
    void cmdZielClick();
    void Zielmodus();
    void cmdZeitenClick();
    void cmdDNFClick();
    void cmdDSQClick();
    void RaceOver();

signals:
    // The user confirmed quitting; the settings are already saved.
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct NavEntry {
        QLabel* label;
        QLabel* icon;
        int normal;
        int highlighted;
        void (TMain::*click)();
    };

    void FormCreate();
    void setUpNavigation();
    void setUpRegister();
    void highlight(const NavEntry& entry, bool on);
    void showNotice(const QString& title, const QString& text);
    QString participantPath() const;
    void reopenParticipants();
    void setUpRace();
    std::optional<QString> askRaceName();
    void recordMarker(const QString& marker);

    const Services m_services;
    const std::unique_ptr<Ui::TMain> m_ui;
    const ImageList m_images24{24};
    const ImageList m_images16{16};
    Aliases m_aliases;
    QString m_currentSID;
    std::unique_ptr<ParticipantRegister> m_participants;
    std::unique_ptr<Race> m_race;
    StartClock* m_startClock = nullptr;
    TrayIcon* m_tray = nullptr;
    QTimer* m_timLoad = nullptr;
    QTimer* m_noticeTimer = nullptr;
    QList<NavEntry> m_entries;
    TNewParticipant* m_newParticipant = nullptr;
    TRaceEdit* m_raceEdit = nullptr;
    TSeriesManager* m_seriesManager = nullptr;
    bool m_shutDown = false;
    bool m_quitting = false;
};

} // namespace wm

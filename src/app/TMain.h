#pragma once

#include "app/Services.h"
#include "desktop/ImageList.h"
#include "desktop/Seams.h"
#include "store/ProgramDir.h"

#include <QWidget>

#include <memory>
#include <optional>

class QTimer;

namespace Ui {
class TMain;
}

namespace wm {

class CommandLabels;
class ParticipantRegister;
class Race;
class LiveWriter;
class RacePanel;
class ResultButtons;
class RegisterPanel;
class SignalDesk;
class StampDesk;
class StartClock;
class ToneSound;
class TrayIcon;

// The main window's frame: header and navigation, start-up and shutdown, notices, scaling and the default
// button. The register, the start clock and the race desk drive their own parts of the form.
class TMain : public QWidget {
    Q_OBJECT
public:
    // What the window works on; owned by the program and lent to the window.
    struct Shared {
        ParticipantRegister& participants;
        Race& race;
    };

    TMain(const Services& services, const Shared& shared, QWidget* parent = nullptr);
    ~TMain() override;

    Ui::TMain* ui() const { return m_ui.get(); }
    const QString& currentSID() const;
    ParticipantRegister& participants() const { return m_shared.participants; }
    Race& race() const { return m_shared.race; }
    StartClock& startClock() const { return *m_startClock; }
    RegisterPanel& registerPanel() const { return *m_register; }
    RacePanel& racePanel() const { return *m_racePanel; }
    SignalDesk& signalDesk() const { return *m_signals; }
    StampDesk& stampDesk() const { return *m_stamps; }
    ResultButtons& resultButtons() const { return *m_results; }
    LiveWriter& liveWriter() const { return *m_live; }
    TrayIcon& trayIcon() const { return *m_tray; }
    Notifier& notifier() const;
    // The seams with this window's notifier, for the windows and panels of the program.
    const Seams& seams() const { return *m_seams; }
    QTimer* timLoad() const { return m_timLoad; }

    // Scales every control for a screen narrower than 1100 pixels, and centres the window.
    void scaleForScreen(int screenWidth);

    void timLoadTimer();
    void FormDestroy();
    void cmdHaltClick();
    void Label20Click();
    void openWebAddress();

signals:
    // The user confirmed quitting; the settings are already saved.
    void quitRequested();
    void seriesRequested();   // "Regattaserien"
    void raceEditRequested(); // "WF Nachbearbeitung"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // "Über Wendemark", from the version line.
    void showAbout();
    // A register without any boat shows, over its grid, what to do first: import boats or load the example fleet.
    void setUpFirstSteps();
    void showFirstSteps();
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void setUpStartClock();
    void setUpNavigation();
    void setUpPanels();
    void showNotice(const QString& title, const QString& text);
    // Asks about each race left unfinished; runs once, just after the window first appears.
    void offerResume();

    const Services m_services;
    const Shared m_shared;
    const std::unique_ptr<Ui::TMain> m_ui;
    const ImageList m_images24{24};
    const ImageList m_images16{16};
    Aliases m_aliases;
    StartClock* m_startClock = nullptr;
    RegisterPanel* m_register = nullptr;
    RacePanel* m_racePanel = nullptr;
    ResultButtons* m_results = nullptr;
    LiveWriter* m_live = nullptr;
    SignalDesk* m_signals = nullptr;
    StampDesk* m_stamps = nullptr;
    ToneSound* m_toneSound = nullptr; // when no sound was lent
    CommandLabels* m_navigation = nullptr;
    TrayIcon* m_tray = nullptr;
    // Made once the tray icon exists, which shows the notices unless the program was given a notifier.
    std::optional<Seams> m_seams;
    QTimer* m_timLoad = nullptr;
    QTimer* m_noticeTimer = nullptr;
    bool m_shutDown = false;
    bool m_quitting = false;
    bool m_resumeOffered = false;
};

} // namespace wm

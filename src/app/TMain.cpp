#include "app/TMain.h"

#include "app/FileVersion.h"
#include "app/LiveWriter.h"
#include "app/Maker.h"
#include "app/ResultButtons.h"
#include "app/TAbout.h"
#include "app/TrayIcon.h"
#include "desktop/ActionGuard.h"
#include "desktop/CommandLabels.h"
#include "desktop/GridBinding.h"
#include "desktop/Prompts.h"
#include "desktop/SignalSound.h"
#include "desktop/UpDown.h"
#include "desktop/WidgetScaling.h"
#include "participants/ExampleFleet.h"
#include "participants/ParticipantRegister.h"
#include "participants/RegisterPanel.h"
#include "store/Backup.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "store/IniFile.h"
#include "timing/RacePanel.h"
#include "timing/SignalDesk.h"
#include "timing/StampDesk.h"
#include "timing/StartClock.h"
#include "ui_TMain.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace wm {

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kLastSID = QStringLiteral("LastSID");
const QString kDefaultSID = QStringLiteral("StarterID.db");
const QString kStarterAlias = QStringLiteral("pdxStarterAlias");

constexpr int kNarrowScreen = 1100;
constexpr double kScaleBase = 1350.0;

} // namespace

TMain::TMain(const Services& services, const Shared& shared, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint),
      m_services(services), m_shared(shared), m_ui(std::make_unique<Ui::TMain>()) {
    m_ui->setupUi(this);
    applyPixelFonts(this);
    setWindowIcon(QIcon(maker::kProgramIcon));
    m_ui->Label28->setText(maker::kWebAddressShown);
    m_ui->Label29->setText(maker::kNoticeLine);
    m_ui->BriseLogo->setPixmap(QIcon(maker::kLogo).pixmap(65, 89));
    m_ui->lblNotification->setWordWrap(true);
    m_ui->lblNotification->setStyleSheet(QStringLiteral(
        "QLabel { background-color: rgb(255, 250, 215); border: 1px solid rgb(200, 180, 90); padding: 4px; }"));

    m_tray = new TrayIcon(m_images16, this);
    m_tray->setFallback([this](const QString& title, const QString& text) { showNotice(title, text); });
    m_tray->setClearFallback([this] {
        m_noticeTimer->stop();
        m_ui->lblNotification->hide();
    });
    connect(m_tray, &TrayIcon::quitRequested, this, &TMain::cmdHaltClick);
    m_seams.emplace(
        Seams{m_services.programDir, *m_services.clock, *m_services.prompts, notifier(), *m_services.preview});
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, m_ui->lblNotification, &QWidget::hide);

    m_timLoad = new QTimer(this);
    m_timLoad->setObjectName(QStringLiteral("timLoad"));
    m_timLoad->setSingleShot(true);
    m_timLoad->setInterval(500);
    connect(m_timLoad, &QTimer::timeout, this, &TMain::timLoadTimer);

    setUpStartClock();
    setUpNavigation();
    setUpPanels();
    FormCreate();

    m_startClock->Timer1Timer();
    m_startClock->Timer2Timer();
    m_startClock->startTimers();
}

TMain::~TMain() {
    FormDestroy();
}

Notifier& TMain::notifier() const {
    return m_services.notifier ? *m_services.notifier : *m_tray;
}

const QString& TMain::currentSID() const {
    return m_register->CurrentSID();
}

void TMain::setUpStartClock() {
    std::array<StartClock::StartWidgets, StartClock::kStarts> starts = {{
        {m_ui->Edit1, m_ui->Edit2, m_ui->Edit3, m_ui->S1Active, m_ui->Label9, m_ui->S1Vorzeichen, m_ui->Label8},
        {m_ui->Edit4, m_ui->Edit5, m_ui->Edit6, m_ui->S2Active, m_ui->Label10, m_ui->S2Vorzeichen, m_ui->Label12},
        {m_ui->Edit9, m_ui->Edit8, m_ui->Edit7, m_ui->S3Active, m_ui->Label13, m_ui->S3Vorzeichen, m_ui->Label15},
        {m_ui->Edit12, m_ui->Edit11, m_ui->Edit10, m_ui->S4Active, m_ui->Label16, m_ui->S4Vorzeichen, m_ui->Label18},
        {m_ui->Edit15, m_ui->Edit14, m_ui->Edit13, m_ui->S5Active, m_ui->Label25, m_ui->S5Vorzeichen, m_ui->Label27},
    }};
    m_startClock = new StartClock(*m_services.clock, *m_services.prompts, m_ui->Label6, starts, this);
    const QList<std::pair<UpDown*, QLineEdit*>> spinners = {
        {m_ui->UpDown1, m_ui->Edit1},   {m_ui->UpDown2, m_ui->Edit2},   {m_ui->UpDown3, m_ui->Edit3},
        {m_ui->UpDown4, m_ui->Edit4},   {m_ui->UpDown5, m_ui->Edit5},   {m_ui->UpDown6, m_ui->Edit6},
        {m_ui->UpDown7, m_ui->Edit7},   {m_ui->UpDown8, m_ui->Edit8},   {m_ui->UpDown9, m_ui->Edit9},
        {m_ui->UpDown10, m_ui->Edit10}, {m_ui->UpDown11, m_ui->Edit11}, {m_ui->UpDown12, m_ui->Edit12},
        {m_ui->UpDown13, m_ui->Edit13}, {m_ui->UpDown14, m_ui->Edit14}, {m_ui->UpDown15, m_ui->Edit15},
    };
    for (const auto& [spinner, edit] : spinners) {
        spinner->setBuddy(edit);
        spinner->setPosition(edit->text().toInt());
    }
}

void TMain::setUpNavigation() {
    m_navigation = new CommandLabels(m_images24, this);
    m_navigation->add({m_ui->Label19, m_ui->imgHalt, 6, 7, [this] { cmdHaltClick(); }});
    m_navigation->add({m_ui->Label20, m_ui->imgManager, 8, 9, [this] { Label20Click(); }});
    m_navigation->add({m_ui->Label22, m_ui->imgNewRace, 10, 11, [this] { m_racePanel->cmdNewRaceClick(); }});
    m_navigation->add({m_ui->Label23, m_ui->imgSeries, 12, 13, [this] { emit seriesRequested(); }});
    m_navigation->add({m_ui->Label24, m_ui->imgRaceEdit, 14, 15, [this] { emit raceEditRequested(); }});
    m_navigation->setResetArea(m_ui->MisterX);
    m_ui->Label28->installEventFilter(this);
    m_ui->BriseLogo->installEventFilter(this);
    // The version line opens "Über Wendemark".
    m_ui->Label30->installEventFilter(this);
    m_ui->Label30->setCursor(Qt::PointingHandCursor);
    m_ui->Label30->setToolTip(QStringLiteral("Über Wendemark"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui->Label23, m_ui->imgSeries, m_ui->Label24, m_ui->imgRaceEdit}) {
        w->hide();
    }
}

void TMain::setUpPanels() {
    // Buttons take the focus only by Tab: after a click on "DNF" the next Enter must still mean "ZIEL".
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setFocusPolicy(Qt::TabFocus);
    }
    RegisterPanel::Widgets reg{m_ui->DBGrid1,        m_ui->DBNavigator1, m_ui->FilterStarter, m_ui->Image2,
                               m_ui->cmdNewParticip, m_ui->cmdCreateSID, m_ui->cmdChangeSID,  m_ui->DBText1,
                               m_ui->DBText2,        m_ui->DBText3,      m_ui->cmdImportSID,  m_ui->cmdYsList};
    m_register = new RegisterPanel(
        reg, seams(),
        {&m_images16, &m_images24, [this](const QString& sid) { return m_aliases.resolve(kStarterAlias, sid); }},
        m_shared.participants, this);

    RacePanel::Widgets race;
    race.window = this;
    race.grid = m_ui->DBGrid2;
    race.navigator = m_ui->DBNavigator2;
    race.search = m_ui->FilterToday;
    race.clearSearch = m_ui->Image1;
    race.startOfCurrent = m_ui->DBText5;
    race.add = m_ui->cmdAdd;
    race.finishMode = m_ui->cmdZiel;
    race.finish = m_ui->cmdZeiten;
    race.dnf = m_ui->cmdDNF;
    race.dsq = m_ui->cmdDSQ;
    race.code = m_ui->cmdCode;
    race.undo = m_ui->cmdUndo;
    race.entryList = m_ui->cmdCompList;
    race.report = m_ui->cmdReport;
    race.reportPdf = m_ui->cmdReportPDF;
    race.raceName = m_ui->Label11;
    race.modeName = m_ui->Label17;
    race.newRaceLabel = m_ui->Label22;
    race.newRaceIcon = m_ui->imgNewRace;
    race.startSetup = m_ui->grpZeitenSetup;
    race.clocks = m_ui->grpZeiten;
    race.registerGrid = m_ui->DBGrid1;
    race.registerSearch = m_ui->FilterStarter;
    race.registerControls = {m_ui->DBNavigator1, m_ui->cmdNewParticip, m_ui->Image2};
    m_racePanel = new RacePanel(race, seams(), m_images24, m_shared.race, m_shared.participants.table(),
                                m_shared.participants.model(), *m_startClock, this);

    m_results = new ResultButtons({m_ui->cmdReport, m_ui->cmdReportPDF, m_ui->cmdCompList, m_ui->cmdCheck},
                                  m_shared.race, seams(), this);
    connect(m_racePanel, &RacePanel::modeChanged, m_results, &ResultButtons::setMode);
    m_results->setUnassignedStamps([this] { return unassignedStampTexts(m_shared.race.table()); });

    m_live = new LiveWriter(
        m_shared.race, *m_services.clock, m_services.programDir.root(),
        [this] {
            std::array<double, kStarts> starts{};
            for (int n = 1; n <= kStarts; ++n) {
                starts[size_t(n - 1)] = m_startClock->startTime(n);
            }
            return starts;
        },
        this);
    connect(m_racePanel, &RacePanel::modeChanged, m_live, &LiveWriter::modeChanged);
    connect(m_racePanel, &RacePanel::raceChanged, m_live, &LiveWriter::update);
    connect(m_racePanel, &RacePanel::raceOver, m_live, &LiveWriter::update);

    if (!m_services.sound) {
        m_toneSound = new ToneSound(this);
    }
    m_signals = new SignalDesk(
        *m_services.clock, *m_services.prompts, m_services.sound ? *m_services.sound : *m_toneSound, *m_startClock,
        {m_ui->cmdStartfolge, m_ui->cmdRueckruf, m_ui->cmdVerschieben, m_ui->chkSignale, m_ui->lblNextSignal, this},
        [this] { return m_shared.race.mode() == Race::Mode::Finish; }, this);
    connect(m_racePanel, &RacePanel::modeChanged, this, [this](Race::Mode mode) {
        // The sequence belongs to the start setup, which is gone once boats are timed.
        m_ui->cmdStartfolge->setVisible(mode != Race::Mode::Finish && mode != Race::Mode::Over);
    });

    m_stamps = new StampDesk(
        {this, m_ui->cmdStamp, m_ui->lstStamps, m_ui->cmdAssign, m_ui->cmdStampDelete, m_ui->lblZeitZumSieg}, seams(),
        m_shared.race, *m_startClock, [this] { m_racePanel->RaceOver(); }, this);
    connect(m_racePanel, &RacePanel::modeChanged, m_stamps,
            [this](Race::Mode mode) { m_stamps->setFinishMode(mode == Race::Mode::Finish); });
    connect(m_racePanel, &RacePanel::raceChanged, m_stamps, &StampDesk::refresh);
    connect(m_stamps, &StampDesk::stampAssigned, m_live, &LiveWriter::update);

    setUpFirstSteps();

    connect(m_register, &RegisterPanel::addRequested, m_racePanel, &RacePanel::cmdAddClick);
    connect(m_racePanel, &RacePanel::modeChanged, m_register,
            [this](Race::Mode mode) { m_register->setRaceOpen(mode != Race::Mode::NoRace); });
    connect(m_racePanel, &RacePanel::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_register, &RegisterPanel::yardstickListChanged, m_racePanel, &RacePanel::setYardstickList);
    connect(m_register, &RegisterPanel::databaseSwitched, this, [this] {
        // While boats are being timed the start times in force stay: loading another database's would change
        // every elapsed time from then on, with the start setup hidden.
        const Race::Mode mode = m_shared.race.mode();
        if (mode != Race::Mode::Finish && mode != Race::Mode::Over) {
            m_timLoad->start();
        }
    });
}

void TMain::FormCreate() {
    const QString version = GetFileVersion(m_services.programFile);
    m_ui->Label30->setText(QStringLiteral("Wendemark ") + version);
    m_tray->setVersionText(m_ui->Label30->text());

    QString sid = IniFile(m_services.programDir.prefsPath()).readString(kGeneral, kLastSID, kDefaultSID).trimmed();
    if (sid.isEmpty()) {
        // An empty entry names no file: the default database, as if the key were missing.
        sid = kDefaultSID;
    }

    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth =
        m_services.screenWidth ? m_services.screenWidth() : (screen ? screen->geometry().width() : kNarrowScreen);
    scaleForScreen(screenWidth);

    m_ui->cmdReport->setIcon(m_images24.icon(4));
    m_ui->cmdReportPDF->setIcon(m_images24.icon(3));
    m_ui->cmdDNF->setIcon(m_images16.icon(1));
    m_ui->cmdDSQ->setIcon(m_images16.icon(1));

    m_aliases.remove(kStarterAlias);
    m_aliases.add(kStarterAlias, m_services.programDir.starterDir());

    const RegisterPanel::Startup held = m_register->holdAtStartup(sid);
    // A participant table held elsewhere means another copy works on this program folder: this start is
    // refused, and its backup (without that table) would only push a good one out of those kept. Otherwise the
    // copy is taken before start-up changes anything (every boat is made available again below).
    if (held != RegisterPanel::Startup::HeldElsewhere) {
        QList<const Table*> own;
        if (m_shared.participants.isOpen()) {
            own << &m_shared.participants.table();
        }
        const BackupResult backup = backupData(m_services.programDir, m_services.clock->now(), own);
        if (!backup.notice().isEmpty()) {
            notifier().notify(kAppCaption, backup.notice());
        }
    }
    if (held == RegisterPanel::Startup::Held && m_register->prepareAtStartup()) {
        m_timLoad->start();
    }
}

void TMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_resumeOffered) {
        m_resumeOffered = true;
        // Asked once the window is on the screen, so the question stands in front of the program it concerns.
        QTimer::singleShot(0, this, &TMain::offerResume);
    }
}

void TMain::offerResume() {
    if (m_racePanel->resumeInterruptedRace()) {
        // The resumed race's own start times are in force; the database's saved ones must not replace them.
        m_timLoad->stop();
    }
}

void TMain::scaleForScreen(int screenWidth) {
    if (screenWidth < kNarrowScreen) {
        const double factor = screenWidth / kScaleBase;
        scaleChildren(this, factor);
        scaleGrid(m_ui->DBGrid1, &m_shared.participants.model(), factor);
        scaleGrid(m_ui->DBGrid2, &m_shared.race.list(), factor);
        const QRect clock = m_ui->grpZeiten->geometry();
        const QRect search = m_ui->FilterToday->geometry();
        resize(clock.x() + clock.width() + 16, search.y() + search.height() + 35);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
}

void TMain::timLoadTimer() {
    guarded(*m_services.prompts, [&] {
        const IniFile prefs(m_services.programDir.prefsPath());
        m_startClock->load(prefs, currentSID());
        m_signals->load(prefs);
    });
    m_timLoad->stop();
}

void TMain::FormDestroy() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    // Settings are written only for a participant table that is really open: after a failed start-up or a
    // failed switch, the file keeps naming the database that last worked.
    if (!m_shared.participants.isOpen()) {
        return;
    }
    guarded(*m_services.prompts, [&] {
        IniFile prefs(m_services.programDir.prefsPath());
        prefs.writeString(kGeneral, kLastSID, currentSID());
        m_startClock->save(prefs, currentSID());
        try {
            prefs.save();
        } catch (const Error& e) {
            throw Error(QStringLiteral("Die Einstellungen konnten nicht gespeichert werden.\n") + e.message());
        }
    });
}

void TMain::cmdHaltClick() {
    if (!m_services.prompts->ask(kAppCaption, QStringLiteral("Programm beenden?"))) {
        return;
    }
    FormDestroy();
    m_quitting = true;
    emit quitRequested();
}

void TMain::closeEvent(QCloseEvent* event) {
    // There is no close box; a close from the window manager (Alt+F4) during a race would end its timing for
    // good, so it is confirmed like the quit entry.
    if (!m_quitting && !m_services.prompts->ask(kAppCaption, QStringLiteral("Programm beenden?"))) {
        event->ignore();
        return;
    }
    FormDestroy();
    event->accept();
    if (!m_quitting) {
        m_quitting = true;
        emit quitRequested();
    }
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_ui->Label28 || watched == m_ui->BriseLogo) && event->type() == QEvent::MouseButtonRelease) {
        openWebAddress();
        return true;
    }
    if (watched == m_ui->Label30 && event->type() == QEvent::MouseButtonRelease) {
        showAbout();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TMain::mousePressEvent(QMouseEvent* event) {
    // A press on a free part of the window moves it, as if its caption bar had been grabbed.
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint()) && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The band keeps its designed margin to the right edge whatever the window's width.
    QRect band = m_ui->Shape3->geometry();
    band.setWidth(std::max(0, width() - 4));
    m_ui->Shape3->setGeometry(band);
}

void TMain::setUpFirstSteps() {
    connect(m_ui->cmdHintImport, &QPushButton::clicked, m_ui->cmdImportSID, &QToolButton::click);
    connect(m_ui->cmdHintBeispiel, &QPushButton::clicked, this, [this] {
        guarded(*m_services.prompts, [&] {
            writeExampleFleet(m_shared.participants.table());
            m_shared.participants.model().refresh();
        });
    });
    connect(&m_shared.participants.model(), &QAbstractItemModel::modelReset, this, &TMain::showFirstSteps);
    connect(m_racePanel, &RacePanel::modeChanged, this, &TMain::showFirstSteps);
}

void TMain::showFirstSteps() {
    // Only for a register with no boat at all, never for a search that finds none, and not over a race.
    bool empty = false;
    if (m_shared.participants.isOpen() && m_shared.race.mode() == Race::Mode::NoRace) {
        try {
            empty = m_shared.participants.table().count() == 0;
        } catch (const Error&) {
            empty = false;
        }
    }
    m_ui->frmErsteSchritte->setVisible(empty);
    if (empty) {
        m_ui->frmErsteSchritte->raise();
    }
}

void TMain::showAbout() {
    const auto open = m_services.openUrl ? m_services.openUrl : std::function<bool(const QUrl&)>([](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    });
    TAbout about(m_ui->Label30->text(), aboutFacts(m_services.programDir), open, this);
    about.exec();
}

void TMain::keyPressEvent(QKeyEvent* event) {
    // Enter presses the window's default button: "ZIEL" in finish mode, "hinzufügen" before.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (event->isAutoRepeat()) {
            return;
        }
        // A button that has the focus takes Enter itself; otherwise the window's default button does.
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (!button || !button->isVisible() || !button->isEnabled()) {
            button = m_racePanel->defaultButton();
        }
        if (!button->isHidden() && button->isEnabled()) {
            button->click();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMain::Label20Click() {
    const bool show = m_ui->imgSeries->isHidden();
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui->Label23, m_ui->imgSeries, m_ui->Label24, m_ui->imgRaceEdit}) {
        w->setVisible(show);
    }
}

void TMain::openWebAddress() {
    QDesktopServices::openUrl(QUrl(maker::kWebAddress));
}

void TMain::showNotice(const QString& title, const QString& text) {
    QLabel* notice = m_ui->lblNotification;
    QString body = text.toHtmlEscaped();
    body.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    body.replace(u'\n', QStringLiteral("<br>"));
    body.replace(u'\r', QStringLiteral("<br>"));
    notice->setText(QStringLiteral("<b>%1</b><br>%2").arg(title.toHtmlEscaped(), body));
    // Between the title and the navigation entries, growing downwards as far as the text needs.
    notice->setGeometry(360, 4, 196, notice->heightForWidth(196));
    notice->raise();
    notice->show();
    m_noticeTimer->start(10000);
}

} // namespace wm

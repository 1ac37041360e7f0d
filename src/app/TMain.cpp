#include "app/TMain.h"

#include "app/FileVersion.h"
#include "app/Maker.h"
#include "app/TrayIcon.h"
#include "desktop/ActionGuard.h"
#include "desktop/Clock.h"
#include "desktop/DBNavigator.h"
#include "desktop/GridBinding.h"
#include "desktop/WidgetScaling.h"
#include "participants/ParticipantRegister.h"
#include "participants/TNewParticipant.h"
#include "raceedit/TRaceEdit.h"
#include "series/TSeriesManager.h"
#include "store/IniFile.h"
#include "timing/Race.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"
#include "ui_TMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

namespace wm {

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kLastSID = QStringLiteral("LastSID");
const QString kDefaultSID = QStringLiteral("StarterID.db");
const QString kStarterAlias = QStringLiteral("pdxStarterAlias");
const QString kDataAlias = QStringLiteral("pdxAlias");

constexpr int kNarrowScreen = 1100;
constexpr QAbstractItemView::EditTriggers kRegisterEditTriggers =
    QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;
constexpr double kScaleBase = 1350.0;

// The arrow keys in a search field move through the list it narrows.
void moveByArrowKey(RecordModel& list, int key) {
    switch (key) {
    case Qt::Key_Down:
        list.next();
        break;
    case Qt::Key_Up:
        list.prior();
        break;
    case Qt::Key_Left:
        list.first();
        break;
    case Qt::Key_Right:
        list.last();
        break;
    default:
        break;
    }
}

} // namespace

TMain::TMain(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint),
      m_services(services), m_ui(std::make_unique<Ui::TMain>()),
      m_participants(std::make_unique<ParticipantRegister>()), m_race(std::make_unique<Race>()) {
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
    connect(m_tray, &TrayIcon::quitRequested, this, &TMain::cmdHaltClick);
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, m_ui->lblNotification, &QWidget::hide);

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

    m_timLoad = new QTimer(this);
    m_timLoad->setObjectName(QStringLiteral("timLoad"));
    m_timLoad->setSingleShot(true);
    m_timLoad->setInterval(500);
    connect(m_timLoad, &QTimer::timeout, this, &TMain::timLoadTimer);

    setUpNavigation();
    setUpRegister();
    setUpRace();
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

void TMain::setWindows(TNewParticipant* newParticipant, TRaceEdit* raceEdit, TSeriesManager* seriesManager) {
    m_newParticipant = newParticipant;
    m_raceEdit = raceEdit;
    m_seriesManager = seriesManager;
    if (m_newParticipant) {
        m_newParticipant->setSearchTextSink([this](const QString& text) {
            if (m_ui->FilterStarter->text() == text) {
                FilterStarterChange();
            } else {
                m_ui->FilterStarter->setText(text);
            }
        });
    }
}

QString TMain::participantPath() const {
    return m_aliases.resolve(kStarterAlias, m_currentSID);
}

void TMain::FormCreate() {
    const QString version = GetFileVersion(m_services.programFile);
    m_ui->Label30->setText(QStringLiteral("Wendemark ") + version);
    m_tray->setVersionText(m_ui->Label30->text());

    m_currentSID = IniFile(m_services.programDir.prefsPath()).readString(kGeneral, kLastSID, kDefaultSID).trimmed();
    if (m_currentSID.isEmpty()) {
        // An empty entry names no file: the default database, as if the key were missing.
        m_currentSID = kDefaultSID;
    }

    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth =
        m_services.screenWidth ? m_services.screenWidth() : (screen ? screen->geometry().width() : kNarrowScreen);
    scaleForScreen(screenWidth);

    m_ui->cmdAdd->setIcon(m_images24.icon(0));
    m_ui->cmdZeiten->setIcon(m_images24.icon(5));
    m_ui->cmdReport->setIcon(m_images24.icon(4));
    m_ui->cmdReportPDF->setIcon(m_images24.icon(3));
    m_images24.show(m_ui->Image1, 1);
    m_images24.show(m_ui->Image2, 1);
    for (const NavEntry& e : m_entries) {
        m_images24.show(e.icon, e.normal);
    }
    m_ui->cmdDNF->setIcon(m_images16.icon(1));
    m_ui->cmdDSQ->setIcon(m_images16.icon(1));
    m_ui->cmdCreateSID->setIcon(m_images16.icon(2));
    m_ui->cmdChangeSID->setIcon(m_images16.icon(3));

    m_aliases.remove(kDataAlias);
    m_aliases.add(kDataAlias, m_services.programDir.dataDir());
    m_aliases.remove(kStarterAlias);
    m_aliases.add(kStarterAlias, m_services.programDir.starterDir());

    const bool opened = guarded(*m_services.prompts, [&] {
        m_participants->open(participantPath());
        m_participants->resetStatus();
        m_participants->setSearchText(m_ui->FilterStarter->text());
        m_participants->model().first();
        m_timLoad->start();
    });
    if (!opened) {
        // A start-up that failed half-way leaves no table open, so quitting writes no settings over the saved ones.
        m_participants->close();
    }
}

void TMain::scaleForScreen(int screenWidth) {
    if (screenWidth < kNarrowScreen) {
        const double factor = screenWidth / kScaleBase;
        scaleChildren(this, factor);
        scaleGrid(m_ui->DBGrid1, &m_participants->model(), factor);
        scaleGrid(m_ui->DBGrid2, &m_race->list(), factor);
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
        m_startClock->load(prefs, m_currentSID);
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
    if (!m_participants->isOpen()) {
        return;
    }
    guarded(*m_services.prompts, [&] {
        IniFile prefs(m_services.programDir.prefsPath());
        prefs.writeString(kGeneral, kLastSID, m_currentSID);
        m_startClock->save(prefs, m_currentSID);
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

void TMain::setUpNavigation() {
    m_entries = {
        {m_ui->Label19, m_ui->imgHalt, 6, 7, &TMain::cmdHaltClick},
        {m_ui->Label20, m_ui->imgManager, 8, 9, &TMain::Label20Click},
        {m_ui->Label22, m_ui->imgNewRace, 10, 11, &TMain::cmdNewRaceClick},
        {m_ui->Label23, m_ui->imgSeries, 12, 13, &TMain::Label23Click},
        {m_ui->Label24, m_ui->imgRaceEdit, 14, 15, &TMain::Label24Click},
    };
    for (const NavEntry& e : m_entries) {
        for (QLabel* w : {e.label, e.icon}) {
            w->setMouseTracking(true);
            w->installEventFilter(this);
        }
    }
    m_ui->MisterX->installEventFilter(this);
    m_ui->Label28->installEventFilter(this);
    m_ui->BriseLogo->installEventFilter(this);
    for (QWidget* w : {static_cast<QWidget*>(m_ui->Label23), static_cast<QWidget*>(m_ui->imgSeries),
                       static_cast<QWidget*>(m_ui->Label24), static_cast<QWidget*>(m_ui->imgRaceEdit)}) {
        w->hide();
    }
}

void TMain::highlight(const NavEntry& entry, bool on) {
    QFont f = entry.label->font();
    f.setBold(on);
    entry.label->setFont(f);
    m_images24.show(entry.icon, on ? entry.highlighted : entry.normal);
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_ui->MisterX && type == QEvent::Enter) {
        for (const NavEntry& e : m_entries) {
            highlight(e, false);
        }
        return false;
    }
    if ((watched == m_ui->Label28 || watched == m_ui->BriseLogo) && type == QEvent::MouseButtonRelease) {
        openWebAddress();
        return true;
    }
    if (watched == m_ui->FilterStarter && type == QEvent::KeyPress) {
        moveByArrowKey(m_participants->model(), static_cast<QKeyEvent*>(event)->key());
        return false; // the key still reaches the field
    }
    if (watched == m_ui->Image2 && type == QEvent::MouseButtonRelease) {
        Image2Click();
        return true;
    }
    if (watched == m_ui->FilterToday && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            m_ui->FilterToday->clear();
            return true;
        }
        moveByArrowKey(m_race->list(), key);
        return false;
    }
    if (watched == m_ui->Image1 && type == QEvent::MouseButtonRelease) {
        Image1Click();
        return true;
    }
    if (watched == m_ui->DBGrid2 && type == QEvent::KeyPress) {
        // Typing in the race list never edits or searches it; Enter records the finish.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // A held key must not time the boats behind the one that crossed the line.
            if (!key->isAutoRepeat() && !m_ui->cmdZeiten->isHidden() && m_ui->cmdZeiten->isEnabled()) {
                cmdZeitenClick();
            }
            return true;
        }
        return !key->text().isEmpty() && key->text().at(0).isPrint();
    }
    if (watched == m_ui->DBGrid1 && type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_race->isOpen()) {
            if (!key->isAutoRepeat()) {
                cmdAddClick();
            }
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers().testFlag(Qt::ControlModifier)) {
            deleteParticipant();
            return true;
        }
        return false;
    }
    for (const NavEntry& e : m_entries) {
        if (watched != e.label && watched != e.icon) {
            continue;
        }
        if ((type == QEvent::Enter || type == QEvent::MouseMove) && !e.label->font().bold()) {
            highlight(e, true);
        } else if (type == QEvent::Leave && watched == e.label) {
            highlight(e, false);
        } else if (type == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                   e.click) {
            (this->*e.click)();
            return true;
        }
        return false;
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

void TMain::Label20Click() {
    const bool show = m_ui->imgSeries->isHidden();
    for (QWidget* w : {static_cast<QWidget*>(m_ui->Label23), static_cast<QWidget*>(m_ui->imgSeries),
                       static_cast<QWidget*>(m_ui->Label24), static_cast<QWidget*>(m_ui->imgRaceEdit)}) {
        w->setVisible(show);
    }
}

void TMain::Label23Click() {
    if (m_seriesManager) {
        m_seriesManager->exec();
    }
}

void TMain::Label24Click() {
    if (m_raceEdit) {
        m_raceEdit->exec();
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

void TMain::setUpRegister() {
    RecordModel& model = m_participants->model();
    bindGrid(m_ui->DBGrid1, &model);
    model.setErrorHandler([this](const QString& message) { m_services.prompts->error(message); });
    QFont titles(QStringLiteral("Lucida Sans Unicode"));
    titles.setPixelSize(12);
    m_ui->DBGrid1->horizontalHeader()->setFont(titles);
    m_ui->DBGrid1->installEventFilter(this);
    m_ui->DBGrid1->setEditTriggers(kRegisterEditTriggers);
    m_ui->DBNavigator1->setButtons({DBNavigator::Prior, DBNavigator::Next, DBNavigator::Delete, DBNavigator::Refresh});
    m_ui->DBNavigator1->setModel(&model);
    connect(m_ui->DBNavigator1, &DBNavigator::deleteRequested, this, &TMain::deleteParticipant);
    connect(m_ui->DBNavigator1, &DBNavigator::refreshRequested, this, &TMain::refreshParticipants);
    // The hidden data labels follow the current boat, as the add statement reads them.
    connect(&model, &RecordModel::currentChanged, this, [this, &model] {
        m_ui->DBText1->setText(model.currentText(field::SEGELNR));
        m_ui->DBText2->setText(model.currentText(field::BOOTSNAME));
        m_ui->DBText3->setText(model.currentText(field::NAME));
    });
    connect(m_ui->FilterStarter, &QLineEdit::textChanged, this, &TMain::FilterStarterChange);
    m_ui->FilterStarter->installEventFilter(this);
    m_ui->Image2->installEventFilter(this);
    connect(m_ui->cmdNewParticip, &QPushButton::clicked, this, &TMain::cmdNewParticipClick);
    connect(m_ui->cmdCreateSID, &QToolButton::clicked, this, &TMain::cmdCreateSIDClick);
    connect(m_ui->cmdChangeSID, &QToolButton::clicked, this, &TMain::cmdChangeSIDClick);
}

void TMain::FilterStarterChange() {
    const QString text = m_ui->FilterStarter->text();
    m_images24.show(m_ui->Image2, text.isEmpty() ? 1 : 2);
    if (!m_participants->isOpen()) {
        return;
    }
    guarded(*m_services.prompts, [&] { m_participants->setSearchText(text); });
}

void TMain::Image2Click() {
    m_ui->FilterStarter->clear();
}

void TMain::cmdNewParticipClick() {
    if (!m_newParticipant || !m_participants->isOpen()) {
        return;
    }
    m_newParticipant->exec();
}

void TMain::deleteParticipant() {
    commitPendingEdit(m_ui->DBGrid1);
    RecordModel& model = m_participants->model();
    if (!model.hasCurrent()) {
        return;
    }
    if (!m_services.prompts->ask(kAppCaption, QStringLiteral("Datensatz löschen?"))) {
        return;
    }
    guarded(*m_services.prompts, [&] {
        m_participants->table().removeRow(model.currentRowid());
        model.refresh();
    });
}

void TMain::refreshParticipants() {
    commitPendingEdit(m_ui->DBGrid1);
    guarded(*m_services.prompts, [&] { m_participants->model().refresh(); });
}

void TMain::reopenParticipants() {
    guarded(*m_services.prompts, [&] {
        m_participants->open(participantPath());
        m_participants->setSearchText(m_ui->FilterStarter->text());
        m_participants->model().first();
    });
}

void TMain::cmdCreateSIDClick() {
    commitPendingEdit(m_ui->DBGrid1);
    const QString previous = m_currentSID;
    m_participants->close();
    FileDialogOptions dialog;
    dialog.filter = QStringLiteral("Datenbank (*.db)");
    dialog.directory = ProgramDir::findEntry(m_services.programDir.dataDir(), QStringLiteral("starter"));
    dialog.confirmOverwrite = true;
    const QString chosen = m_services.prompts->saveFileName(dialog);
    if (!chosen.isEmpty()) {
        guarded(*m_services.prompts, [&] {
            const QString file = tableFileName(chosen);
            // The dialog asked only about the name as typed; the file gets ".db" added.
            if (file != chosen && QFileInfo::exists(file) &&
                !m_services.prompts->ask(
                    kAppCaption,
                    QStringLiteral("Die Datei '%1' existiert bereits.\nSoll sie ersetzt werden?").arg(file), false)) {
                return;
            }
            Table::create(file, participantFields());
            m_currentSID = chosen;
        });
    }
    reopenParticipants();
    if (!m_participants->isOpen() && m_currentSID != previous) {
        m_currentSID = previous;
        reopenParticipants();
    }
}

void TMain::cmdChangeSIDClick() {
    commitPendingEdit(m_ui->DBGrid1);
    const QString previous = m_currentSID;
    m_participants->close();
    FileDialogOptions dialog;
    dialog.title = QStringLiteral("Neue Teilnehmer-DB auswählen");
    dialog.filter = QStringLiteral("Datenbanken (*.db)");
    const QString chosen = m_services.prompts->openFileName(dialog);
    if (!chosen.isEmpty()) {
        m_currentSID = QFileInfo(chosen).absoluteFilePath();
    }
    reopenParticipants();
    if (m_participants->isOpen()) {
        // While boats are being timed the start times in force stay: loading another database's would change
        // every elapsed time from then on, with the start setup hidden.
        if (m_race->mode() != Race::Mode::Finish && m_race->mode() != Race::Mode::Over) {
            m_timLoad->start();
        }
    } else if (m_currentSID != previous) {
        // The chosen file cannot be used: go on with the database that was open before.
        m_currentSID = previous;
        reopenParticipants();
    }
}

void TMain::setUpRace() {
    // Buttons take the focus only by Tab: after a click on "DNF" the next Enter must still mean "ZIEL".
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setFocusPolicy(Qt::TabFocus);
    }
    RecordModel& list = m_race->list();
    bindGrid(m_ui->DBGrid2, &list);
    m_ui->DBGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont titles(QStringLiteral("Lucida Sans Unicode"));
    titles.setPixelSize(12);
    m_ui->DBGrid2->horizontalHeader()->setFont(titles);
    m_ui->DBGrid2->installEventFilter(this);
    m_ui->DBNavigator2->setButtons({DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last});
    m_ui->DBNavigator2->setModel(&list);
    connect(&list, &RecordModel::currentChanged, this,
            [this, &list] { m_ui->DBText5->setText(list.currentText(field::START)); });
    connect(m_ui->FilterToday, &QLineEdit::textChanged, this, &TMain::FilterTodayChange);
    m_ui->FilterToday->installEventFilter(this);
    m_ui->Image1->installEventFilter(this);
    connect(m_ui->cmdAdd, &QPushButton::clicked, this, &TMain::cmdAddClick);
    connect(m_ui->cmdZiel, &QPushButton::clicked, this, &TMain::cmdZielClick);
    connect(m_ui->cmdZeiten, &QPushButton::clicked, this, &TMain::cmdZeitenClick);
    connect(m_ui->cmdDNF, &QPushButton::clicked, this, &TMain::cmdDNFClick);
    connect(m_ui->cmdDSQ, &QPushButton::clicked, this, &TMain::cmdDSQClick);
}

void TMain::keyPressEvent(QKeyEvent* event) {
    // Enter presses the window's default button: "ZIEL" in finish mode, "hinzufügen" before.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (event->isAutoRepeat()) {
            return;
        }
        // A button that has the focus takes Enter itself; otherwise the window's default button does.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button && button->isVisible() && button->isEnabled()) {
            button->click();
            return;
        }
        if (m_race->mode() == Race::Mode::Finish) {
            if (!m_ui->cmdZeiten->isHidden() && m_ui->cmdZeiten->isEnabled()) {
                cmdZeitenClick();
            }
        } else if (m_ui->cmdAdd->isEnabled() && !m_ui->cmdAdd->isHidden()) {
            cmdAddClick();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

std::optional<QString> TMain::askRaceName() {
    const QString suggestion = defaultRaceName(m_services.clock->today());
    for (;;) {
        const std::optional<QString> typed =
            m_services.prompts->inputText(kAppCaption, QStringLiteral("Bezeichnung der Wettfahrt"), suggestion);
        const QString name = typed.value_or(suggestion);
        try {
            checkRaceName(name);
        } catch (const Error& e) {
            m_services.prompts->error(e.message());
            continue;
        }
        const QString path = m_aliases.resolve(kDataAlias, name);
        if (!QFileInfo::exists(path)) {
            return name;
        }
        if (m_services.prompts->ask(
                kAppCaption, QStringLiteral("Die Wettfahrt '%1' existiert bereits. Überschreiben?").arg(name), false)) {
            return name;
        }
        if (!typed) {
            // Cancelled, and the suggested name is taken: no new race, the stored one stays as it is.
            return std::nullopt;
        }
    }
}

void TMain::cmdNewRaceClick() {
    if (!m_participants->isOpen() || m_race->mode() == Race::Mode::Finish || m_race->mode() == Race::Mode::Over) {
        return;
    }
    const std::optional<QString> name = askRaceName();
    if (!name) {
        return;
    }
    m_race->close();
    const bool created = guarded(*m_services.prompts, [&] {
        const QString path = m_aliases.resolve(kDataAlias, *name);
        m_race->create(path, *name, m_participants->table().fields());
        // The old race's information goes only once its table has really been replaced.
        const QString info = m_services.programDir.dataDir() + *name + QStringLiteral(".ini");
        if (QFileInfo::exists(info) && !QFile::remove(info)) {
            throw Error(QStringLiteral("Die Datei '%1' konnte nicht gelöscht werden.").arg(info));
        }
    });
    if (!created) {
        // No race is open any more: back to the state before the first race.
        m_race->setMode(Race::Mode::NoRace);
        m_ui->cmdAdd->setEnabled(false);
        m_ui->DBGrid2->setEnabled(false);
        m_ui->FilterToday->setEnabled(false);
        m_ui->cmdZiel->hide();
        m_ui->cmdCompList->hide();
        m_ui->Label11->clear();
        setWindowTitle(kAppCaption);
        m_participants->model().setReadOnly(false);
        m_ui->DBGrid1->setEditTriggers(kRegisterEditTriggers);
        return;
    }
    m_race->setMode(Race::Mode::Start);
    m_ui->FilterToday->clear();
    m_ui->Label11->setText(*name);
    m_ui->cmdAdd->setEnabled(true);
    m_ui->cmdZiel->show();
    m_ui->cmdCompList->show();
    m_ui->DBGrid2->setEnabled(true);
    m_ui->FilterToday->setEnabled(true);
    setWindowTitle(QStringLiteral("Wendemark - Wettfahrt [") + *name + QStringLiteral("] - Start"));
    m_participants->model().setReadOnly(true);
    m_ui->DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TMain::cmdAddClick() {
    if (!m_race->isOpen() || !m_participants->isOpen()) {
        return;
    }
    RecordModel& available = m_participants->model();
    if (available.count() == 0) {
        if (!m_ui->FilterStarter->text().isEmpty()) {
            m_ui->FilterStarter->clear();
        } else {
            notifier().notify(kAppCaption,
                              QStringLiteral("Alle vorhandenen Boote am Start\nggf. mit NEU Starter hinzufügen"));
        }
        return;
    }
    if (!available.hasCurrent()) {
        available.first();
    }
    guarded(*m_services.prompts, [&] {
        const int copied = m_race->addBoat(m_participants->table(), available.currentRowid());
        available.refresh();
        m_race->list().refresh();
        m_race->list().last();
        Q_UNUSED(copied);
    });
}

void TMain::FilterTodayChange() {
    const QString text = m_ui->FilterToday->text();
    m_images24.show(m_ui->Image1, text.isEmpty() ? 1 : 2);
    if (!m_race->isOpen() || m_race->mode() == Race::Mode::Over) {
        return;
    }
    guarded(*m_services.prompts, [&] { m_race->setSearchText(text); });
}

void TMain::Image1Click() {
    if (m_ui->FilterToday->isEnabled()) {
        m_ui->FilterToday->clear();
    }
}

void TMain::cmdZielClick() {
    if (!m_services.prompts->ask(kAppCaption, QStringLiteral("Zum Zielmodus wechseln?"))) {
        return;
    }
    bool go = false;
    guarded(*m_services.prompts, [&] { go = CheckStarter(*m_startClock, *m_services.prompts, m_race->table()); });
    if (!go || m_race->name().isEmpty()) {
        return;
    }
    Zielmodus();
    setWindowTitle(QStringLiteral("Wendemark - Wettfahrt [ ") + m_race->name() + QStringLiteral(" ] - Ziel"));
}

void TMain::Zielmodus() {
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->DBGrid1, m_ui->DBNavigator1, m_ui->cmdAdd, m_ui->cmdZiel,
                                                      m_ui->cmdNewParticip, m_ui->FilterStarter, m_ui->Image2}) {
        w->hide();
    }
    const QRect top = m_ui->DBGrid1->geometry();
    QRect grid = m_ui->DBGrid2->geometry();
    grid.moveTop(top.top());
    grid.setHeight(height() - 218);
    m_ui->DBGrid2->setGeometry(grid);
    const int line = grid.bottom() + 1 + 10;
    m_ui->DBNavigator2->move(m_ui->DBNavigator2->x(), line);
    m_ui->FilterToday->move(m_ui->FilterToday->x(), line);
    m_ui->Image1->move(m_ui->Image1->x(), line);
    m_ui->grpZeitenSetup->hide();
    m_ui->Label11->hide();
    m_ui->cmdCompList->hide();
    m_ui->Label17->setText(QStringLiteral("Ziel"));
    m_ui->Label22->setEnabled(false);
    m_ui->imgNewRace->setEnabled(false);
    m_ui->grpZeiten->move(m_ui->grpZeiten->x(), grid.top());
    m_ui->cmdZeiten->show();
    m_ui->cmdDNF->show();
    m_ui->cmdDSQ->show();
    m_race->setMode(Race::Mode::Finish);
    guarded(*m_services.prompts, [&] {
        m_race->setSearchText(m_ui->FilterToday->text());
        m_race->list().first();
    });
    m_ui->DBGrid2->setFocus();
}

void TMain::cmdZeitenClick() {
    RecordModel& list = m_race->list();
    if (m_race->mode() != Race::Mode::Finish || !list.hasCurrent()) {
        return;
    }
    // The finish takes over exactly what the boat's start clock shows at this moment.
    const QString start = m_ui->DBText5->text();
    QString elapsed;
    for (int n = 1; n <= StartClock::kStarts; ++n) {
        if (start == QString::number(n)) {
            elapsed = m_startClock->clockText(n);
        }
    }
    if (guarded(*m_services.prompts, [&] { m_race->recordFinish(elapsed); })) {
        RaceOver();
    }
}

void TMain::recordMarker(const QString& marker) {
    if (m_race->mode() != Race::Mode::Finish || !m_race->list().hasCurrent()) {
        return;
    }
    if (guarded(*m_services.prompts, [&] { m_race->recordMarker(marker); })) {
        RaceOver();
    }
}

void TMain::cmdDNFClick() {
    recordMarker(kDnf);
}

void TMain::cmdDSQClick() {
    recordMarker(kDsq);
}

void TMain::RaceOver() {
    RecordModel& list = m_race->list();
    if (list.count() > 0) {
        return;
    }
    if (!m_race->searchText().isEmpty()) {
        m_ui->FilterToday->clear();
        if (list.count() > 0) {
            return;
        }
    }
    notifier().notify(kAppCaption, QStringLiteral("Alle Teilnehmer der Wettfahrt '") + m_race->name() +
                                       QStringLiteral("' gezeitet!\r\rFür Ergebnisse einen Report erstellen"));
    m_race->setMode(Race::Mode::Over);
    m_ui->cmdZeiten->setEnabled(false);
    m_ui->cmdDSQ->setEnabled(false);
    m_ui->cmdDNF->setEnabled(false);
    m_ui->cmdReport->show();
    m_ui->cmdReportPDF->show();
    list.setDetached(true);
    m_ui->DBNavigator2->setEnabled(false);
    m_ui->FilterToday->setEnabled(false);
    guarded(*m_services.prompts, [&] {
        try {
            CalcPoints(m_race->table());
        } catch (const Error& e) {
            throw Error(QStringLiteral("Alle Ergebnisse der Wettfahrt sind gespeichert, die Wettfahrt ist aber noch "
                                       "nicht gewertet:\n") +
                        e.message() + QStringLiteral("\nDie Wertung wird vor dem nächsten Report nachgeholt."));
        }
        writeStarted(m_services.programDir.dataDir() + m_race->name() + QStringLiteral(".ini"),
                     m_race->table().count());
    });
}

} // namespace wm

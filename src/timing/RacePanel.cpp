#include "timing/RacePanel.h"

#include "desktop/ActionGuard.h"
#include "desktop/DBNavigator.h"
#include "desktop/GridBinding.h"
#include "desktop/ImageList.h"
#include "desktop/Notifier.h"
#include "desktop/Prompts.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "store/IniFile.h"
#include "store/YardstickInForce.h"
#include "timing/Scoring.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace wm {

RacePanel::RacePanel(const Widgets& widgets, const Seams& seams, const ImageList& images24, Race& race,
                     Table& participants, RecordModel& available, StartClock& startClock, QObject* parent)
    : QObject(parent), m_w(widgets), m_seams(seams), m_images(images24), m_dataDir(seams.programDir.dataDir()),
      m_race(race), m_participants(participants), m_available(available), m_startClock(startClock) {
    RecordModel& list = m_race.list();
    bindGrid(m_w.grid, &list);
    m_w.grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont titles(QStringLiteral("Lucida Sans Unicode"));
    titles.setPixelSize(12);
    m_w.grid->horizontalHeader()->setFont(titles);
    m_w.grid->installEventFilter(this);
    m_w.navigator->setButtons({DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last});
    m_w.navigator->setModel(&list);
    connect(&list, &RecordModel::currentChanged, this,
            [this, &list] { m_w.startOfCurrent->setText(list.currentText(field::START)); });
    connect(m_w.search, &QLineEdit::textChanged, this, &RacePanel::FilterTodayChange);
    m_w.search->installEventFilter(this);
    m_w.clearSearch->installEventFilter(this);
    connect(m_w.add, &QPushButton::clicked, this, &RacePanel::cmdAddClick);
    connect(m_w.finishMode, &QPushButton::clicked, this, &RacePanel::cmdZielClick);
    connect(m_w.finish, &QPushButton::clicked, this, &RacePanel::cmdZeitenClick);
    connect(m_w.dnf, &QPushButton::clicked, this, &RacePanel::cmdDNFClick);
    connect(m_w.dsq, &QPushButton::clicked, this, &RacePanel::cmdDSQClick);
    m_popCode = new QMenu(m_w.code);
    m_popCode->setObjectName(QStringLiteral("popCode"));
    for (const QString& code : resultCodes()) {
        if (code != kDnf && code != kDsq) {
            connect(m_popCode->addAction(code), &QAction::triggered, this, [this, code] { recordMarker(code); });
        }
    }
    connect(m_w.code, &QPushButton::clicked, this,
            [this] { m_popCode->popup(m_w.code->mapToGlobal(QPoint(0, m_w.code->height()))); });
    connect(m_w.undo, &QPushButton::clicked, this, &RacePanel::cmdUndoClick);
    m_w.undo->setShortcut(QKeySequence::Undo);
    m_w.add->setIcon(m_images.icon(0));
    m_w.finish->setIcon(m_images.icon(5));
    m_images.show(m_w.clearSearch, 1);
}

void RacePanel::applyMode(Race::Mode mode) {
    using Mode = Race::Mode;
    m_race.setMode(mode);
    const bool racing = mode == Mode::Start || mode == Mode::Finish;
    m_w.add->setEnabled(mode == Mode::Start);
    m_w.grid->setEnabled(mode != Mode::NoRace);
    m_w.search->setEnabled(racing);
    m_w.navigator->setEnabled(mode != Mode::Over);
    m_w.finishMode->setVisible(mode == Mode::Start);
    m_w.entryList->setVisible(mode == Mode::Start);
    m_w.raceName->setVisible(mode == Mode::NoRace || mode == Mode::Start);
    for (QPushButton* b : {m_w.finish, m_w.dnf, m_w.dsq, m_w.undo}) {
        b->setVisible(mode == Mode::Finish || mode == Mode::Over);
        b->setEnabled(mode == Mode::Finish);
    }
    // Only while boats finish: when the race is over the report buttons take its place.
    m_w.code->setVisible(mode == Mode::Finish);
    m_w.code->setEnabled(mode == Mode::Finish);
    for (QPushButton* b : {m_w.report, m_w.reportPdf}) {
        b->setVisible(mode == Mode::Over);
    }
    const bool timing = mode == Mode::Finish || mode == Mode::Over;
    m_w.registerGrid->setVisible(!timing);
    m_w.registerSearch->setVisible(!timing);
    for (QWidget* w : m_w.registerControls) {
        w->setVisible(!timing);
    }
    m_w.add->setVisible(!timing);
    m_w.startSetup->setVisible(!timing);
    m_w.newRaceLabel->setEnabled(!timing);
    m_w.newRaceIcon->setEnabled(!timing);
    emit modeChanged(mode);
}

QPushButton* RacePanel::defaultButton() const {
    return m_race.mode() == Race::Mode::Finish ? m_w.finish : m_w.add;
}

std::optional<QString> RacePanel::askRaceName() {
    const QString suggestion = defaultRaceName(m_seams.clock.today());
    for (;;) {
        const std::optional<QString> typed =
            m_seams.prompts.inputText(kAppCaption, QStringLiteral("Bezeichnung der Wettfahrt"), suggestion);
        const QString name = typed.value_or(suggestion);
        try {
            checkRaceName(name);
        } catch (const Error& e) {
            m_seams.prompts.error(e.message());
            continue;
        }
        if (!QFileInfo::exists(RaceFiles(m_dataDir, name).tablePath())) {
            return name;
        }
        if (m_seams.prompts.ask(
                kAppCaption, QStringLiteral("Die Wettfahrt '%1' existiert bereits. Überschreiben?").arg(name), false)) {
            return name;
        }
        if (!typed) {
            // Cancelled, and the suggested name is taken: no new race, the stored one stays as it is.
            return std::nullopt;
        }
    }
}

void RacePanel::cmdNewRaceClick() {
    if (!m_participants.isOpen() || m_race.mode() == Race::Mode::Finish || m_race.mode() == Race::Mode::Over) {
        return;
    }
    const std::optional<QString> name = askRaceName();
    if (!name) {
        return;
    }
    m_race.close();
    const bool created = guarded(m_seams.prompts, [&] {
        const RaceFiles files(m_dataDir, *name);
        m_race.create(files.tablePath(), *name, m_participants.fields());
        // The old race's information goes only once its table has really been replaced.
        const QString info = files.infoPath();
        if (QFileInfo::exists(info) && !QFile::remove(info)) {
            throw Error(QStringLiteral("Die Datei '%1' konnte nicht gelöscht werden.").arg(info));
        }
    });
    if (!created) {
        // No race is open any more: back to the state before the first race.
        m_w.raceName->clear();
        applyMode(Race::Mode::NoRace);
        emit captionChanged(kAppCaption);
        return;
    }
    m_w.search->clear();
    m_w.raceName->setText(*name);
    applyMode(Race::Mode::Start);
    emit captionChanged(QStringLiteral("Wendemark - Wettfahrt [") + *name + QStringLiteral("] - Start"));
}

void RacePanel::cmdAddClick() {
    if (!m_race.isOpen() || !m_participants.isOpen()) {
        return;
    }
    if (m_available.count() == 0) {
        if (!m_w.registerSearch->text().isEmpty()) {
            m_w.registerSearch->clear();
        } else {
            m_seams.notifier.notify(kAppCaption,
                                    QStringLiteral("Alle vorhandenen Boote am Start\nggf. mit NEU Starter hinzufügen"));
        }
        return;
    }
    if (!m_available.hasCurrent()) {
        m_available.first();
    }
    guarded(m_seams.prompts, [&] {
        m_race.addBoat(m_participants, m_available.currentRowid());
        m_available.refresh();
        m_race.list().refresh();
        m_race.list().last();
    });
}

void RacePanel::FilterTodayChange() {
    const QString text = m_w.search->text();
    m_images.show(m_w.clearSearch, text.isEmpty() ? 1 : 2);
    if (!m_race.isOpen() || m_race.mode() == Race::Mode::Over) {
        return;
    }
    guarded(m_seams.prompts, [&] { m_race.setSearchText(text); });
}

void RacePanel::Image1Click() {
    if (m_w.search->isEnabled()) {
        m_w.search->clear();
    }
}

bool RacePanel::CheckStarter() {
    std::array<bool, kStarts> active{};
    for (int n = 1; n <= kStarts; ++n) {
        active[size_t(n - 1)] = m_startClock.isActive(n);
    }
    return confirmStarts(m_startClock, m_seams.prompts, startsWithoutActiveStart(m_race.table(), active));
}

bool confirmStarts(StartClock& clock, Prompts& prompts, const QList<int>& missing) {
    for (int n : missing) {
        const QString question = QStringLiteral("Mindestens ein Teilnehmer erfordert den Start %1.\r"
                                                "Soll Start %1 jetzt aktiviert werden?\r"
                                                "Klicken Sie Ja für eine automatische Änderung und Nein um "
                                                "zurückzukehren.")
                                     .arg(n);
        if (!prompts.ask(QStringLiteral("Bestätigung"), question)) {
            return false;
        }
    }
    for (int n : missing) {
        clock.setActive(n, true);
    }
    return true;
}

void RacePanel::cmdZielClick() {
    if (!m_seams.prompts.ask(kAppCaption, QStringLiteral("Zum Zielmodus wechseln?"))) {
        return;
    }
    bool go = false;
    guarded(m_seams.prompts, [&] { go = CheckStarter(); });
    if (!go || m_race.name().isEmpty()) {
        return;
    }
    Zielmodus();
    emit captionChanged(QStringLiteral("Wendemark - Wettfahrt [ ") + m_race.name() + QStringLiteral(" ] - Ziel"));
}

void RacePanel::Zielmodus() {
    // The race list takes the register's place and fills the window down to its search line.
    const QRect top = m_w.registerGrid->geometry();
    QRect grid = m_w.grid->geometry();
    grid.moveTop(top.top());
    grid.setHeight(m_w.window->height() - 218);
    m_w.grid->setGeometry(grid);
    const int line = grid.bottom() + 1 + 10;
    m_w.navigator->move(m_w.navigator->x(), line);
    m_w.undo->move(m_w.undo->x(), line);
    m_w.search->move(m_w.search->x(), line);
    m_w.clearSearch->move(m_w.clearSearch->x(), line);
    m_w.clocks->move(m_w.clocks->x(), grid.top());
    m_w.modeName->setText(QStringLiteral("Ziel"));
    applyMode(Race::Mode::Finish);
    // The start times in force go with the race, so timing can go on after the program ended half-way.
    guarded(m_seams.prompts, [&] {
        IniFile info(m_race.infoPath());
        m_startClock.save(info, kStartTimesSection);
        if (!m_yardstickList.isEmpty()) {
            info.writeString(kYardstickSection, kYardstickListKey, m_yardstickList);
        }
        info.save();
    });
    guarded(m_seams.prompts, [&] {
        m_race.setSearchText(m_w.search->text());
        m_race.list().first();
    });
    m_w.grid->setFocus();
}

void RacePanel::cmdZeitenClick() {
    RecordModel& list = m_race.list();
    if (m_race.mode() != Race::Mode::Finish || !list.hasCurrent()) {
        return;
    }
    // The finish takes over exactly what the boat's start clock shows at this moment.
    const QString start = m_w.startOfCurrent->text();
    QString elapsed;
    for (int n = 1; n <= kStarts; ++n) {
        if (start == QString::number(n)) {
            elapsed = m_startClock.clockText(n);
        }
    }
    guarded(m_seams.prompts, [&] { m_race.recordFinish(elapsed); });
    emit raceChanged();
    RaceOver();
}

void RacePanel::recordMarker(const QString& marker) {
    if (m_race.mode() != Race::Mode::Finish || !m_race.list().hasCurrent()) {
        return;
    }
    guarded(m_seams.prompts, [&] { m_race.recordMarker(marker); });
    emit raceChanged();
    RaceOver();
}

void RacePanel::cmdUndoClick() {
    if (m_race.mode() != Race::Mode::Finish) {
        return;
    }
    guarded(m_seams.prompts, [&] {
        const qint64 rowid = m_race.undoLastFinish();
        if (rowid < 0) {
            m_seams.notifier.notify(kAppCaption, QStringLiteral("Es gibt keinen Zieleinlauf zum Zurücknehmen."));
            return;
        }
        if (m_race.list().currentRowid() != rowid) {
            // The search hides the boat: it must be in sight to be timed again.
            m_w.search->clear();
            m_race.list().locate(rowid);
        }
    });
    emit raceChanged();
    m_w.grid->setFocus();
}

bool RacePanel::resumeInterruptedRace() {
    for (const QString& name : interruptedRaces(m_dataDir)) {
        const RaceFiles files(m_dataDir, name);
        const QString info = files.infoPath();
        if (!m_seams.prompts.ask(kAppCaption,
                                 QStringLiteral("Die Wettfahrt '%1' wurde nicht beendet. Fortsetzen?").arg(name))) {
            guarded(m_seams.prompts, [&] { declineResume(info); });
            continue;
        }
        const bool opened = guarded(m_seams.prompts, [&] {
            m_race.open(files.tablePath(), name);
            m_startClock.load(IniFile(info), kStartTimesSection);
        });
        if (!opened) {
            m_race.close();
            continue;
        }
        m_w.search->clear();
        m_w.raceName->setText(name);
        Zielmodus();
        emit captionChanged(QStringLiteral("Wendemark - Wettfahrt [ ") + name + QStringLiteral(" ] - Ziel"));
        return true;
    }
    return false;
}

void RacePanel::cmdDNFClick() {
    recordMarker(kDnf);
}

void RacePanel::cmdDSQClick() {
    recordMarker(kDsq);
}

void RacePanel::RaceOver() {
    RecordModel& list = m_race.list();
    if (list.count() > 0) {
        return;
    }
    if (!m_race.searchText().isEmpty()) {
        m_w.search->clear();
        if (list.count() > 0) {
            return;
        }
    }
    m_seams.notifier.notify(kAppCaption, QStringLiteral("Alle Teilnehmer der Wettfahrt '") + m_race.name() +
                                             QStringLiteral("' gezeitet!\r\rFür Ergebnisse einen Report erstellen"));
    applyMode(Race::Mode::Over);
    list.setDetached(true);
    guarded(m_seams.prompts, [&] {
        try {
            CalcPoints(m_race.table());
        } catch (const Error& e) {
            throw Error(QStringLiteral("Alle Ergebnisse der Wettfahrt sind gespeichert, die Wettfahrt ist aber noch "
                                       "nicht gewertet:\n") +
                        e.message() + QStringLiteral("\nDie Wertung wird vor dem nächsten Report nachgeholt."));
        }
        const QString info = m_race.infoPath();
        writeStarted(info, m_race.table().count());
        // A race timed to the end is never offered for resuming, so start-up need not open it again.
        declineResume(info);
    });
    emit raceOver();
}

bool RacePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_w.search) {
            if (key->key() == Qt::Key_Escape) {
                m_w.search->clear();
                return true;
            }
            moveByArrowKey(m_race.list(), key->key());
            return false; // the key still reaches the field
        }
        if (watched == m_w.grid) {
            // Ctrl+Z also where the window is not the active one (the shortcut only works in an active window).
            if (key->matches(QKeySequence::Undo)) {
                if (!m_w.undo->isHidden() && m_w.undo->isEnabled()) {
                    cmdUndoClick();
                }
                return true;
            }
            // Typing in the race list never edits or searches it; Enter records the finish.
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                // A held key must not time the boats behind the one that crossed the line.
                if (!key->isAutoRepeat() && !m_w.finish->isHidden() && m_w.finish->isEnabled()) {
                    cmdZeitenClick();
                }
                return true;
            }
            return !key->text().isEmpty() && key->text().at(0).isPrint();
        }
    }
    if (watched == m_w.clearSearch && event->type() == QEvent::MouseButtonRelease) {
        Image1Click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace wm

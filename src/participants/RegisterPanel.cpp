#include "participants/RegisterPanel.h"

#include "desktop/ActionGuard.h"
#include "desktop/DBNavigator.h"
#include "desktop/GridBinding.h"
#include "desktop/ImageList.h"
#include "desktop/Prompts.h"
#include "participants/CsvImport.h"
#include "participants/ParticipantRegister.h"
#include "participants/TImportPreview.h"
#include "participants/TYardstickList.h"
#include "store/Error.h"
#include "store/IniFile.h"
#include "store/ProgramDir.h"
#include "store/YardstickInForce.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace wm {

namespace {

constexpr QAbstractItemView::EditTriggers kEditTriggers =
    QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

} // namespace

RegisterPanel::RegisterPanel(const Widgets& widgets, const Seams& seams, const Setup& setup,
                             ParticipantRegister& participants, QObject* parent)
    : QObject(parent), m_w(widgets), m_seams(seams), m_setup(setup), m_dataDir(seams.programDir.dataDir()),
      m_participants(participants) {
    RecordModel& model = m_participants.model();
    bindGrid(m_w.grid, &model);
    model.setErrorHandler([this](const QString& message) { m_seams.prompts.error(message); });
    QFont titles(QStringLiteral("Lucida Sans Unicode"));
    titles.setPixelSize(12);
    m_w.grid->horizontalHeader()->setFont(titles);
    m_w.grid->installEventFilter(this);
    m_w.grid->setEditTriggers(kEditTriggers);
    m_w.navigator->setButtons({DBNavigator::Prior, DBNavigator::Next, DBNavigator::Delete, DBNavigator::Refresh});
    m_w.navigator->setModel(&model);
    connect(m_w.navigator, &DBNavigator::deleteRequested, this, &RegisterPanel::deleteParticipant);
    connect(m_w.navigator, &DBNavigator::refreshRequested, this, &RegisterPanel::refreshParticipants);
    connect(&model, &RecordModel::currentChanged, this, [this, &model] {
        m_w.sailNumber->setText(model.currentText(field::SEGELNR));
        m_w.boatName->setText(model.currentText(field::BOOTSNAME));
        m_w.helmsman->setText(model.currentText(field::NAME));
    });
    connect(m_w.search, &QLineEdit::textChanged, this, &RegisterPanel::FilterStarterChange);
    m_w.search->installEventFilter(this);
    m_w.clearSearch->installEventFilter(this);
    connect(m_w.newBoat, &QPushButton::clicked, this, &RegisterPanel::cmdNewParticipClick);
    connect(m_w.createSID, &QToolButton::clicked, this, &RegisterPanel::cmdCreateSIDClick);
    connect(m_w.changeSID, &QToolButton::clicked, this, &RegisterPanel::cmdChangeSIDClick);
    m_w.createSID->setIcon(m_setup.images16->icon(2));
    m_w.changeSID->setIcon(m_setup.images16->icon(3));
    if (m_w.importSID) {
        connect(m_w.importSID, &QToolButton::clicked, this, &RegisterPanel::cmdImportSIDClick);
        m_w.importSID->setIcon(QIcon(QStringLiteral(":/icons/16/04.svg")));
    }
    if (m_w.ysList) {
        connect(m_w.ysList, &QToolButton::clicked, this, &RegisterPanel::cmdYsListClick);
        m_w.ysList->setIcon(QIcon(QStringLiteral(":/icons/16/05.svg")));
    }
    m_setup.images24->show(m_w.clearSearch, 1);
}

RegisterPanel::Startup RegisterPanel::holdAtStartup(const QString& sid) {
    m_currentSID = sid;
    Startup result = Startup::Failed;
    guarded(m_seams.prompts, [&] {
        try {
            m_participants.open(m_setup.participantPath(m_currentSID));
            result = Startup::Held;
        } catch (const LockedError&) {
            result = Startup::HeldElsewhere;
            throw;
        }
    });
    if (result != Startup::Held) {
        m_participants.close();
    }
    return result;
}

bool RegisterPanel::prepareAtStartup() {
    const bool prepared = guarded(m_seams.prompts, [&] {
        m_participants.resetStatus();
        m_participants.setSearchText(m_w.search->text());
        m_participants.model().first();
    });
    if (!prepared) {
        // A start-up that failed half-way leaves no table open, so quitting writes no settings over the saved ones.
        m_participants.close();
    }
    readListInForce();
    return prepared;
}

void RegisterPanel::setRaceOpen(bool open) {
    m_raceOpen = open;
    m_participants.model().setReadOnly(open);
    m_w.grid->setEditTriggers(open ? QAbstractItemView::NoEditTriggers : kEditTriggers);
    if (m_w.importSID) {
        m_w.importSID->setEnabled(!open);
    }
    if (m_w.ysList) {
        m_w.ysList->setEnabled(!open);
    }
}

void RegisterPanel::setSearchText(const QString& text) {
    if (m_w.search->text() == text) {
        FilterStarterChange();
    } else {
        m_w.search->setText(text);
    }
}

void RegisterPanel::FilterStarterChange() {
    const QString text = m_w.search->text();
    m_setup.images24->show(m_w.clearSearch, text.isEmpty() ? 1 : 2);
    if (!m_participants.isOpen()) {
        return;
    }
    guarded(m_seams.prompts, [&] { m_participants.setSearchText(text); });
}

void RegisterPanel::Image2Click() {
    m_w.search->clear();
}

void RegisterPanel::cmdNewParticipClick() {
    if (m_participants.isOpen()) {
        emit newParticipantRequested();
    }
}

void RegisterPanel::deleteParticipant() {
    commitPendingEdit(m_w.grid);
    RecordModel& model = m_participants.model();
    if (!model.hasCurrent()) {
        return;
    }
    if (!m_seams.prompts.ask(kAppCaption, QStringLiteral("Datensatz löschen?"))) {
        return;
    }
    guarded(m_seams.prompts, [&] {
        m_participants.table().removeRow(model.currentRowid());
        model.refresh();
    });
}

void RegisterPanel::refreshParticipants() {
    commitPendingEdit(m_w.grid);
    guarded(m_seams.prompts, [&] { m_participants.model().refresh(); });
}

void RegisterPanel::reopen() {
    guarded(m_seams.prompts, [&] {
        m_participants.open(m_setup.participantPath(m_currentSID));
        m_participants.setSearchText(m_w.search->text());
        m_participants.model().first();
    });
    readListInForce();
}

void RegisterPanel::readListInForce() {
    QString list;
    if (m_participants.isOpen()) {
        list = yardstickListFor(IniFile(m_seams.programDir.prefsPath()), m_currentSID);
    }
    m_participants.model().setToolTip(field::YS, yardstickNote(list));
    if (list != m_yardstickList) {
        m_yardstickList = list;
        emit yardstickListChanged(list);
    }
}

void RegisterPanel::cmdCreateSIDClick() {
    commitPendingEdit(m_w.grid);
    const QString previous = m_currentSID;
    m_participants.close();
    FileDialogOptions dialog;
    dialog.filter = QStringLiteral("Datenbank (*.db)");
    dialog.directory = ProgramDir::findEntry(m_dataDir, QStringLiteral("starter"));
    dialog.confirmOverwrite = true;
    const QString chosen = m_seams.prompts.saveFileName(dialog);
    if (!chosen.isEmpty()) {
        guarded(m_seams.prompts, [&] {
            const QString file = tableFileName(chosen);
            // The dialog asked only about the name as typed; the file gets ".db" added.
            if (file != chosen && QFileInfo::exists(file) &&
                !m_seams.prompts.ask(
                    kAppCaption,
                    QStringLiteral("Die Datei '%1' existiert bereits.\nSoll sie ersetzt werden?").arg(file), false)) {
                return;
            }
            Table::create(file, participantFields());
            m_currentSID = chosen;
        });
    }
    reopen();
    if (!m_participants.isOpen() && m_currentSID != previous) {
        m_currentSID = previous;
        reopen();
    }
}

void RegisterPanel::cmdChangeSIDClick() {
    commitPendingEdit(m_w.grid);
    const QString previous = m_currentSID;
    m_participants.close();
    FileDialogOptions dialog;
    dialog.title = QStringLiteral("Neue Teilnehmer-DB auswählen");
    dialog.filter = QStringLiteral("Datenbanken (*.db)");
    const QString chosen = m_seams.prompts.openFileName(dialog);
    if (!chosen.isEmpty()) {
        m_currentSID = QFileInfo(chosen).absoluteFilePath();
    }
    reopen();
    if (m_participants.isOpen()) {
        emit databaseSwitched();
    } else if (m_currentSID != previous) {
        // The chosen file cannot be used: go on with the database that was open before.
        m_currentSID = previous;
        reopen();
    }
}

void RegisterPanel::cmdImportSIDClick() {
    if (m_raceOpen || !m_participants.isOpen()) {
        return;
    }
    commitPendingEdit(m_w.grid);
    FileDialogOptions dialog;
    dialog.title = QStringLiteral("Boote importieren");
    dialog.filter = QStringLiteral("CSV-Dateien (*.csv *.txt)");
    const QString chosen = m_seams.prompts.openFileName(dialog);
    if (chosen.isEmpty()) {
        return;
    }
    guarded(m_seams.prompts, [&] {
        QFile file(chosen);
        if (!file.open(QIODevice::ReadOnly)) {
            throw Error(QStringLiteral("Die Datei '%1' kann nicht gelesen werden:\n%2")
                            .arg(QDir::toNativeSeparators(chosen), file.errorString()));
        }
        const QList<ImportRow> rows = planImport(file.readAll(), m_participants.table());
        TImportPreview preview(rows, m_w.grid->window());
        if (preview.exec() != QDialog::Accepted) {
            return;
        }
        applyImport(m_participants.table(), rows);
        m_participants.model().refresh();
    });
}

void RegisterPanel::cmdYsListClick() {
    if (m_raceOpen || !m_participants.isOpen()) {
        return;
    }
    commitPendingEdit(m_w.grid);
    TYardstickList window(m_seams, m_participants.table(), m_currentSID, m_w.grid->window());
    if (window.exec() != QDialog::Accepted) {
        return;
    }
    guarded(m_seams.prompts, [&] { m_participants.model().refresh(); });
    readListInForce();
}

bool RegisterPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_w.search && event->type() == QEvent::KeyPress) {
        moveByArrowKey(m_participants.model(), static_cast<QKeyEvent*>(event)->key());
        return false; // the key still reaches the field
    }
    if (watched == m_w.clearSearch && event->type() == QEvent::MouseButtonRelease) {
        Image2Click();
        return true;
    }
    if (watched == m_w.grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_raceOpen) {
            if (!key->isAutoRepeat()) {
                emit addRequested();
            }
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers().testFlag(Qt::ControlModifier)) {
            deleteParticipant();
            return true;
        }
        return false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace wm

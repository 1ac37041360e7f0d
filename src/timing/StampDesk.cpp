#include "timing/StampDesk.h"

#include "desktop/ActionGuard.h"
#include "desktop/Prompts.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "timing/Race.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

namespace wm {

StampDesk::StampDesk(const Widgets& widgets, const Seams& seams, Race& race, StartClock& startClock,
                     std::function<void()> finished, QObject* parent)
    : QObject(parent), m_w(widgets), m_seams(seams), m_race(race), m_startClock(startClock),
      m_finished(std::move(finished)) {
    connect(m_w.stamp, &QPushButton::clicked, this, &StampDesk::cmdStampClick);
    connect(m_w.assign, &QPushButton::clicked, this, &StampDesk::cmdAssignClick);
    connect(m_w.deleteStamp, &QPushButton::clicked, this, &StampDesk::cmdStampDeleteClick);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), m_w.window);
    f5->setContext(Qt::WindowShortcut);
    connect(f5, &QShortcut::activated, this, [this] {
        if (!m_w.stamp->isHidden() && m_w.stamp->isEnabled()) {
            cmdStampClick();
        }
    });
    m_w.stamps->installEventFilter(this);
    connect(&m_race.list(), &RecordModel::currentChanged, this, &StampDesk::showTimeToWin);
    connect(&m_startClock, &StartClock::refreshed, this, &StampDesk::showTimeToWin);
    setFinishMode(false);
}

void StampDesk::setFinishMode(bool on) {
    for (QWidget* w :
         {static_cast<QWidget*>(m_w.stamp), static_cast<QWidget*>(m_w.stamps), static_cast<QWidget*>(m_w.assign),
          static_cast<QWidget*>(m_w.deleteStamp), static_cast<QWidget*>(m_w.timeToWin)}) {
        w->setVisible(on);
    }
    if (on) {
        refresh();
    }
}

void StampDesk::cmdStampClick() {
    // The time first: nothing may come between the key and the moment taken.
    const int ms = m_seams.clock.now().time().msecsSinceStartOfDay();
    guarded(m_seams.prompts, [&] {
        const qint64 id = m_race.addStamp(ms);
        // Newest first; a stamp is never older than one already listed, and the list is not read again.
        auto* item = new QListWidgetItem(stampText(ms));
        item->setData(Qt::UserRole, id);
        m_w.stamps->insertItem(0, item);
        m_w.stamps->setCurrentRow(0);
    });
}

qint64 StampDesk::selectedStamp() const {
    const QListWidgetItem* item = m_w.stamps->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toLongLong() : 0;
}

void StampDesk::cmdAssignClick() {
    RecordModel& list = m_race.list();
    if (m_race.mode() != Race::Mode::Finish || !list.hasCurrent()) {
        m_seams.prompts.message(QStringLiteral("Bitte zuerst das Boot in der Liste wählen, dem die Zeit gehört."));
        return;
    }
    const qint64 id = selectedStamp();
    if (id == 0) {
        m_seams.prompts.message(QStringLiteral("Bitte eine genommene Zeit in der Liste wählen."));
        return;
    }
    const bool done = guarded(m_seams.prompts, [&] {
        int ms = -1;
        for (const Race::Stamp& s : m_race.stamps()) {
            ms = s.id == id ? s.ms : ms;
        }
        bool ok = false;
        const int start = list.currentText(field::START).toInt(&ok);
        if (!ok || start < 1 || start > kStarts || ms < 0) {
            throw Error(QStringLiteral("Das Boot hat keine gültige Startgruppe; die Zeit bleibt in der Liste."));
        }
        m_race.assignStamp(id, elapsedAtStamp(m_startClock.startTime(start), ms));
    });
    refresh();
    if (done) {
        emit stampAssigned();
        m_finished();
    }
}

void StampDesk::cmdStampDeleteClick() {
    const qint64 id = selectedStamp();
    if (id == 0) {
        m_seams.prompts.message(QStringLiteral("Bitte eine genommene Zeit in der Liste wählen."));
        return;
    }
    if (!m_seams.prompts.ask(kAppCaption,
                             QStringLiteral("Die genommene Zeit %1 löschen?").arg(m_w.stamps->currentItem()->text()),
                             false)) {
        return;
    }
    guarded(m_seams.prompts, [&] { m_race.deleteStamp(id); });
    refresh();
}

void StampDesk::refresh() {
    const qint64 kept = selectedStamp();
    m_w.stamps->clear();
    if (!m_race.isOpen()) {
        m_leader.clear();
        showTimeToWin();
        return;
    }
    guarded(m_seams.prompts, [&] {
        for (const Race::Stamp& s : m_race.stamps()) {
            if (s.entry == 0) {
                auto* item = new QListWidgetItem(stampText(s.ms), m_w.stamps);
                item->setData(Qt::UserRole, s.id);
                if (s.id == kept) {
                    m_w.stamps->setCurrentItem(item);
                }
            }
        }
        QStringList corrected;
        const int column = m_race.table().fieldIndex(field::BZEIT);
        for (const Table::Row& row : m_race.table().select(Filter::equals(field::STATUS, QStringLiteral("2")))) {
            corrected << displayText(row.values.value(column));
        }
        m_leader = leadingCorrected(corrected);
    });
    showTimeToWin();
}

void StampDesk::showTimeToWin() {
    RecordModel& list = m_race.list();
    QString line;
    if (m_race.mode() == Race::Mode::Finish && list.hasCurrent() && !m_leader.isEmpty()) {
        bool ok = false;
        const int start = list.currentText(field::START).toInt(&ok);
        const double yardstick = displayText(list.currentValue(field::YS)).replace(u',', u'.').toDouble();
        if (ok && start >= 1 && start <= kStarts) {
            if (const std::optional<double> deadline = timeToWin(m_startClock.startTime(start), m_leader, yardstick)) {
                line = timeToWinLine(*deadline, m_seams.clock.timeOfDay());
            }
        }
    }
    if (m_w.timeToWin->text() != line) {
        m_w.timeToWin->setText(line);
    }
}

bool StampDesk::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_w.stamps && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdAssignClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace wm

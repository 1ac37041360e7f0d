#include "desktop/CommandLabels.h"

#include "desktop/ImageList.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace wm {

CommandLabels::CommandLabels(const ImageList& images, QObject* parent) : QObject(parent), m_images(images) {}

void CommandLabels::add(const Entry& entry) {
    m_entries.append({entry.label, entry.icon, entry.label, entry.icon, entry.normal, entry.highlighted, entry.click});
    for (QLabel* w : {entry.label, entry.icon}) {
        if (w) {
            w->setMouseTracking(true);
            w->installEventFilter(this);
        }
    }
    highlight(m_entries.last(), false);
}

void CommandLabels::setResetArea(QWidget* area) {
    m_resetArea = area;
    area->installEventFilter(this);
}

void CommandLabels::showNormal() {
    for (const Held& e : m_entries) {
        highlight(e, false);
    }
}

bool CommandLabels::isHighlighted(const QLabel* label) const {
    return label->font().bold();
}

void CommandLabels::highlight(const Held& entry, bool on) const {
    if (!entry.labelAlive) {
        return;
    }
    QFont f = entry.label->font();
    f.setBold(on);
    entry.label->setFont(f);
    if (entry.icon && entry.iconAlive) {
        m_images.show(entry.icon, on ? entry.highlighted : entry.normal);
    }
}

bool CommandLabels::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_resetArea && type == QEvent::Enter) {
        showNormal();
        return false;
    }
    // Only the mouse matters here; other events also come while a window takes its labels down.
    if (type != QEvent::Enter && type != QEvent::MouseMove && type != QEvent::Leave &&
        type != QEvent::MouseButtonRelease) {
        return QObject::eventFilter(watched, event);
    }
    for (const Held& e : m_entries) {
        if (!e.labelAlive || (watched != e.labelAlive.data() && watched != e.iconAlive.data())) {
            continue;
        }
        if (!e.label->isEnabled()) {
            return false;
        }
        if ((type == QEvent::Enter || type == QEvent::MouseMove) && !e.label->font().bold()) {
            highlight(e, true);
        } else if (type == QEvent::Leave && watched == e.label) {
            highlight(e, false);
        } else if (type == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                   e.click) {
            e.click();
            return true;
        }
        return false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace wm

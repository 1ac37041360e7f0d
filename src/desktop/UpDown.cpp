#include "desktop/UpDown.h"

#include <QEvent>
#include <QLineEdit>
#include <QToolButton>

namespace wm {

UpDown::UpDown(QWidget* parent) : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::stepBy(int steps) {
    if (m_buddy) {
        bool ok = false;
        const int typed = m_buddy->text().toInt(&ok);
        if (ok) {
            m_position = std::clamp(typed, m_minimum, m_maximum);
        }
    }
    const int next = std::clamp(m_position + steps, m_minimum, m_maximum);
    m_position = next;
    if (m_buddy) {
        m_buddy->setText(QString::number(next));
    }
}

void UpDown::changeEvent(QEvent* event) {
    // A message box shown by a step must not let the held button go on stepping behind it.
    if (event->type() == QEvent::WindowBlocked) {
        m_up->setDown(false);
        m_down->setDown(false);
    }
    QWidget::changeEvent(event);
}

void UpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

} // namespace wm

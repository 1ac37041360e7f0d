#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace wm {

// The small up-down spinner beside a text field: it steps the number in its field within its range and
// never wraps. Typing into the field is not limited by it.
class UpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int position READ position WRITE setPosition)
public:
    explicit UpDown(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy) { m_buddy = buddy; }
    int minimum() const { return m_minimum; }
    void setMinimum(int v) { m_minimum = v; }
    int maximum() const { return m_maximum; }
    void setMaximum(int v) { m_maximum = v; }
    int position() const { return m_position; }
    void setPosition(int v) { m_position = std::clamp(v, m_minimum, m_maximum); }

    void stepBy(int steps);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
    QLineEdit* m_buddy = nullptr;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};

} // namespace wm

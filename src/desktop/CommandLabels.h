#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QLabel;
class QWidget;

namespace wm {

class ImageList;

// Commands shown as a label with an icon beside it. Hovering either one highlights the pair (bold text and
// the highlighted picture), leaving the label restores it, and a left click runs the command. Moving onto
// the reset area restores every entry, because a fast mouse can leave a label without it noticing.
class CommandLabels : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QLabel* label = nullptr;
        QLabel* icon = nullptr; // may be null: a label without a picture
        int normal = 0;
        int highlighted = 0;
        std::function<void()> click;
    };

    explicit CommandLabels(const ImageList& images, QObject* parent = nullptr);

    void add(const Entry& entry);
    void setResetArea(QWidget* area);
    // Every entry in its normal look, as when the window is shown.
    void showNormal();
    bool isHighlighted(const QLabel* label) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Held as guarded pointers: while a window is destroyed its labels go one by one and still send events.
    struct Held {
        QLabel* label = nullptr;
        QLabel* icon = nullptr;
        QPointer<QObject> labelAlive;
        QPointer<QObject> iconAlive;
        int normal = 0;
        int highlighted = 0;
        std::function<void()> click;
    };
    void highlight(const Held& entry, bool on) const;

    const ImageList& m_images;
    QList<Held> m_entries;
    QWidget* m_resetArea = nullptr;
};

} // namespace wm

#pragma once

#include "desktop/ImageList.h"

#include <QDialog>
#include <QStandardItemModel>

#include <functional>

class QTreeView;

namespace wm {

class CommandLabels;

// The frame of the race browser and the series window: a modal window with a header band across its width,
// command labels in the header, and a tree listing the stored names of which the user chooses one.
class BrowserDialog : public QDialog {
    Q_OBJECT
public:
    // The names in the tree, top to bottom.
    QStringList names() const;

protected:
    enum class Placement { CentreOfScreen, OverOwner };
    struct Frame {
        QWidget* headerBand = nullptr;
        QWidget* resetArea = nullptr; // moving onto it shows every command label normal again
        QTreeView* tree = nullptr;
        Placement placement = Placement::CentreOfScreen;
    };

    explicit BrowserDialog(QWidget* parent);
    ~BrowserDialog() override;

    // After the form's setupUi(): `chosen` runs with the name the user picks in the tree.
    void setUpFrame(const Frame& frame, std::function<void(const QString&)> chosen);
    CommandLabels& commands() const { return *m_commands; }
    // Lists the names; `current` is marked as chosen when listed, without running the choice again.
    void listNames(const QStringList& names, const QString& current = {});
    // Runs each time the program shows the window, not when the desktop merely brings it back.
    virtual void aboutToShow() {}

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const ImageList m_images24{24};
    CommandLabels* m_commands = nullptr;
    QStandardItemModel m_names;
    Frame m_frame;
};

} // namespace wm

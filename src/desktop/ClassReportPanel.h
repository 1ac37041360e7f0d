#pragma once

#include <QObject>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace wm {

class CommandLabels;
class Table;
class UpDown;

// The reports of the race browser and of the series window: the whole result, one boat type from the type
// list, or a Yardstick range (both bounds included), printed or as PDF. The panel owns the choice of type and
// range and connects the report commands to the window's handlers.
class ClassReportPanel : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QLabel* printAll = nullptr; // beside its picture, among the window's commands
        QLabel* printAllIcon = nullptr;
        QLabel* printType = nullptr;
        QLabel* printRange = nullptr;
        QLabel* pdfAll = nullptr;
        QLabel* pdfType = nullptr;
        QLabel* pdfRange = nullptr;
        QComboBox* types = nullptr; // ComboBox1
        QLineEdit* low = nullptr;   // Edit1
        UpDown* lowSpinner = nullptr;
        QLineEdit* high = nullptr; // Edit2
        UpDown* highSpinner = nullptr;
    };
    // The window's handlers, one for each command above.
    struct Handlers {
        std::function<void()> printAll, printType, printRange, pdfAll, pdfType, pdfRange;
    };

    ClassReportPanel(const Widgets& widgets, const Handlers& handlers, CommandLabels& commands,
                     QObject* parent = nullptr);

    QString type() const;
    QString low() const;
    QString high() const;
    // Adds the boat types of `table` not listed yet, in alphabetical order whatever the letter case, and
    // chooses the first type of the list. Throws wm::Error.
    void gatherTypes(const Table& table);
    // The whole printed result and the choice of type and range; the other commands stay and say why not.
    void setEnabled(bool enabled);

private:
    const Widgets m_w;
};

} // namespace wm

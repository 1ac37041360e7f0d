#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QTableView;

namespace wm {

class DBNavigator;
class Prompts;
class RecordModel;

// Edit fields over the current record of a grid, and the record buttons beside it (insert, delete, cancel,
// refresh). Typed text is written when Return is pressed in a field, when the grid moves to another record
// and before a record is inserted or the records are read again; text the table refuses stays on screen with
// the record it was typed for. Delete and cancel drop it.
class RecordEditor : public QObject {
    Q_OBJECT
public:
    struct Field {
        QLineEdit* edit = nullptr;
        QString field;
    };
    struct Shown {
        QLabel* label = nullptr;
        QString field;
    };
    struct Widgets {
        QTableView* grid = nullptr;
        DBNavigator* navigator = nullptr;
        QList<Field> fields;
        QList<Shown> shown; // read only
    };

    // `requireOpen` throws wm::Error with the window's message while its table is closed.
    RecordEditor(const Widgets& widgets, RecordModel& model, Prompts& prompts, std::function<void()> requireOpen,
                 QObject* parent = nullptr);

    // Writes what is typed in the grid and the fields. Returns false when the table refused it: the message
    // was shown and the typed text stays.
    bool post();
    // Shows the current record's values in the fields.
    void load();
    // Drops typed text and forgets the record just inserted: the table was changed as a whole, or closed.
    void forget();

    void insertRecord();
    void deleteRecord();
    void cancelEdit();
    void refreshRecords();

private:
    bool postFields();
    void recordChanged();

    const Widgets m_w;
    RecordModel& m_model;
    Prompts& m_prompts;
    const std::function<void()> m_requireOpen;
    // The record the fields belong to, and whether they hold typed text not yet written.
    qint64 m_fieldsRowid = -1;
    bool m_dirty = false;
    qint64 m_insertedRowid = -1;
};

} // namespace wm

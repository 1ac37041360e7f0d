#pragma once

#include "desktop/Seams.h"
#include "participants/YardstickList.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TYardstickList;
}

namespace wm {

class Table;

// A Yardstick list laid beside the register: the boats whose number changes, each with a tick, the rows of
// the file that could not be read and the register's types the list lacks. "Übernehmen" writes the ticked
// numbers and names the list in the settings; "Abbrechen" writes nothing. The name is at most 30 characters,
// so the rules line of a result page that names it stays on one line.
class TYardstickList : public QDialog {
    Q_OBJECT
public:
    // `database` is the participant database as the settings name it.
    TYardstickList(const Seams& seams, Table& participants, const QString& database, QWidget* parent = nullptr);
    ~TYardstickList() override;

    void cmdFileClick();
    void cmdApplyClick();

    // Grid columns.
    enum Column { Sail, Boat, Type, Now, Listed, Tick, Remark, kColumns };

private:
    void load(const QString& path);
    void showComparison(const YardstickList& list);

    std::unique_ptr<Ui::TYardstickList> m_ui;
    const Seams m_seams;
    Table& m_participants;
    const QString m_database;
    YardstickComparison m_comparison;
};

} // namespace wm

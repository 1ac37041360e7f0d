#pragma once

#include "store/RecordModel.h"
#include "store/Table.h"

namespace wm {

// The participant table of the main window and the register over it: the boats still available (STATUS 0),
// narrowed by the search text.
class ParticipantRegister {
public:
    ParticipantRegister();

    Table& table() { return m_table; }
    RecordModel& model() { return m_model; }
    bool isOpen() const { return m_table.isOpen(); }

    // Opens a participant table for this program alone; throws wm::Error (missing, locked, not a
    // participant table).
    void open(const QString& path);
    void close();
    // Every boat available again (one statement, so one commit however many boats there are).
    void resetStatus();

    // The register filter for a search text: STATUS 0, and with a text, sail number, boat name, name or type
    // beginning with it in any letter case.
    static Filter registerFilter(const QString& searchText);
    // Applies the filter for the search text and reads the register again.
    void setSearchText(const QString& searchText);
    const QString& searchText() const { return m_searchText; }

private:
    Table m_table;
    RecordModel m_model;
    QString m_searchText;
};

} // namespace wm

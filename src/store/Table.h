#pragma once

#include "store/Fields.h"
#include "store/Filter.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

struct sqlite3;

namespace wm {

// The German message for an SQLite result code (primary code) met on the table file `path`.
QString storeErrorText(int code, const QString& path, const QString& detail = {});

// One table file: an SQLite database holding the single table "records". Rows are identified by rowid;
// natural order is rowid order. Every change is committed at once with synchronous=FULL. Methods that can
// fail throw wm::Error carrying the message the user sees.
class Table {
public:
    enum class Mode { Shared, Exclusive };
    struct Row {
        qint64 rowid = 0;
        QVariantList values; // in field order
    };

    Table();
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Creates an empty table file, replacing any existing file of that name and its companions.
    static void create(const QString& path, const FieldList& fields);
    // Deletes the table file and the store's companion files beside it.
    static void remove(const QString& path);

    // Checks the field list of a table before anything is written to it (throws wm::Error to refuse it).
    using Check = std::function<void(const Table&)>;
    // Opens a table file. In exclusive mode the table is held for this program alone and must be writable.
    void open(const QString& path, Mode mode = Mode::Shared, const Check& check = {});
    void close();
    bool isOpen() const { return !m_connection.isEmpty(); }
    const QString& path() const { return m_path; }
    const FieldList& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const; // -1 if absent
    // Throws unless the table has exactly the fields of `expected` (names without regard to case, types).
    void requireLayout(const FieldList& expected) const;

    void addColumn(const FieldDef& field);
    void createIndex(const QString& name, const QStringList& fields, bool unique);
    void dropIndex(const QString& name);
    bool hasIndex(const QString& name) const;

    int count(const Filter& filter = {}, bool ignoreCase = false) const;
    // Rows passing the filter, ordered by the given fields (in character order for texts), then by rowid.
    QList<Row> select(const Filter& filter = {}, bool ignoreCase = false, const QStringList& orderBy = {}) const;
    // The rowids of the rows select() gives, in the same order, without reading their values.
    QList<qint64> selectRowids(const Filter& filter = {}, bool ignoreCase = false,
                               const QStringList& orderBy = {}) const;
    Row read(qint64 rowid) const;
    // The rows of these rowids (a page: a few hundred at most) in any order, in one statement; a rowid no
    // longer in the table is left out.
    QList<Row> readRows(const QList<qint64>& rowids) const;
    QVariant value(qint64 rowid, const QString& field) const;

    qint64 insert(const QVariantMap& values);
    void setValue(qint64 rowid, const QString& field, const QVariant& value);
    void setValues(qint64 rowid, const QVariantMap& values);
    void setAll(const QString& field, const QVariant& value);
    // One field of many rows, with one prepared statement (call inside a Transaction for one commit).
    void setColumn(const QString& field, const QList<std::pair<qint64, QVariant>>& values);
    void removeRow(qint64 rowid);

    QSqlDatabase database() const;
    // The SQLite connection underneath; null when the table is not open.
    sqlite3* handle() const;

    // Statements on the program's own bookkeeping tables kept beside "records" in the same file, so that
    // they are committed together with the rows. Identifiers are the program's constants, values are bound.
    void exec(const QString& sql, const QVariantList& binds = {}) const;
    QList<QVariantList> query(const QString& sql, const QVariantList& binds = {}) const;
    bool hasTable(const QString& name) const;

    // Several changes committed together or not at all: rolled back unless commit() is reached. Opened
    // inside another transaction it is a savepoint of it: its changes are kept or dropped on their own, and
    // reach the disk only with the outer commit.
    class Transaction {
    public:
        explicit Transaction(Table& table);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        Table& m_table;
        QString m_savepoint; // empty: the outermost transaction
        bool m_open = true;
    };

private:
    QString selectSql(const QString& columns, const Filter& filter, bool ignoreCase, const QStringList& orderBy,
                      QVariantList& binds) const;
    void loadFields();
    void requireWritable() const;
    const FieldDef& fieldOrThrow(const QString& name) const;
    QString assignments(const QVariantMap& values, QVariantList& binds) const;

    QString m_connection;
    QString m_path;
    FieldList m_fields;
};

} // namespace wm

#include "store/Table.h"

#include "store/Error.h"
#include "store/TableSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

// Statements on an open table: its fields and indexes, reading rows (all, by rowid, a page at a time) and
// writing them.

namespace wm {

namespace {

const QString kTableInfo = QStringLiteral("PRAGMA table_info(records)");
const QString kHasIndex = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ?");
const QString kHasTable = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?");

// Prepares `sql` on `q`, binds the values in their order and runs it. Throws wm::Error.
void run(QSqlQuery& q, const QString& path, const QString& sql, const QVariantList& binds) {
    if (!q.prepare(sql)) {
        failStatement(path, q.lastError());
    }
    for (const QVariant& v : binds) {
        q.addBindValue(v);
    }
    if (!q.exec()) {
        failStatement(path, q.lastError());
    }
}

} // namespace

void Table::exec(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q(database());
    q.setForwardOnly(true);
    run(q, m_path, sql, binds);
}

QList<QVariantList> Table::query(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q(database());
    q.setForwardOnly(true);
    run(q, m_path, sql, binds);
    QList<QVariantList> rows;
    const int columns = q.record().count();
    while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i) {
            row << q.value(i);
        }
        rows << row;
    }
    if (q.lastError().isValid()) {
        failStatement(m_path, q.lastError());
    }
    return rows;
}

void Table::loadFields() {
    m_fields.clear();
    for (const QVariantList& row : query(kTableInfo)) {
        // cid, name, type, notnull, dflt_value, pk
        m_fields << FieldDef::fromDeclaredType(row.value(1).toString(), row.value(2).toString(), row.value(3).toBool());
    }
}

int Table::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

const FieldDef& Table::fieldOrThrow(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0) {
        throw Error(QStringLiteral("Feld '%1' nicht gefunden.").arg(name));
    }
    return m_fields[i];
}

void Table::requireLayout(const FieldList& expected) const {
    if (fieldIndex(field::Punkte) >= 0 && !findField(expected, field::Punkte)) {
        throw Error(QStringLiteral("'%1' ist keine Teilnehmertabelle, sondern die Tabelle einer Wettfahrt.\n"
                                   "Sie wurde nicht geöffnet und bleibt unverändert.")
                        .arg(m_path));
    }
    for (const FieldDef& f : expected) {
        const int i = fieldIndex(f.name);
        if (i < 0 || m_fields[i].type != f.type) {
            throw Error(QStringLiteral("'%1' ist keine Teilnehmertabelle: das Feld %2 fehlt.").arg(m_path, f.name));
        }
    }
    if (m_fields.size() != expected.size()) {
        throw Error(QStringLiteral("'%1' ist keine Teilnehmertabelle: sie hat andere Felder.\n"
                                   "Sie wurde nicht geöffnet und bleibt unverändert.")
                        .arg(m_path));
    }
}

void Table::addColumn(const FieldDef& field) {
    exec(QStringLiteral("ALTER TABLE records ADD COLUMN %1 %2").arg(quoteIdentifier(field.name), field.declaredType()));
    loadFields();
}

void Table::createIndex(const QString& name, const QStringList& fields, bool unique) {
    QStringList columns;
    for (const QString& f : fields) {
        columns << quoteIdentifier(fieldOrThrow(f).name);
    }
    exec(QStringLiteral("CREATE %1INDEX %2 ON records (%3)")
             .arg(unique ? QStringLiteral("UNIQUE ") : QString(), quoteIdentifier(name), columns.join(u", ")));
}

void Table::dropIndex(const QString& name) {
    exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(quoteIdentifier(name)));
}

bool Table::hasIndex(const QString& name) const {
    return query(kHasIndex, {name}).value(0).value(0).toInt() > 0;
}

bool Table::hasTable(const QString& name) const {
    return query(kHasTable, {name}).value(0).value(0).toInt() > 0;
}

int Table::count(const Filter& filter, bool ignoreCase) const {
    QVariantList binds;
    const QString where = filter.toSql(ignoreCase, binds);
    return query(QStringLiteral("SELECT count(*) FROM records WHERE ") + where, binds).value(0).value(0).toInt();
}

QString Table::selectSql(const QString& columns, const Filter& filter, bool ignoreCase, const QStringList& orderBy,
                         QVariantList& binds) const {
    const QString where = filter.toSql(ignoreCase, binds);
    QStringList order;
    for (const QString& f : orderBy) {
        order << quoteIdentifier(fieldOrThrow(f).name);
    }
    order << QStringLiteral("rowid");
    return QStringLiteral("SELECT %1 FROM records WHERE %2 ORDER BY %3").arg(columns, where, order.join(u", "));
}

QList<Table::Row> Table::select(const Filter& filter, bool ignoreCase, const QStringList& orderBy) const {
    QVariantList binds;
    const QList<QVariantList> rows =
        query(selectSql(QStringLiteral("rowid, *"), filter, ignoreCase, orderBy, binds), binds);
    QList<Row> result;
    result.reserve(rows.size());
    for (const QVariantList& r : rows) {
        result.append(Row{r.value(0).toLongLong(), r.mid(1)});
    }
    return result;
}

QList<qint64> Table::selectRowids(const Filter& filter, bool ignoreCase, const QStringList& orderBy) const {
    QVariantList binds;
    const QString sql = selectSql(QStringLiteral("rowid"), filter, ignoreCase, orderBy, binds);
    // One column read straight into the list: a register of many boats is listed without a QVariantList per row.
    QSqlQuery q(database());
    q.setForwardOnly(true);
    run(q, m_path, sql, binds);
    QList<qint64> rowids;
    while (q.next()) {
        rowids << q.value(0).toLongLong();
    }
    if (q.lastError().isValid()) {
        failStatement(m_path, q.lastError());
    }
    return rowids;
}

Table::Row Table::read(qint64 rowid) const {
    const QList<QVariantList> rows = query(QStringLiteral("SELECT rowid, * FROM records WHERE rowid = ?"), {rowid});
    if (rows.isEmpty()) {
        throw Error(QStringLiteral("Der Datensatz wurde nicht gefunden."));
    }
    return Row{rowid, rows.first().mid(1)};
}

QList<Table::Row> Table::readRows(const QList<qint64>& rowids) const {
    if (rowids.isEmpty()) {
        return {};
    }
    QStringList marks;
    QVariantList binds;
    marks.reserve(rowids.size());
    binds.reserve(rowids.size());
    for (const qint64 rowid : rowids) {
        marks << QStringLiteral("?");
        binds << rowid;
    }
    const QList<QVariantList> rows =
        query(QStringLiteral("SELECT rowid, * FROM records WHERE rowid IN (%1)").arg(marks.join(u',')), binds);
    QList<Row> result;
    result.reserve(rows.size());
    for (const QVariantList& r : rows) {
        result.append(Row{r.value(0).toLongLong(), r.mid(1)});
    }
    return result;
}

QVariant Table::value(qint64 rowid, const QString& field) const {
    const FieldDef& f = fieldOrThrow(field);
    const QList<QVariantList> rows =
        query(QStringLiteral("SELECT %1 FROM records WHERE rowid = ?").arg(quoteIdentifier(f.name)), {rowid});
    if (rows.isEmpty()) {
        throw Error(QStringLiteral("Der Datensatz wurde nicht gefunden."));
    }
    return rows.first().value(0);
}

QString Table::assignments(const QVariantMap& values, QVariantList& binds) const {
    QStringList parts;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const FieldDef& f = fieldOrThrow(it.key());
        parts << quoteIdentifier(f.name) + QStringLiteral(" = ?");
        binds << convertForField(f, it.value());
    }
    return parts.join(u", ");
}

qint64 Table::insert(const QVariantMap& values) {
    QStringList names;
    QStringList marks;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const FieldDef& f = fieldOrThrow(it.key());
        names << quoteIdentifier(f.name);
        marks << QStringLiteral("?");
        binds << convertForField(f, it.value());
    }
    QSqlQuery q(database());
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("INSERT INTO records DEFAULT VALUES")
            : QStringLiteral("INSERT INTO records (%1) VALUES (%2)").arg(names.join(u", "), marks.join(u", "));
    run(q, m_path, sql, binds);
    return q.lastInsertId().toLongLong();
}

void Table::setValue(qint64 rowid, const QString& field, const QVariant& value) {
    setValues(rowid, {{field, value}});
}

void Table::setValues(qint64 rowid, const QVariantMap& values) {
    if (values.isEmpty()) {
        return;
    }
    QVariantList binds;
    const QString set = assignments(values, binds);
    binds << rowid;
    exec(QStringLiteral("UPDATE records SET %1 WHERE rowid = ?").arg(set), binds);
}

void Table::setAll(const QString& field, const QVariant& value) {
    const FieldDef& f = fieldOrThrow(field);
    const QVariant converted = convertForField(f, value);
    // Rows that hold the value already are left alone, so making every boat of a large register available
    // again rewrites only the boats that were not.
    exec(QStringLiteral("UPDATE records SET %1 = ? WHERE %1 IS NOT ?").arg(quoteIdentifier(f.name)),
         {converted, converted});
}

void Table::setColumn(const QString& field, const QList<std::pair<qint64, QVariant>>& values) {
    const FieldDef& f = fieldOrThrow(field);
    QSqlQuery q(database());
    if (!q.prepare(QStringLiteral("UPDATE records SET %1 = ? WHERE rowid = ?").arg(quoteIdentifier(f.name)))) {
        failStatement(m_path, q.lastError());
    }
    for (const auto& [rowid, value] : values) {
        q.bindValue(0, convertForField(f, value));
        q.bindValue(1, rowid);
        if (!q.exec()) {
            failStatement(m_path, q.lastError());
        }
    }
}

void Table::removeRow(qint64 rowid) {
    exec(QStringLiteral("DELETE FROM records WHERE rowid = ?"), {rowid});
}

} // namespace wm

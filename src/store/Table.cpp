#include "store/Table.h"

#include "store/Error.h"
#include "store/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>
#include <sqlite3.h>
#include <unistd.h>

namespace wm {

namespace {

const QString kLogWhere = QStringLiteral("Tabelle");
const QString kCreate = QStringLiteral("CREATE TABLE records (%1)");
const QString kTableInfo = QStringLiteral("PRAGMA table_info(records)");
const QString kHasRecords =
    QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'records'");
const QString kHasIndex = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ?");
const QString kHasTable = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?");

constexpr int kSqlitePerm = 3;
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteIoErr = 10;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteConstraint = 19;
constexpr int kSqliteNotADb = 26;

bool isAscii(const unsigned char* text, int size) {
    for (int i = 0; i < size; ++i) {
        if (text[i] & 0x80) {
            return false;
        }
    }
    return true;
}

bool asciiEqual(const unsigned char* a, const unsigned char* b, int size, bool ignoreCase) {
    for (int i = 0; i < size; ++i) {
        const unsigned char x = ignoreCase && a[i] >= 'A' && a[i] <= 'Z' ? a[i] + 32 : a[i];
        const unsigned char y = ignoreCase && b[i] >= 'A' && b[i] <= 'Z' ? b[i] + 32 : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

// wm_match(value, constant, prefix, ignoreCase): the text comparison of filters. Qt's comparison folds case
// for every letter, so umlauts match in any case, which SQLite's LIKE does not do. Plain ASCII, by far the
// common case when typing a sail number, is compared byte by byte, so a search over many boats stays fast.
void matchFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    const bool prefix = sqlite3_value_int(argv[2]) != 0;
    const bool ignoreCase = sqlite3_value_int(argv[3]) != 0;
    const auto* value = sqlite3_value_text(argv[0]);
    const int valueSize = value ? sqlite3_value_bytes(argv[0]) : 0;
    const auto* constant = sqlite3_value_text(argv[1]);
    const int constantSize = constant ? sqlite3_value_bytes(argv[1]) : 0;
    static const unsigned char empty = 0;
    value = value ? value : &empty;
    constant = constant ? constant : &empty;
    if (isAscii(value, valueSize) && isAscii(constant, constantSize)) {
        const bool sizeFits = prefix ? valueSize >= constantSize : valueSize == constantSize;
        sqlite3_result_int(context, sizeFits && asciiEqual(value, constant, constantSize, ignoreCase) ? 1 : 0);
        return;
    }
    const QString v = QString::fromUtf8(reinterpret_cast<const char*>(value), valueSize);
    const QString c = QString::fromUtf8(reinterpret_cast<const char*>(constant), constantSize);
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    sqlite3_result_int(context, (prefix ? v.startsWith(c, cs) : v.compare(c, cs) == 0) ? 1 : 0);
}

sqlite3* handleOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        return *static_cast<sqlite3* const*>(handle.constData());
    }
    return nullptr;
}

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("wm_table_%1").arg(++counter);
}

[[noreturn]] void fail(const QString& path, const QSqlError& error) {
    // The driver reports extended result codes (2067 for a unique constraint); the primary code is the low byte.
    const int code = error.nativeErrorCode().toInt() & 0xff;
    const QString text = storeErrorText(code, path, error.driverText());
    if (code == kSqliteBusy || code == kSqliteLocked) {
        throw LockedError(text);
    }
    if (code == kSqliteConstraint) {
        throw ConstraintError(text);
    }
    throw Error(text);
}

} // namespace

QString storeErrorText(int code, const QString& path, const QString& detail) {
    const QString name = QFileInfo(path).fileName();
    const QString notSaved = QStringLiteral("\nDie Änderung wurde nicht gespeichert.");
    switch (code) {
    case kSqliteBusy:
    case kSqliteLocked:
        return QStringLiteral("Die Tabelle '%1' wird gerade von einem anderen Programm benutzt.\n"
                              "Bitte schließen Sie das andere Programm und versuchen Sie es erneut.")
            .arg(path);
    case kSqliteNotADb:
    case kSqliteCorrupt:
        return QStringLiteral("'%1' ist keine gültige Tabellendatei: die Datei ist beschädigt oder gehört zu einem "
                              "anderen Programm.")
            .arg(path);
    case kSqliteConstraint:
        return QStringLiteral("Schlüsselverletzung in Tabelle '%1': %2").arg(name, detail);
    case kSqliteFull:
        return QStringLiteral("Die Tabelle '%1' kann nicht geschrieben werden: der Datenträger ist voll.").arg(path) +
               notSaved;
    case kSqliteReadOnly:
    case kSqlitePerm:
        return QStringLiteral("Die Tabelle '%1' kann nicht geschrieben werden: die Datei oder ihr Ordner ist "
                              "schreibgeschützt.")
                   .arg(path) +
               notSaved;
    case kSqliteIoErr:
        return QStringLiteral("Beim Lesen oder Schreiben der Tabelle '%1' ist ein Ein- oder Ausgabefehler "
                              "aufgetreten.")
                   .arg(path) +
               notSaved;
    case kSqliteCantOpen:
        return QStringLiteral("Die Tabelle '%1' kann nicht geöffnet werden: die Datei oder ihr Ordner ist nicht "
                              "zugänglich.")
                   .arg(path) +
               notSaved;
    default:
        return QStringLiteral("Fehler in Tabelle '%1' (Fehlercode %2).").arg(name, QString::number(code)) + notSaved;
    }
}

Table::Table() = default;

Table::~Table() {
    close();
}

void Table::create(const QString& path, const FieldList& fields) {
    // A table still in use must not be replaced: its owner would go on writing into a deleted file.
    if (QFileInfo(path).isFile()) {
        try {
            Table probe;
            probe.open(path, Mode::Exclusive);
        } catch (const LockedError&) {
            throw;
        } catch (const Error&) {
            // Not a table file: it may be replaced.
        }
    }
    remove(path);
    QStringList columns;
    for (const FieldDef& f : fields) {
        columns << quoteIdentifier(f.name) + u' ' + f.declaredType() +
                       (f.required ? QStringLiteral(" NOT NULL") : QString());
    }
    const QString connection = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        bool ok = db.open();
        QSqlError error = db.lastError();
        if (ok) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("PRAGMA synchronous=FULL")) && q.exec(kCreate.arg(columns.join(u", ")));
            error = q.lastError();
        }
        db.close();
        if (!ok) {
            QSqlDatabase::removeDatabase(connection);
            if (QFileInfo::exists(path) && !QFile::remove(path)) {
                logFailure(
                    kLogWhere,
                    QStringLiteral("Die unvollständig angelegte Tabelle '%1' konnte nicht gelöscht werden.").arg(path));
            }
            throw Error(QStringLiteral("Die Tabelle '%1' konnte nicht angelegt werden: %2").arg(path, error.text()));
        }
    }
    QSqlDatabase::removeDatabase(connection);
}

void Table::remove(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        throw Error(QStringLiteral("'%1' ist ein Verzeichnis und keine Tabellendatei.").arg(path));
    }
    for (const QString& suffix :
         {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString file = path + suffix;
        if (QFileInfo::exists(file) && !QFile::remove(file)) {
            throw Error(QStringLiteral("Die Datei '%1' konnte nicht gelöscht werden.").arg(file));
        }
    }
}

void Table::open(const QString& path, Mode mode, const Check& check) {
    close();
    const QFileInfo info(path);
    if (!info.exists()) {
        throw Error(QStringLiteral("Die Tabelle '%1' existiert nicht.").arg(path));
    }
    if (!info.isFile()) {
        throw Error(QStringLiteral("'%1' ist keine Tabellendatei.").arg(path));
    }
    const QString connection = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        // A locked file must fail at once rather than after the driver's default of five seconds.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=50"));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection);
            fail(path, error);
        }
        if (sqlite3* handle = handleOf(db)) {
            sqlite3_create_function_v2(handle, "wm_match", 4, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                       &matchFunction, nullptr, nullptr, nullptr);
        }
    }
    m_connection = connection;
    m_path = path;
    try {
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
        if (mode == Mode::Exclusive) {
            exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
        }
        // Checked before the lock is taken: taking it on an empty file would write a database header into it.
        if (query(kHasRecords).value(0).value(0).toInt() != 1) {
            throw Error(QStringLiteral("'%1' ist keine gültige Tabellendatei.").arg(path));
        }
        loadFields();
        if (check) {
            check(*this);
        }
        if (mode == Mode::Exclusive) {
            // A table held for changes must not turn out read-only with the first change: the file and its
            // folder (where the journal goes) must be writable.
            requireWritable();
            // SQLite takes the exclusive lock only with the first write, so take it now and keep it.
            exec(QStringLiteral("BEGIN EXCLUSIVE"));
            exec(QStringLiteral("COMMIT"));
        }
    } catch (...) {
        close();
        throw;
    }
}

void Table::requireWritable() const {
    const QFileInfo info(m_path);
    sqlite3* handle = handleOf(database());
    const bool readOnly = (handle && sqlite3_db_readonly(handle, "main") == 1) ||
                          ::access(QFile::encodeName(m_path).constData(), W_OK) != 0 ||
                          ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0;
    if (readOnly) {
        throw Error(QStringLiteral("Die Tabelle '%1' kann nicht geöffnet werden: die Datei oder ihr Ordner ist "
                                   "schreibgeschützt.\nBitte heben Sie den Schreibschutz auf und versuchen Sie es "
                                   "erneut.")
                        .arg(m_path));
    }
}

void Table::close() {
    if (m_connection.isEmpty()) {
        return;
    }
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
    m_fields.clear();
}

sqlite3* Table::handle() const {
    return isOpen() ? handleOf(database()) : nullptr;
}

QSqlDatabase Table::database() const {
    if (m_connection.isEmpty()) {
        throw Error(QStringLiteral("Die Tabelle ist nicht geöffnet."));
    }
    return QSqlDatabase::database(m_connection, false);
}

void Table::exec(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        fail(m_path, q.lastError());
    }
    for (const QVariant& v : binds) {
        q.addBindValue(v);
    }
    if (!q.exec()) {
        fail(m_path, q.lastError());
    }
}

QList<QVariantList> Table::query(const QString& sql, const QVariantList& binds) const {
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        fail(m_path, q.lastError());
    }
    for (const QVariant& v : binds) {
        q.addBindValue(v);
    }
    if (!q.exec()) {
        fail(m_path, q.lastError());
    }
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
        fail(m_path, q.lastError());
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
    if (!q.prepare(sql)) {
        fail(m_path, q.lastError());
    }
    for (const QVariant& v : binds) {
        q.addBindValue(v);
    }
    if (!q.exec()) {
        fail(m_path, q.lastError());
    }
    QList<qint64> rowids;
    while (q.next()) {
        rowids << q.value(0).toLongLong();
    }
    if (q.lastError().isValid()) {
        fail(m_path, q.lastError());
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
    if (!q.prepare(sql)) {
        fail(m_path, q.lastError());
    }
    for (const QVariant& v : binds) {
        q.addBindValue(v);
    }
    if (!q.exec()) {
        fail(m_path, q.lastError());
    }
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

Table::Transaction::Transaction(Table& table) : m_table(table) {
    sqlite3* handle = handleOf(m_table.database());
    if (handle && sqlite3_get_autocommit(handle) == 0) {
        static std::atomic<int> counter{0};
        m_savepoint = QStringLiteral("wm_sp%1").arg(++counter);
        m_table.exec(QStringLiteral("SAVEPOINT ") + m_savepoint);
    } else {
        m_table.exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
}

Table::Transaction::~Transaction() {
    if (m_open) {
        try {
            if (m_savepoint.isEmpty()) {
                m_table.exec(QStringLiteral("ROLLBACK"));
            } else {
                m_table.exec(QStringLiteral("ROLLBACK TO ") + m_savepoint);
                m_table.exec(QStringLiteral("RELEASE ") + m_savepoint);
            }
        } catch (const Error& e) {
            // Nothing more can be done here; SQLite rolls back an unfinished transaction itself.
            logFailure(kLogWhere, QStringLiteral("Eine Änderung konnte nicht zurückgenommen werden: ") + e.message());
        }
    }
}

void Table::Transaction::commit() {
    m_table.exec(m_savepoint.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_savepoint);
    m_open = false;
}

void Table::setColumn(const QString& field, const QList<std::pair<qint64, QVariant>>& values) {
    const FieldDef& f = fieldOrThrow(field);
    QSqlQuery q(database());
    if (!q.prepare(QStringLiteral("UPDATE records SET %1 = ? WHERE rowid = ?").arg(quoteIdentifier(f.name)))) {
        fail(m_path, q.lastError());
    }
    for (const auto& [rowid, value] : values) {
        q.bindValue(0, convertForField(f, value));
        q.bindValue(1, rowid);
        if (!q.exec()) {
            fail(m_path, q.lastError());
        }
    }
}

void Table::removeRow(qint64 rowid) {
    exec(QStringLiteral("DELETE FROM records WHERE rowid = ?"), {rowid});
}

} // namespace wm

#include "store/Error.h"
#include "store/Log.h"
#include "store/Table.h"
#include "store/TableSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <sqlite3.h>
#include <unistd.h>

// The table file as a whole: creating, removing, opening (shared or held for this program alone) and
// closing it, transactions, and the user's message for a store failure.

namespace wm {

namespace {

const QString kLogWhere = QStringLiteral("Tabelle");
const QString kCreate = QStringLiteral("CREATE TABLE records (%1)");
const QString kHasRecords =
    QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'records'");

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

} // namespace

void failStatement(const QString& path, const QSqlError& error) {
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
            failStatement(path, error);
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

} // namespace wm

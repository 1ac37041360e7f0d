#include "store/Backup.h"

#include "store/Error.h"
#include "store/Log.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm {

namespace {

const QString kBackupFolder = QStringLiteral("Sicherung");
const QString kLogWhere = QStringLiteral("Sicherung");
const QString kNameFormat = QStringLiteral("yyyy-MM-dd_hh-mm-ss");
// A backup being written; left behind only by a crash, and removed by the next backup.
const QString kTemporaryPrefix = QStringLiteral(".neu-");
const QRegularExpression kBackupName(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(_\\d+)?$"));
// Long enough to wait out another program's single commit, short enough not to delay the start.
constexpr int kBusyTimeoutMs = 100;

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString failed(const QString& reason) {
    return QStringLiteral("Die Sicherung der Daten ist fehlgeschlagen: ") + reason;
}

// A failure that ends the whole backup (the backup folder cannot be written).
struct Fatal {
    QString reason;
};

QString writeFailure(const QString& path, int error) {
    return QStringLiteral("'%1' konnte nicht geschrieben werden.\n%2").arg(native(path), fileErrorText(error));
}

void removeTable(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

QString skippedTable(const QString& source, int rc) {
    QString reason;
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        reason = QStringLiteral("sie wird gerade von einem anderen Programm benutzt.");
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        reason = QStringLiteral("sie ist keine gültige Tabellendatei.");
        break;
    default:
        reason = QStringLiteral("sie kann nicht gelesen werden (Fehlercode %1).").arg(rc);
        break;
    }
    return QStringLiteral("Die Tabelle '%1' wurde nicht gesichert: %2").arg(native(source), reason);
}

int errnoFor(int rc) {
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return ENOSPC;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return EACCES;
    default:
        return EIO;
    }
}

struct Connection {
    sqlite3* db = nullptr;
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { sqlite3_close_v2(db); }
};

// Copies the table of an open connection into `target`, a new file; throws Fatal when the copy could not be
// written.
void copyConnection(sqlite3* from, const QString& target) {
    int rc = SQLITE_OK;
    {
        Connection to;
        rc = sqlite3_open_v2(target.toUtf8().constData(), &to.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc == SQLITE_OK) {
            // The copy needs no journal of its own: a failed copy is deleted, a finished one is flushed once.
            rc = sqlite3_exec(to.db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        }
        if (rc == SQLITE_OK) {
            if (sqlite3_backup* backup = sqlite3_backup_init(to.db, "main", from, "main")) {
                sqlite3_backup_step(backup, -1);
                rc = sqlite3_backup_finish(backup);
            } else {
                rc = sqlite3_errcode(to.db);
            }
        }
    }
    if (rc != SQLITE_OK) {
        removeTable(target);
        throw Fatal{writeFailure(target, errnoFor(rc))};
    }
}

// Copies one table; returns the reason it was skipped (empty when copied), throws Fatal when the copy
// could not be written.
QString copyTable(const QString& source, const QString& target) {
    Connection from;
    int rc = sqlite3_open_v2(source.toUtf8().constData(), &from.db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(from.db, kBusyTimeoutMs);
        // The read lock is taken here and held to the end, so any later failure is the copy's own.
        rc = sqlite3_exec(from.db, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        return skippedTable(source, rc);
    }
    copyConnection(from.db, target);
    return {};
}

// One of this program's own tables, held exclusively: no other connection can read it, its own can.
sqlite3* heldConnection(const QString& path, const QList<const Table*>& held) {
    const QString file = QFileInfo(path).canonicalFilePath();
    for (const Table* table : held) {
        if (table->isOpen() && QFileInfo(table->path()).canonicalFilePath() == file) {
            return table->handle();
        }
    }
    return nullptr;
}

int syncAndClose(int fd) {
    const int rc = ::fsync(fd) == 0 ? 0 : errno;
    return ::close(fd) == 0 || rc != 0 ? rc : errno;
}

// Copies a small file whole and flushes it to the disk; throws Fatal for a write failure.
void copyFile(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw Fatal{QStringLiteral("'%1' kann nicht gelesen werden.").arg(native(source))};
    }
    const QByteArray data = in.readAll();
    const int fd = ::open(target.toUtf8().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw Fatal{writeFailure(target, errno)};
    }
    if (const int error = writeAll(fd, data); error != 0) {
        ::close(fd);
        throw Fatal{writeFailure(target, error)};
    }
    if (const int error = syncAndClose(fd); error != 0) {
        throw Fatal{writeFailure(target, error)};
    }
}

void makeFolder(const QString& path) {
    if (::mkdir(path.toUtf8().constData(), 0755) != 0) {
        throw Fatal{
            QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.\n%2").arg(native(path), fileErrorText(errno))};
    }
}

void syncFolder(const QString& path) {
    const int fd = ::open(path.toUtf8().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool hasSuffix(const QString& file, const QString& suffix) {
    return file.endsWith(suffix, Qt::CaseInsensitive);
}

// Copies the tables and INI files of one folder (files only: nothing beneath it).
void copyFolder(const QString& source, const QString& target, const QList<const Table*>& held, BackupResult& result) {
    const QDir dir(source);
    for (const QString& file : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (hasSuffix(file, QStringLiteral(".db"))) {
            QString skipped;
            if (sqlite3* own = heldConnection(dir.filePath(file), held)) {
                copyConnection(own, target + u'/' + file);
            } else {
                skipped = copyTable(dir.filePath(file), target + u'/' + file);
            }
            if (skipped.isEmpty()) {
                ++result.tables;
            } else {
                result.skipped << skipped;
            }
        } else if (hasSuffix(file, QStringLiteral(".ini"))) {
            copyFile(dir.filePath(file), target + u'/' + file);
            ++result.iniFiles;
        }
    }
}

QStringList backupNames(const QString& folder) {
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (kBackupName.match(name).hasMatch()) {
            names << name;
        }
    }
    return names;
}

void removeLeftovers(const QString& folder) {
    for (const QString& name : QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (name.startsWith(kTemporaryPrefix) && !QDir(folder + u'/' + name).removeRecursively()) {
            logFailure(kLogWhere,
                       QStringLiteral("Der unvollständige Sicherungsordner '%1' konnte nicht gelöscht werden.")
                           .arg(native(folder + u'/' + name)));
        }
    }
}

// Keeps the new backup and the newest others up to kKeptBackups; a clock set back must not make the
// backup just taken the first to go.
QStringList prune(const QString& folder, const QString& newest) {
    QStringList others = backupNames(folder);
    others.removeAll(newest);
    QStringList problems;
    for (qsizetype i = 0; i < others.size() - (kKeptBackups - 1); ++i) {
        const QString path = folder + u'/' + others[i];
        if (!QDir(path).removeRecursively()) {
            problems << QStringLiteral("Die alte Sicherung '%1' konnte nicht gelöscht werden.").arg(native(path));
        }
    }
    return problems;
}

void backupInto(const ProgramDir& dir, const QDateTime& now, const QList<const Table*>& held, BackupResult& result) {
    const QString data = QDir::cleanPath(dir.dataDir());
    if (!QFileInfo(data).isDir()) {
        throw Fatal{QStringLiteral("Der Ordner '%1' existiert nicht.").arg(native(data))};
    }
    const QString backups = ProgramDir::findEntry(data, kBackupFolder);
    if (!QFileInfo(backups).isDir()) {
        makeFolder(backups);
    }
    removeLeftovers(backups);

    QString name = now.toString(kNameFormat);
    for (int n = 2; QFileInfo::exists(backups + u'/' + name); ++n) {
        name = now.toString(kNameFormat) + u'_' + QString::number(n);
    }
    const QString temporary = backups + u'/' + kTemporaryPrefix + name;
    makeFolder(temporary);
    try {
        copyFolder(data, temporary, held, result);
        for (const QString& sub : {QDir::cleanPath(dir.starterDir()), QDir::cleanPath(dir.serienDir())}) {
            if (QFileInfo(sub).isDir()) {
                const QString target = temporary + u'/' + QFileInfo(sub).fileName();
                makeFolder(target);
                copyFolder(sub, target, held, result);
                syncFolder(target);
            }
        }
        syncFolder(temporary);
        const QString final = backups + u'/' + name;
        if (::rename(temporary.toUtf8().constData(), final.toUtf8().constData()) != 0) {
            throw Fatal{writeFailure(final, errno)};
        }
        syncFolder(backups);
        result.folder = final;
    } catch (...) {
        if (!QDir(temporary).removeRecursively()) {
            logFailure(kLogWhere,
                       QStringLiteral("Der unvollständige Sicherungsordner '%1' konnte nicht gelöscht werden.")
                           .arg(native(temporary)));
        }
        throw;
    }
    result.skipped << prune(backups, name);
}

} // namespace

QString BackupResult::notice() const {
    if (!ok()) {
        return error + QStringLiteral("\nDie Daten selbst sind unverändert.");
    }
    if (!skipped.isEmpty()) {
        return QStringLiteral("Die Sicherung der Daten ist unvollständig:\n") + skipped.join(u'\n');
    }
    return {};
}

void copyTableFile(const QString& source, const QString& target) {
    try {
        if (const QString skipped = copyTable(source, target); !skipped.isEmpty()) {
            throw Error(skipped);
        }
    } catch (const Fatal& fatal) {
        throw Error(fatal.reason);
    }
}

BackupResult backupData(const ProgramDir& dir, const QDateTime& now, const QList<const Table*>& held) {
    BackupResult result;
    try {
        backupInto(dir, now, held, result);
    } catch (const Fatal& fatal) {
        result = BackupResult{};
        result.error = failed(fatal.reason);
    }
    // The notice goes away after a few seconds; the log keeps it for whoever looks at the laptop later.
    if (!result.ok()) {
        logFailure(kLogWhere, result.error);
    }
    for (const QString& problem : result.skipped) {
        logFailure(kLogWhere, problem);
    }
    return result;
}

} // namespace wm

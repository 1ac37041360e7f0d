#pragma once

#include "store/ProgramDir.h"
#include "store/Table.h"

#include <QDateTime>
#include <QStringList>

namespace wm {

// What a start-up backup did. `error` is set, and nothing was kept, when the backup as a whole failed;
// otherwise `folder` is the new backup and `skipped` names the tables that could not be read (held by
// another program, damaged), each with its reason.
struct BackupResult {
    QString folder;
    QString error;
    QStringList skipped;
    int tables = 0;
    int iniFiles = 0;

    bool ok() const { return error.isEmpty(); }
    // The German notice to show, or empty when everything was copied.
    QString notice() const;
};

// How many backups are kept in data/Sicherung/.
constexpr int kKeptBackups = 20;

// Copies the tables (*.db) and INI files of data/, data/Starter/ and data/Serien/ into
// data/Sicherung/<yyyy-MM-dd_hh-mm-ss>/ with the same folder structure, then removes all but the newest
// kKeptBackups backups. Tables are copied through SQLite's online backup from a read-only connection, so a
// copy is always a consistent state of its table; a table another program holds exclusively cannot be read
// and is skipped (never copied byte by byte, which could catch it half-written). The tables in `held` are
// this program's own, held exclusively: they are copied through their open connection. The backup is written
// into a temporary folder that takes its name only when complete, so a failure (full disk, read-only folder)
// leaves no partial backup. Never throws; the sources are never written.
BackupResult backupData(const ProgramDir& dir, const QDateTime& now, const QList<const Table*>& held = {});

// Copies one table file the same way into `target`, a new file. Throws wm::Error with the reason.
void copyTableFile(const QString& source, const QString& target);

} // namespace wm

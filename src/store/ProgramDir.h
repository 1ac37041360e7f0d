#pragma once

#include <QHash>
#include <QString>

namespace wm {

// The program folder and the fixed folders beneath it. Folder names are found without regard to letter
// case, so "data/starter" and "Reports" name the same folders as "data/Starter" and "reports".
class ProgramDir {
public:
    explicit ProgramDir(QString root);

    const QString& root() const { return m_root; }
    QString dataDir() const;    // data/
    QString starterDir() const; // data/Starter/
    QString serienDir() const;  // data/Serien/
    QString reportsDir() const; // Reports/
    QString prefsPath() const;  // prefs.ini

    // parent/name, where name is matched case-insensitively against what exists (the name as given otherwise).
    static QString findEntry(const QString& parent, const QString& name);

private:
    QString m_root;
};

// Table file name for a table name: the store's extension ".db" is added unless the name has it already.
QString tableFileName(const QString& tableName);

// Names under which tables are opened: alias + table name, or a full path used unchanged.
class Aliases {
public:
    void remove(const QString& alias);
    void add(const QString& alias, const QString& directory);
    QString directory(const QString& alias) const; // throws wm::Error for an unknown alias
    QString resolve(const QString& alias, const QString& tableName) const;

private:
    QHash<QString, QString> m_dirs;
};

} // namespace wm

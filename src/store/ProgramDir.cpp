#include "store/ProgramDir.h"

#include "store/Error.h"

#include <QDir>
#include <QFileInfo>

namespace wm {

ProgramDir::ProgramDir(QString root) : m_root(QDir::cleanPath(std::move(root))) {}

QString ProgramDir::findEntry(const QString& parent, const QString& name) {
    // Each level of a relative name is matched on its own, so "data/starter" finds data/Starter.
    if (const qsizetype slash = name.indexOf(u'/'); slash > 0) {
        const QString found = findEntry(parent, name.left(slash));
        const QString rest = name.mid(slash + 1);
        return rest.isEmpty() ? found : findEntry(found, rest);
    }
    const QDir dir(parent);
    if (!dir.exists(name)) {
        const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QString& entry : entries) {
            if (entry.compare(name, Qt::CaseInsensitive) == 0) {
                return dir.filePath(entry);
            }
        }
    }
    return dir.filePath(name);
}

QString ProgramDir::dataDir() const {
    return findEntry(m_root, QStringLiteral("data")) + u'/';
}
QString ProgramDir::starterDir() const {
    return findEntry(dataDir(), QStringLiteral("Starter")) + u'/';
}
QString ProgramDir::serienDir() const {
    return findEntry(dataDir(), QStringLiteral("Serien")) + u'/';
}
QString ProgramDir::reportsDir() const {
    return findEntry(m_root, QStringLiteral("Reports")) + u'/';
}
QString ProgramDir::prefsPath() const {
    return QDir(m_root).filePath(QStringLiteral("prefs.ini"));
}

QString tableFileName(const QString& tableName) {
    if (tableName.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive)) {
        return tableName;
    }
    return tableName + QStringLiteral(".db");
}

void Aliases::remove(const QString& alias) {
    m_dirs.remove(alias);
}

void Aliases::add(const QString& alias, const QString& directory) {
    m_dirs.insert(alias, directory);
}

QString Aliases::directory(const QString& alias) const {
    const auto it = m_dirs.constFind(alias);
    if (it == m_dirs.constEnd()) {
        throw Error(QStringLiteral("Alias '%1' ist nicht definiert").arg(alias));
    }
    return *it;
}

QString Aliases::resolve(const QString& alias, const QString& tableName) const {
    const QString file = tableFileName(tableName);
    if (QFileInfo(file).isAbsolute()) {
        return file;
    }
    return QDir(directory(alias)).filePath(file);
}

} // namespace wm

#pragma once

#include <QString>

namespace wm {

// A race as it is stored in the data folder, found by its name: the race table and the race information
// file beside it. An existing file whose name differs only in letter case is the race's file, as the race
// browser lists it; otherwise the name as given.
class RaceFiles {
public:
    RaceFiles(QString dataDir, QString name);

    const QString& name() const { return m_name; }
    QString tablePath() const; // <data>/<name>.db
    QString infoPath() const;  // <data>/<name>.ini

private:
    QString m_dataDir;
    QString m_name;
};

// Refuses a race name that cannot be a file name of its own in the data folder (empty, a path separator,
// "..", control characters, too long). Throws wm::Error with the message for the user.
void checkRaceName(const QString& name);

} // namespace wm

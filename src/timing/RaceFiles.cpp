#include "timing/RaceFiles.h"

#include "store/Error.h"
#include "store/ProgramDir.h"

namespace wm {

namespace {

constexpr int kMaxRaceName = 120;

} // namespace

RaceFiles::RaceFiles(QString dataDir, QString name) : m_dataDir(std::move(dataDir)), m_name(std::move(name)) {}

QString RaceFiles::tablePath() const {
    return ProgramDir::findEntry(m_dataDir, m_name + QStringLiteral(".db"));
}

QString RaceFiles::infoPath() const {
    return ProgramDir::findEntry(m_dataDir, m_name + QStringLiteral(".ini"));
}

void checkRaceName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        throw Error(QStringLiteral("Bitte geben Sie eine Bezeichnung für die Wettfahrt ein."));
    }
    bool control = false;
    for (const QChar c : name) {
        control = control || c.unicode() < 0x20 || c == QChar(0x7f);
    }
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QStringLiteral("..")) || control ||
        trimmed != name || name.size() > kMaxRaceName) {
        throw Error(QStringLiteral("'%1' kann nicht als Name einer Wettfahrt verwendet werden.\n"
                                   "Der Name darf weder '/' noch '\\' noch '..' enthalten, nicht mit einem "
                                   "Leerzeichen beginnen oder enden und höchstens %2 Zeichen lang sein.")
                        .arg(name, QString::number(kMaxRaceName)));
    }
}

} // namespace wm

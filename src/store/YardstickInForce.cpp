#include "store/YardstickInForce.h"

#include "store/IniFile.h"

namespace wm {

QString yardstickListIn(const IniFile& ini) {
    return ini.readString(kYardstickSection, kYardstickListKey, QString()).trimmed();
}

QString yardstickListFor(const IniFile& prefs, const QString& sid) {
    if (prefs.readString(kYardstickSection, kYardstickDatabaseKey, QString()) != sid) {
        return {};
    }
    return yardstickListIn(prefs);
}

QString yardstickNote(const QString& list) {
    return list.isEmpty() ? QString() : QStringLiteral("Yardstick: ") + list;
}

} // namespace wm

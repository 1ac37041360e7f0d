#pragma once

#include <QString>

namespace wm {

class IniFile;

// Which Yardstick list the numbers come from. prefs.ini names the list last applied to a participant
// database; a race's information file names the list its entries were copied under. Without the section
// nothing is shown anywhere, as before any list was applied.
inline const QString kYardstickSection = QStringLiteral("Yardstick");
inline const QString kYardstickListKey = QStringLiteral("Liste");
inline const QString kYardstickDateKey = QStringLiteral("Datum");
inline const QString kYardstickDatabaseKey = QStringLiteral("Datenbank");

// The list named in the file; empty when none.
QString yardstickListIn(const IniFile& ini);
// The list applied to the participant database `sid` (as "LastSID" names it); empty when the list was applied
// to another database or none was applied.
QString yardstickListFor(const IniFile& prefs, const QString& sid);
// What the register's tooltip and the rules line say of the list: "Yardstick: DSV 2027"; empty for none.
QString yardstickNote(const QString& list);

} // namespace wm

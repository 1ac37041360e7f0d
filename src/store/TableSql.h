#pragma once

#include <QString>

class QSqlError;

namespace wm {

// Shared by the two source files of Table, not used elsewhere: throws the store's exception for a failed
// statement on the table file `path` (LockedError, ConstraintError or Error) with the user's message.
[[noreturn]] void failStatement(const QString& path, const QSqlError& error);

} // namespace wm

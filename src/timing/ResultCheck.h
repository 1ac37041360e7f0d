#pragma once

#include "timing/Race.h"

#include <QList>
#include <QStringList>
#include <QVariantMap>

#include <array>

namespace wm {

class Table;

// Which starts were active: all five unless given otherwise.
using ActiveStarts = std::array<bool, kStarts>;
inline constexpr ActiveStarts kAllStartsActive{true, true, true, true, true};

// What looks wrong in a race before its result is published, one German line per finding, each naming the
// boats: entries still racing, a sail number twice, a Yardstick missing, 0 or outside 50–200, an elapsed time
// under half or over twice the median of its start group, a start group with entries but no active start,
// and time stamps not assigned to a boat. `rows` carry the race table's fields by name; `unassignedStamps`
// are times of day as the stamp list shows them. Empty: nothing found.
QStringList checkResult(const QList<QVariantMap>& rows, const ActiveStarts& active,
                        const QStringList& unassignedStamps);

// The same over a race table on disk, with the starts its information file keeps (every start active when it
// keeps none). Throws wm::Error.
QStringList checkRace(const Table& race, const QString& infoPath, const QStringList& unassignedStamps);

// The starts the race information file records as active; all five when it records none.
ActiveStarts activeStartsOf(const QString& infoPath);

} // namespace wm

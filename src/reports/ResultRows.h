#pragma once

#include "reports/BandReport.h"
#include "store/Fields.h"
#include "store/Filter.h"

namespace wm {

class RecordModel;
class Table;

// The rows of a race that pass the filter, sorted by points (or the given fields), each value as it is
// shown. Throws wm::Error when the table cannot be read.
ReportData resultRows(const Table& race, const Filter& filter = {}, const QStringList& orderBy = {field::Punkte});
// The rows a record list currently presents (its filter and order), all fields of its table.
ReportData listRows(const RecordModel& list);

} // namespace wm

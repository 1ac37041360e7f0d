#pragma once

#include "reports/BandReport.h"

namespace wm {

class RecordModel;
class Table;

// The rows of a race sorted by points, each value as it is shown. Throws wm::Error when the table
// cannot be read.
ReportData resultRows(const Table& race);
// The rows a record list currently presents (its filter and order), all fields of its table.
ReportData listRows(const RecordModel& list);

} // namespace wm

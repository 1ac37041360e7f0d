#pragma once

namespace wm {

class Table;

// An invented fleet of 21 boats in three start groups, so that a first run can time a race at once. Inserts
// them into an open participant table in one commit. Throws wm::Error.
void writeExampleFleet(Table& participants);

} // namespace wm

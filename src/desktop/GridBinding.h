#pragma once

class QTableView;

namespace wm {

class RecordModel;

// Shows a RecordModel in a grid: column titles and widths from the model, the grid's current row and the
// model's current record kept in step both ways, the current row kept in view.
void bindGrid(QTableView* view, RecordModel* model);
void applyColumnWidths(QTableView* view, const RecordModel* model);
// Writes a cell being edited in place, before the grid is read again or its table closed.
void commitPendingEdit(QTableView* view);
// The arrow keys in a search field move through the list it narrows (Down, Up, Left: first, Right: last).
void moveByArrowKey(RecordModel& list, int key);
// Column widths and row height for a window scaled to a small screen.
void scaleGrid(QTableView* view, const RecordModel* model, double factor);

} // namespace wm

#include "store/RecordModel.h"

#include "store/Error.h"
#include "store/Log.h"

#include <QTimer>

namespace wm {

namespace {

// Rows read in one statement when one of them is needed: several screenfuls of the grid.
constexpr int kPageRows = 128;
// Rows kept once read. A long list is only ever held a few pages at a time, however far the grid scrolls.
constexpr int kKeptRows = 8 * kPageRows;

} // namespace

RecordModel::RecordModel(Table& table, QObject* parent) : QAbstractTableModel(parent), m_table(table) {}

void RecordModel::setColumns(const QList<Column>& columns) {
    beginResetModel();
    m_columns = columns;
    resolveColumns();
    endResetModel();
}

void RecordModel::resolveColumns() {
    m_columnFields.clear();
    for (const Column& c : m_columns) {
        m_columnFields << (m_table.isOpen() ? m_table.fieldIndex(c.field) : -1);
    }
}

void RecordModel::setFilter(const Filter& filter, bool ignoreCase) {
    m_filter = filter;
    m_ignoreCase = ignoreCase;
}

void RecordModel::setDetached(bool detached) {
    m_detached = detached;
    if (detached) {
        clear();
    }
}

void RecordModel::clear() {
    const bool hadCurrent = m_current >= 0;
    beginResetModel();
    m_rowids.clear();
    m_values.clear();
    m_current = -1;
    endResetModel();
    if (hadCurrent) {
        emit currentChanged(-1);
    }
}

void RecordModel::dropRow(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_values.remove(m_rowids.takeAt(row));
    endRemoveRows();
    m_current = m_rowids.isEmpty() ? -1 : std::min(row, count() - 1);
    emit currentChanged(m_current);
}

void RecordModel::refresh() {
    if (m_detached || !m_table.isOpen()) {
        clear();
        return;
    }
    const qint64 keep = currentRowid();
    const int oldRow = m_current;
    QList<qint64> rowids = m_table.selectRowids(m_filtered ? m_filter : Filter(), m_ignoreCase, m_order);
    if (m_arrange) {
        m_arrange(rowids);
    }
    int row = -1;
    if (!rowids.isEmpty()) {
        row = int(rowids.indexOf(keep));
        if (row < 0) {
            row = std::clamp(oldRow, 0, int(rowids.size()) - 1);
        }
    }
    // The current row is read here, where a failure still leaves the list as it was and reaches the caller.
    Page values;
    if (row >= 0) {
        readPage(rowids, row, values);
    }
    beginResetModel();
    m_rowids = std::move(rowids);
    m_values = std::move(values);
    m_readFailed = false;
    resolveColumns();
    m_current = -1;
    endResetModel();
    m_current = row;
    emit currentChanged(m_current);
}

void RecordModel::readPage(const QList<qint64>& rowids, int row, Page& page) const {
    const int first = row - row % kPageRows;
    const int end = std::min(first + kPageRows, int(rowids.size()));
    if (page.size() + (end - first) > kKeptRows) {
        page.clear();
    }
    QList<qint64> missing;
    for (int i = first; i < end; ++i) {
        if (!page.contains(rowids[i])) {
            missing << rowids[i];
        }
    }
    for (Table::Row& r : m_table.readRows(missing)) {
        page.insert(r.rowid, std::move(r.values));
    }
    // A row deleted since the list was read shows empty instead of being looked for at every paint.
    for (const qint64 rowid : missing) {
        if (!page.contains(rowid)) {
            page.insert(rowid, {});
        }
    }
}

QVariantList RecordModel::rowValues(int row) const {
    if (row < 0 || row >= count()) {
        return {};
    }
    auto it = m_values.constFind(m_rowids[row]);
    if (it != m_values.cend()) {
        return *it;
    }
    if (!m_table.isOpen()) {
        return {};
    }
    try {
        readPage(m_rowids, row, m_values);
    } catch (const Error& e) {
        reportLater(e.message());
        return {};
    }
    return m_values.value(m_rowids[row]);
}

void RecordModel::reportLater(const QString& message) const {
    // Reads happen while the grid paints, where no box may open; one message per refresh is enough.
    if (m_readFailed || !m_errorHandler) {
        return;
    }
    m_readFailed = true;
    QTimer::singleShot(0, this, [this, message] {
        if (m_errorHandler) {
            m_errorHandler(message);
        }
    });
}

QVariant RecordModel::value(int row, const QString& field) const {
    const int f = m_table.fieldIndex(field);
    return f < 0 ? QVariant() : rowValues(row).value(f);
}

QVariant RecordModel::currentValue(const QString& field) const {
    return value(m_current, field);
}

QString RecordModel::currentText(const QString& field) const {
    return displayText(currentValue(field));
}

void RecordModel::setCurrent(int row) {
    if (m_rowids.isEmpty()) {
        row = -1;
    } else {
        row = std::clamp(row, 0, count() - 1);
    }
    if (row != m_current) {
        m_current = row;
        emit currentChanged(row);
    }
}

void RecordModel::next() {
    if (m_current + 1 < count()) {
        setCurrent(m_current + 1);
    }
}

void RecordModel::prior() {
    if (m_current > 0) {
        setCurrent(m_current - 1);
    }
}

bool RecordModel::locate(qint64 rowid) {
    const qsizetype row = m_rowids.indexOf(rowid);
    if (row < 0) {
        return false;
    }
    setCurrent(int(row));
    return true;
}

int RecordModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int RecordModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || index.column() >= m_columnFields.size()) {
        return {};
    }
    const int f = m_columnFields[index.column()];
    if (const auto& text = m_columns[index.column()].text) {
        if (role == Qt::DisplayRole) {
            return text(m_rowids[index.row()]);
        }
        return role == Qt::TextAlignmentRole ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    if (f < 0) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return displayText(rowValues(index.row()).value(f));
    case Qt::TextAlignmentRole:
        return m_table.fields().value(f).type == FieldType::Text ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole: {
        const QString tip = m_toolTips.value(m_columns[index.column()].field);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
        return {};
    }
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size()) {
        return m_columns[section].title;
    }
    // The row header is only the record indicator; numbering it would cost a layout on every move.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) {
        return QString();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!m_readOnly && index.isValid() && !m_columns.value(index.column()).text) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

bool RecordModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || m_readOnly || index.row() >= count()) {
        return false;
    }
    const int f = m_columnFields.value(index.column(), -1);
    if (f < 0) {
        return false;
    }
    if (displayText(rowValues(index.row()).value(f)) == value.toString()) {
        return true;
    }
    try {
        const qint64 rowid = m_rowids[index.row()];
        m_table.setValue(rowid, m_table.fields()[f].name, value);
        m_values.insert(rowid, m_table.read(rowid).values);
    } catch (const Error& e) {
        if (m_errorHandler) {
            m_errorHandler(e.message());
        } else {
            logFailure(QStringLiteral("Tabelle"), e.message());
        }
        return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

} // namespace wm

#include "store/RecordModel.h"

#include "store/Error.h"
#include "store/Log.h"

namespace wm {

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
    m_rows.clear();
    m_current = -1;
    endResetModel();
    if (hadCurrent) {
        emit currentChanged(-1);
    }
}

void RecordModel::dropRow(int row) {
    if (row < 0 || row >= m_rows.size()) {
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    m_current = m_rows.isEmpty() ? -1 : std::min(row, int(m_rows.size()) - 1);
    emit currentChanged(m_current);
}

void RecordModel::refresh() {
    if (m_detached || !m_table.isOpen()) {
        clear();
        return;
    }
    const qint64 keep = currentRowid();
    const int oldRow = m_current;
    QList<Table::Row> rows = m_table.select(m_filtered ? m_filter : Filter(), m_ignoreCase, m_order);
    beginResetModel();
    m_rows = std::move(rows);
    resolveColumns();
    m_current = -1;
    endResetModel();
    int row = -1;
    if (!m_rows.isEmpty()) {
        for (int i = 0; i < m_rows.size(); ++i) {
            if (m_rows[i].rowid == keep) {
                row = i;
                break;
            }
        }
        if (row < 0) {
            row = std::clamp(oldRow, 0, int(m_rows.size()) - 1);
        }
    }
    m_current = row;
    emit currentChanged(m_current);
}

QVariant RecordModel::value(int row, const QString& field) const {
    if (row < 0 || row >= m_rows.size()) {
        return {};
    }
    const int f = m_table.fieldIndex(field);
    return f < 0 ? QVariant() : m_rows[row].values.value(f);
}

QVariant RecordModel::currentValue(const QString& field) const {
    return value(m_current, field);
}

QString RecordModel::currentText(const QString& field) const {
    return displayText(currentValue(field));
}

void RecordModel::setCurrent(int row) {
    if (m_rows.isEmpty()) {
        row = -1;
    } else {
        row = std::clamp(row, 0, int(m_rows.size()) - 1);
    }
    if (row != m_current) {
        m_current = row;
        emit currentChanged(row);
    }
}

void RecordModel::next() {
    if (m_current + 1 < m_rows.size()) {
        setCurrent(m_current + 1);
    }
}

void RecordModel::prior() {
    if (m_current > 0) {
        setCurrent(m_current - 1);
    }
}

bool RecordModel::locate(qint64 rowid) {
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].rowid == rowid) {
            setCurrent(i);
            return true;
        }
    }
    return false;
}

int RecordModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columnFields.size()) {
        return {};
    }
    const int f = m_columnFields[index.column()];
    if (f < 0) {
        return {};
    }
    const QVariant& v = m_rows[index.row()].values.value(f);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return displayText(v);
    case Qt::TextAlignmentRole:
        return m_table.fields().value(f).type == FieldType::Text ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
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
    if (!m_readOnly && index.isValid()) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

bool RecordModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || m_readOnly || index.row() >= m_rows.size()) {
        return false;
    }
    const int f = m_columnFields.value(index.column(), -1);
    if (f < 0) {
        return false;
    }
    if (displayText(m_rows[index.row()].values.value(f)) == value.toString()) {
        return true;
    }
    try {
        Table::Row& row = m_rows[index.row()];
        m_table.setValue(row.rowid, m_table.fields()[f].name, value);
        row = m_table.read(row.rowid);
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

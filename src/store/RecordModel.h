#pragma once

#include "store/Filter.h"
#include "store/Table.h"

#include <QAbstractTableModel>
#include <QHash>

#include <functional>

namespace wm {

// The records of a table that pass its filter, with a current record, as grids and handlers see them. Which
// rows are listed, and in what order, is read at refresh(); their values are read a page at a time when the
// grid or a handler first needs them. A change made through setData() is written to the table and committed
// at once.
class RecordModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;
        int width = 64;
        // A column worked out from the row rather than stored in it (no field): read only, right-aligned.
        std::function<QString(qint64 rowid)> text = {};
    };

    explicit RecordModel(Table& table, QObject* parent = nullptr);

    Table& table() const { return m_table; }
    void setColumns(const QList<Column>& columns);
    const QList<Column>& columns() const { return m_columns; }
    // The tooltip of every cell of a field's column; an empty text shows none.
    void setToolTip(const QString& field, const QString& text) { m_toolTips.insert(field, text); }

    void setFilter(const Filter& filter, bool ignoreCase);
    void setFiltered(bool on) { m_filtered = on; }
    bool isFiltered() const { return m_filtered; }
    void setOrder(const QStringList& fields) { m_order = fields; }
    // Arranges the listed rowids after they are read at refresh(), for an order no field holds; none: as read.
    void setArrange(std::function<void(QList<qint64>&)> arrange) { m_arrange = std::move(arrange); }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }
    // A detached model shows no rows, whatever the table holds.
    void setDetached(bool detached);

    // Reads the rows again; the current record stays current while it is still listed. Throws wm::Error.
    void refresh();
    // Empties the model without reading (for a closed table).
    void clear();
    // Takes a row out of the list that has left the filter through a change just made, without reading the
    // table again; the next row becomes current.
    void dropRow(int row);

    int count() const { return int(m_rowids.size()); }
    int current() const { return m_current; }
    bool hasCurrent() const { return m_current >= 0; }
    qint64 rowid(int row) const { return m_rowids.at(row); }
    qint64 currentRowid() const { return hasCurrent() ? rowid(m_current) : -1; }
    // Null where the row cannot be read; the failure goes to the error handler once the event loop runs.
    QVariant value(int row, const QString& field) const;
    QVariant currentValue(const QString& field) const;
    QString currentText(const QString& field) const; // as displayed
    void setCurrent(int row);
    void first() { setCurrent(0); }
    void last() { setCurrent(count() - 1); }
    void next();
    void prior();
    // Moves to the record with this rowid, if listed.
    bool locate(qint64 rowid);

    // Where a failed in-place edit reports its message (models must not throw into the event loop).
    void setErrorHandler(std::function<void(const QString&)> handler) { m_errorHandler = std::move(handler); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    void currentChanged(int row);

private:
    using Page = QHash<qint64, QVariantList>;
    // Reads the page of rowids holding `row` into `page`, leaving out what it holds already. Throws wm::Error.
    void readPage(const QList<qint64>& rowids, int row, Page& page) const;
    // The values of a listed row in field order, read with its page if need be; empty if it cannot be read.
    QVariantList rowValues(int row) const;
    void reportLater(const QString& message) const;
    void resolveColumns();

    Table& m_table;
    QList<Column> m_columns;
    QHash<QString, QString> m_toolTips; // by field
    QList<int> m_columnFields;          // index into the table's fields, -1 if absent
    Filter m_filter;
    bool m_ignoreCase = false;
    bool m_filtered = false;
    bool m_readOnly = false;
    bool m_detached = false;
    QStringList m_order;
    std::function<void(QList<qint64>&)> m_arrange;
    QList<qint64> m_rowids;
    mutable Page m_values;             // the rows read since refresh(), by rowid
    mutable bool m_readFailed = false; // reported since refresh()
    int m_current = -1;
    std::function<void(const QString&)> m_errorHandler;
};

} // namespace wm

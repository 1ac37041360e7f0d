#include "ResultRows.h"

#include "store/RecordModel.h"
#include "store/Table.h"

namespace wm {

namespace {

QStringList fieldNames(const FieldList& fields) {
    QStringList names;
    for (const FieldDef& f : fields) {
        names << f.name;
    }
    return names;
}

} // namespace

ReportData resultRows(const Table& race, const Filter& filter, const QStringList& orderBy) {
    ReportData data;
    data.fields = fieldNames(race.fields());
    const QList<Table::Row> rows = race.select(filter, false, orderBy);
    data.rows.reserve(rows.size());
    for (const Table::Row& row : rows) {
        QStringList texts;
        texts.reserve(row.values.size());
        for (const QVariant& value : row.values) {
            texts << displayText(value);
        }
        data.rows << texts;
    }
    return data;
}

ReportData listRows(const RecordModel& list) {
    ReportData data;
    data.fields = fieldNames(list.table().fields());
    for (int r = 0; r < list.count(); ++r) {
        QStringList texts;
        for (const QString& name : data.fields) {
            texts << displayText(list.value(r, name));
        }
        data.rows << texts;
    }
    return data;
}

} // namespace wm

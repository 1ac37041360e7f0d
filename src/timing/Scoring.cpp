#include "timing/Scoring.h"

#include "store/Error.h"
#include "timing/TimeMath.h"

#include <QSet>

namespace wm {

namespace {

const QString kUniqueKey = QStringLiteral("i");
const QString kByTime = QStringLiteral("ByZeit");

} // namespace

void CalcPoints(Table& race) {
    Table::Transaction transaction(race);
    // Scoring again rebuilds both indexes, so a corrected race is ranked exactly like a new one.
    race.dropIndex(kUniqueKey);
    race.dropIndex(kByTime);
    const Error duplicate(QStringLiteral("Die Wettfahrt kann nicht gewertet werden: mindestens zwei Einträge haben "
                                         "dieselbe Segelnummer, denselben Bootsnamen und denselben Namen.\n"
                                         "Bitte korrigieren Sie die Einträge in der Wettfahrt-Nachbearbeitung."));
    try {
        race.createIndex(kUniqueKey, {field::SEGELNR, field::BOOTSNAME, field::NAME}, true);
    } catch (const ConstraintError&) {
        // Only a real duplicate; a full disk or a damaged file keeps its own message.
        throw duplicate;
    }
    race.createIndex(kByTime, {field::BZEIT}, false);
    const QList<Table::Row> rows =
        race.select({}, false, {field::BZEIT, field::SEGELNR, field::BOOTSNAME, field::NAME});
    // The index lets entries without a value pass as different; for the race office they are the same boat.
    QSet<QStringList> keys;
    for (const Table::Row& row : rows) {
        QStringList key;
        for (const QString& f : {field::SEGELNR, field::BOOTSNAME, field::NAME}) {
            key << displayText(row.values.value(race.fieldIndex(f)));
        }
        if (keys.contains(key)) {
            throw duplicate;
        }
        keys.insert(key);
    }
    const int bzeit = race.fieldIndex(field::BZEIT);
    QStringList corrected;
    corrected.reserve(rows.size());
    for (const Table::Row& row : rows) {
        corrected << row.values.value(bzeit).toString();
    }
    const QList<int> scored = pointsInOrder(corrected, int(rows.size()));
    QList<std::pair<qint64, QVariant>> points;
    points.reserve(rows.size());
    for (qsizetype k = 0; k < rows.size(); ++k) {
        points.append({rows[k].rowid, scored[k]});
    }
    race.setColumn(field::Punkte, points);
    transaction.commit();
}

QList<int> pointsInOrder(const QStringList& correctedInOrder, int entries) {
    QList<int> points;
    points.reserve(correctedInOrder.size());
    for (qsizetype k = 0; k < correctedInOrder.size(); ++k) {
        points << (IsMarker(correctedInOrder[k]) ? entries : int(k) + 1);
    }
    return points;
}

void CalcPoints(const QString& path) {
    Table race;
    race.open(path, Table::Mode::Exclusive);
    CalcPoints(race);
}

void ensureScored(Table& race) {
    if (race.count(Filter::isNull(field::Punkte)) > 0) {
        CalcPoints(race);
    }
}

} // namespace wm

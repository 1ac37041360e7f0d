#include "series/AppendRace.h"

#include "store/IniFile.h"
#include "store/Log.h"
#include "store/SafeFile.h"
#include "timing/Race.h"
#include "timing/Scoring.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <optional>

namespace wm {

namespace {

const QString kRaceSection = QStringLiteral("General");
const QString kStarted = QStringLiteral("Started");

// A boat of the series: sail number, boat name and name, compared as exact text. No value and an empty text
// are the same (the store keeps an empty text as no value).
struct BoatKey {
    QString sail;
    QString boat;
    QString name;
    bool operator==(const BoatKey&) const = default;
};

size_t qHash(const BoatKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.sail, key.boat, key.name);
}

QString textOf(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

int requireField(const Table& table, const QString& name, const QString& what) {
    const int i = table.fieldIndex(name);
    if (i < 0) {
        throw Error(QStringLiteral("'%1' ist keine %2: das Feld %3 fehlt.").arg(table.path(), what, name));
    }
    return i;
}

// The rows of a race ready to be appended, in the order of its key (sail number, boat name, name). A race
// whose scoring has not been written (a failed scoring, e.g. on a full disk) is scored now; a race with
// boats still racing or without any entry would give every absent boat wrong points, so it is refused.
QList<Table::Row> scoredEntries(Table& race, const QString& raceName) {
    const QStringList order = {field::SEGELNR, field::BOOTSNAME, field::NAME};
    QList<Table::Row> rows = race.select({}, false, order);
    if (rows.isEmpty()) {
        throw Error(QStringLiteral("Die Wettfahrt '%1' hat keine Teilnehmer.\n"
                                   "Sie wurde nicht zur Serie hinzugefügt.")
                        .arg(raceName));
    }
    const int points = requireField(race, field::Punkte, QStringLiteral("Wettfahrt"));
    const int corrected = requireField(race, field::BZEIT, QStringLiteral("Wettfahrt"));
    int unscored = 0;
    int racing = 0;
    for (const Table::Row& row : rows) {
        unscored += row.values.value(points).isNull() ? 1 : 0;
        racing += textOf(row.values.value(corrected)).isEmpty() ? 1 : 0;
    }
    if (unscored == 0) {
        return rows;
    }
    if (racing > 0) {
        throw Error(QStringLiteral("Die Wettfahrt '%1' ist nicht abgeschlossen: %2 ohne Zielzeit und ohne Punkte.\n"
                                   "Sie wurde nicht zur Serie hinzugefügt.")
                        .arg(raceName, racing == 1 ? QStringLiteral("ein Boot ist")
                                                   : QString::number(racing) + QStringLiteral(" Boote sind")));
    }
    ensureScored(race);
    return race.select({}, false, order);
}

// Started from the race information file. Without it the entries are counted: they are what Started
// records, and an absent boat must never score like the winner.
int startedOf(const QString& raceInfoPath, qsizetype entries) {
    const int started = IniFile(raceInfoPath).readInt(kRaceSection, kStarted, -1);
    return started >= 0 ? started : int(entries);
}

std::optional<QByteArray> fileContent(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Die Datei '%1' kann nicht gelesen werden: %2").arg(path, file.errorString()));
    }
    return file.readAll();
}

void restoreFile(const QString& path, const std::optional<QByteArray>& content) {
    try {
        if (content) {
            writeWholeFile(path, *content);
        } else if (QFileInfo::exists(path) && !QFile::remove(path)) {
            throw Error(QStringLiteral("Die Datei '%1' konnte nicht gelöscht werden.").arg(path));
        }
    } catch (const Error& e) {
        // Only the key of the column that was not added can be left behind; the race list never shows a key
        // beyond the series' races and the next append writes it anew.
        logFailure(QStringLiteral("Serie"),
                   QStringLiteral("Die Einstellungen der Serie wurden nach dem Fehler nicht zurückgesetzt: ") +
                       e.message());
    }
}

// One series row while the append is worked out in memory.
struct SeriesRow {
    qint64 rowid = 0; // 0 for a row that enters the series now
    QVariantList values;
    QVariantMap changes;

    void set(const FieldList& fields, int index, const QVariant& value) {
        values[index] = value;
        changes.insert(fields[index].name, value);
    }
};

} // namespace

AppendResult AppendRace(const SeriesFiles& series, Table& race, const QString& raceName, const QString& raceInfoPath) {
    Table table;
    openSeries(table, series.tablePath);
    const QList<Table::Row> entries = scoredEntries(race, raceName);
    const QString raceKind = QStringLiteral("Wettfahrt");
    const int raceSail = requireField(race, field::SEGELNR, raceKind);
    const int raceBoat = requireField(race, field::BOOTSNAME, raceKind);
    const int raceName_ = requireField(race, field::NAME, raceKind);
    const int raceType = requireField(race, field::TYP, raceKind);
    const int raceYs = requireField(race, field::YS, raceKind);
    const int racePoints = requireField(race, field::Punkte, raceKind);
    const int raceCorrected = requireField(race, field::BZEIT, raceKind);

    AppendResult result;
    result.absencePoints = startedOf(raceInfoPath, entries.size()) + 1.0;
    result.column = raceCount(table) + 1;
    const QString column = raceColumn(result.column);

    // The new column is part of the transaction: SQLite rolls an ALTER TABLE back like any change.
    Table::Transaction transaction(table);
    table.addColumn({column, FieldType::Float, 0, false});
    const FieldList& fields = table.fields();
    const QString seriesKind = QStringLiteral("Tabelle einer Regattaserie");
    const int sail = requireField(table, field::SEGELNR, seriesKind);
    const int boat = requireField(table, field::BOOTSNAME, seriesKind);
    const int name = requireField(table, field::NAME, seriesKind);
    const int type = requireField(table, field::TYP, seriesKind);
    const int ys = requireField(table, field::YS, seriesKind);
    const int total = requireField(table, kPunkteTotal, seriesKind);
    QList<int> raceColumns;
    for (int k = 1; k <= result.column; ++k) {
        raceColumns << requireField(table, raceColumn(k), seriesKind);
    }
    const int newColumn = raceColumns.last();

    QList<SeriesRow> rows;
    QHash<BoatKey, qsizetype> firstRow;
    for (const Table::Row& r : table.select()) {
        const BoatKey key{textOf(r.values.value(sail)), textOf(r.values.value(boat)), textOf(r.values.value(name))};
        if (!firstRow.contains(key)) {
            firstRow.insert(key, rows.size());
        }
        rows.append({r.rowid, r.values, {}});
    }

    QList<std::pair<qsizetype, QString>> raceRows; // the series row of each entry, and its corrected time or code
    for (const Table::Row& entry : entries) {
        const BoatKey key{textOf(entry.values.value(raceSail)), textOf(entry.values.value(raceBoat)),
                          textOf(entry.values.value(raceName_))};
        const double points = entry.values.value(racePoints).toDouble();
        auto found = firstRow.constFind(key);
        if (found == firstRow.constEnd()) {
            SeriesRow row;
            row.values.resize(fields.size());
            row.set(fields, sail, entry.values.value(raceSail));
            row.set(fields, boat, entry.values.value(raceBoat));
            row.set(fields, name, entry.values.value(raceName_));
            row.set(fields, type, entry.values.value(raceType));
            row.set(fields, ys, entry.values.value(raceYs));
            row.set(fields, total, 0.0);
            found = firstRow.insert(key, rows.size());
            rows.append(row);
            ++result.added;
        } else {
            ++result.matched;
        }
        raceRows.append({*found, textOf(entry.values.value(raceCorrected))});
        SeriesRow& row = rows[*found];
        row.set(fields, newColumn, points);
        row.set(fields, total, row.values[total].toDouble() + points);
    }

    // Every empty cell of a row that names a boat: the absent boats in the new column, and the earlier columns
    // of the boats that enter the series now.
    for (SeriesRow& row : rows) {
        if (textOf(row.values[sail]).isEmpty() && textOf(row.values[boat]).isEmpty() &&
            textOf(row.values[name]).isEmpty()) {
            continue;
        }
        for (const int k : raceColumns) {
            if (row.values[k].isNull()) {
                row.set(fields, k, result.absencePoints);
                row.set(fields, total, row.values[total].toDouble() + result.absencePoints);
                ++result.absent;
            }
        }
    }

    for (SeriesRow& row : rows) {
        if (row.rowid == 0) {
            row.rowid = table.insert(row.changes);
        } else if (!row.changes.isEmpty()) {
            table.setValues(row.rowid, row.changes);
        }
    }
    keepRaceEntries(table, result.column, [&] {
        QList<StoredEntry> kept;
        for (const auto& [row, corrected] : raceRows) {
            kept.append({rows[row].rowid, corrected});
        }
        return kept;
    }());

    // The settings file goes whole before the commit, so a column is never left without the name of its race;
    // should the commit fail, the file is put back.
    const std::optional<QByteArray> settingsBefore = fileContent(series.settingsPath);
    IniFile settings(series.settingsPath);
    settings.writeString(kRacesSection, column, raceName);
    settings.save();
    try {
        transaction.commit();
    } catch (const Error&) {
        restoreFile(series.settingsPath, settingsBefore);
        throw;
    }
    return result;
}

AppendResult AppendRace(const ProgramDir& dir, const SeriesFiles& series, const QString& raceName) {
    checkRaceName(raceName);
    const RaceFiles files(dir.dataDir(), raceName);
    if (!seriesExists(series)) {
        throw Error(QStringLiteral("Die Serie '%1' existiert nicht.").arg(series.name));
    }
    Table race;
    try {
        race.open(files.tablePath());
    } catch (const Error& e) {
        throw RaceOpenError(e.message());
    }
    return AppendRace(series, race, raceName, files.infoPath());
}

} // namespace wm

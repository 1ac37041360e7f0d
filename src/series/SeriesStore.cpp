#include "series/SeriesStore.h"

#include "store/Error.h"
#include "store/IniFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace wm {

namespace {

const QString kTableSuffix = QStringLiteral(".db");
const QString kSettingsSuffix = QStringLiteral(".ini");
const QString kDefaultParticipants = QStringLiteral("StarterID");

// Table names of the *.db files in a folder, in ascending order of name without regard to letter case.
QStringList tableNames(const QString& folder) {
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.db")});
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    QStringList names;
    for (const QString& file : dir.entryList()) {
        names << file.chopped(kTableSuffix.size());
    }
    return names;
}

} // namespace

const FieldList& seriesFields() {
    static const FieldList fields = {
        {field::SEGELNR, FieldType::Text, 20, false}, {field::BOOTSNAME, FieldType::Text, 30, false},
        {field::TYP, FieldType::Text, 20, false},     {field::YS, FieldType::Float, 0, false},
        {field::NAME, FieldType::Text, 30, false},    {kPunkteTotal, FieldType::Float, 0, false},
    };
    return fields;
}

QString raceColumn(int k) {
    return QStringLiteral("R%1").arg(k);
}

void checkSeriesName(const QString& name) {
    if (name.trimmed().isEmpty()) {
        throw Error(QStringLiteral("Bitte geben Sie einen Namen für die Serie ein."));
    }
    const bool control =
        std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    if (control || name.contains(u'/') || name.contains(u'\\') || name.contains(QStringLiteral(".."))) {
        throw Error(QStringLiteral("'%1' kann nicht als Name einer Serie verwendet werden.\n"
                                   "Der Name darf weder '/' noch '\\' noch '..' noch Steuerzeichen enthalten.")
                        .arg(name));
    }
}

SeriesFiles seriesFiles(const ProgramDir& dir, const QString& name) {
    checkSeriesName(name);
    const QDir folder(dir.serienDir());
    return {name, folder.filePath(name + kTableSuffix), folder.filePath(name + kSettingsSuffix)};
}

bool seriesExists(const SeriesFiles& series) {
    return QFileInfo(series.tablePath).isFile();
}

void createSeries(const SeriesFiles& series) {
    Table::create(series.tablePath, seriesFields());
}

void deleteSeries(const SeriesFiles& series) {
    if (!seriesExists(series)) {
        throw Error(QStringLiteral("Die Serie '%1' existiert nicht.").arg(series.name));
    }
    Table::remove(series.tablePath);
}

void openSeries(Table& table, const QString& tablePath) {
    table.open(tablePath, Table::Mode::Shared, [](const Table& t) {
        const FieldList& expected = seriesFields();
        const FieldList& fields = t.fields();
        bool ok = fields.size() >= expected.size();
        for (qsizetype i = 0; ok && i < expected.size(); ++i) {
            ok = fields[i].name.compare(expected[i].name, Qt::CaseInsensitive) == 0 &&
                 fields[i].type == expected[i].type;
        }
        for (qsizetype i = expected.size(); ok && i < fields.size(); ++i) {
            ok = fields[i].type == FieldType::Float;
        }
        if (!ok) {
            throw Error(QStringLiteral("'%1' ist keine Tabelle einer Regattaserie.").arg(t.path()));
        }
    });
}

int raceCount(const Table& series) {
    return std::max(0, int(series.fields().size()) - kSeriesFixedFields);
}

QList<SeriesColumn> seriesGridColumns(const FieldList& fields, int gridWidth) {
    const int w = gridWidth;
    const QList<SeriesColumn> fixed = {{field::SEGELNR, QStringLiteral("Segelnr."), w / 12, true},
                                       {field::BOOTSNAME, QStringLiteral("Bootsname"), w / 6, true},
                                       {field::TYP, {}, 0, false},
                                       {field::YS, {}, 0, false},
                                       {field::NAME, QStringLiteral("Name"), w / 6, true},
                                       {kPunkteTotal, QStringLiteral("Gesamt"), w / 14, true}};
    QList<SeriesColumn> columns;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i < fixed.size()) {
            columns.append(fixed[i]);
            columns.last().field = fields[i].name;
        } else {
            columns.append({fields[i].name, fields[i].name, w / 20, true});
        }
    }
    return columns;
}

QStringList seriesNames(const ProgramDir& dir) {
    QStringList names = tableNames(dir.serienDir());
    std::reverse(names.begin(), names.end());
    return names;
}

QStringList raceTableNames(const ProgramDir& dir) {
    QStringList names = tableNames(dir.dataDir());
    names.removeIf([](const QString& name) { return name.compare(kDefaultParticipants, Qt::CaseInsensitive) == 0; });
    return names;
}

QStringList raceListLines(const QString& settingsPath, int raceCount) {
    const IniFile settings(settingsPath);
    QStringList lines;
    for (int k = 1; k <= raceCount; ++k) {
        lines << QStringLiteral("WF ") + QString::number(k) + QStringLiteral(":  ") +
                     settings.readString(kRacesSection, raceColumn(k), {});
    }
    return lines;
}

namespace {

const QString kEntriesTable = QStringLiteral("race_entries");
const QString kCreateEntries = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS race_entries (race INTEGER NOT NULL, boat INTEGER NOT NULL, corrected TEXT)");
const QString kForgetRace = QStringLiteral("DELETE FROM race_entries WHERE race = ?");
const QString kKeepEntry = QStringLiteral("INSERT INTO race_entries (race, boat, corrected) VALUES (?, ?, ?)");
const QString kReadRace = QStringLiteral("SELECT boat, corrected FROM race_entries WHERE race = ? ORDER BY rowid");

} // namespace

void keepRaceEntries(Table& series, int race, const QList<StoredEntry>& entries) {
    series.exec(kCreateEntries);
    series.exec(kForgetRace, {race});
    for (const StoredEntry& e : entries) {
        series.exec(kKeepEntry, {race, e.boat, e.corrected});
    }
}

QList<StoredEntry> raceEntries(const Table& series, int race) {
    QList<StoredEntry> entries;
    if (!series.hasTable(kEntriesTable)) {
        return entries;
    }
    for (const QVariantList& row : series.query(kReadRace, {race})) {
        entries.append({row.value(0).toLongLong(), row.value(1).toString()});
    }
    return entries;
}

} // namespace wm

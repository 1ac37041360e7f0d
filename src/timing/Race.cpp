#include "timing/Race.h"

#include "desktop/Prompts.h"
#include "store/Error.h"
#include "store/IniFile.h"
#include "timing/StartClock.h"
#include "timing/TimeMath.h"

#include <QSet>

namespace wm {

namespace {

const QString kUniqueKey = QStringLiteral("i");
const QString kByTime = QStringLiteral("ByZeit");
constexpr int kMaxRaceName = 120;

Filter anyFieldBeginsWith(const QString& text) {
    const QString p = text + u'*';
    return Filter::match(field::SEGELNR, p) || Filter::match(field::BOOTSNAME, p) || Filter::match(field::NAME, p) ||
           Filter::match(field::TYP, p);
}

const Filter& racing() {
    static const Filter f = Filter::equals(field::STATUS, QStringLiteral("1"));
    return f;
}

} // namespace

QString defaultRaceName(const QDate& date) {
    static const char* const months[] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                         "Jul", "Aug", "Sep", "Okt", "Nov", "Dec"};
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.day());
}

void checkRaceName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        throw Error(QStringLiteral("Bitte geben Sie eine Bezeichnung für die Wettfahrt ein."));
    }
    bool control = false;
    for (const QChar c : name) {
        control = control || c.unicode() < 0x20 || c == QChar(0x7f);
    }
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QStringLiteral("..")) || control ||
        trimmed != name || name.size() > kMaxRaceName) {
        throw Error(QStringLiteral("'%1' kann nicht als Name einer Wettfahrt verwendet werden.\n"
                                   "Der Name darf weder '/' noch '\\' noch '..' enthalten, nicht mit einem "
                                   "Leerzeichen beginnen oder enden und höchstens %2 Zeichen lang sein.")
                        .arg(name, QString::number(kMaxRaceName)));
    }
}

FieldList raceFields(const FieldList& participantFields) {
    FieldList fields = participantFields;
    fields.append({field::Punkte, FieldType::Integer, 0, false});
    return fields;
}

Race::Race() : m_list(m_table) {
    m_list.setColumns({{field::SEGELNR, QStringLiteral("Segelnr."), 78},
                       {field::BOOTSNAME, QStringLiteral("Bootsname"), 150},
                       {field::NAME, QStringLiteral("Name"), 167},
                       {field::TYP, QStringLiteral("Typ"), 118},
                       {field::YS, QStringLiteral("YS"), 44},
                       {field::START, QStringLiteral("Start"), 39}});
    m_list.setReadOnly(true);
}

void Race::create(const QString& path, const QString& name, const FieldList& participantFields) {
    close();
    Table::create(path, raceFields(participantFields));
    m_table.open(path, Table::Mode::Exclusive);
    m_name = name;
    m_searchText.clear();
    m_list.setDetached(false);
    m_list.setFiltered(false);
    m_list.refresh();
}

void Race::close() {
    m_table.close();
    m_list.clear();
    m_name.clear();
}

int Race::addBoat(Table& participants, qint64 participantRowid) {
    const Table::Row current = participants.read(participantRowid);
    auto text = [&](const QString& name) { return displayText(current.values.value(participants.fieldIndex(name))); };
    // An empty value stands for "no value" too, so a boat without a sail number is found like any other.
    auto same = [&](const QString& name) {
        const QString value = text(name);
        return value.isEmpty() ? (Filter::isNull(name) || Filter::equals(name, QString()))
                               : Filter::equals(name, value);
    };
    const QList<Table::Row> rows =
        participants.select(same(field::SEGELNR) && same(field::NAME) && same(field::BOOTSNAME), false);
    static const QStringList copied = {field::SEGELNR, field::BOOTSNAME, field::NAME,
                                       field::TYP,     field::YS,        field::START};
    // The boat leaves the register only together with its entry in the race: the register's change is
    // committed after the race's, and rolled back if the race cannot be written.
    Table::Transaction registerChange(participants);
    participants.setValue(participantRowid, field::STATUS, QStringLiteral("1"));
    {
        Table::Transaction transaction(m_table);
        for (const Table::Row& row : rows) {
            QVariantMap values;
            for (const QString& f : copied) {
                values.insert(f, row.values.value(participants.fieldIndex(f)));
            }
            values.insert(field::STATUS, QStringLiteral("1"));
            m_table.insert(values);
        }
        transaction.commit();
    }
    registerChange.commit();
    return int(rows.size());
}

Filter Race::searchFilter(const QString& text, bool finishMode) {
    if (text.isEmpty()) {
        return finishMode ? racing() : Filter();
    }
    return finishMode ? racing() && anyFieldBeginsWith(text) : anyFieldBeginsWith(text);
}

void Race::setSearchText(const QString& text) {
    m_searchText = text;
    const bool finish = m_mode == Mode::Finish;
    m_list.setFilter(searchFilter(text, finish), true);
    m_list.setFiltered(finish || !text.isEmpty());
    m_list.refresh();
    m_list.first();
}

void Race::recordFinish(const QString& elapsed) {
    if (!m_list.hasCurrent()) {
        return;
    }
    const QString corrected = CorrectedTime(elapsed, displayText(m_list.currentValue(field::YS)));
    m_table.setValues(m_list.currentRowid(),
                      {{field::STATUS, QStringLiteral("2")}, {field::BZEIT, corrected}, {field::GZEIT, elapsed}});
    leaveList();
}

void Race::recordMarker(const QString& marker) {
    if (!m_list.hasCurrent()) {
        return;
    }
    m_table.setValues(m_list.currentRowid(),
                      {{field::GZEIT, marker}, {field::BZEIT, marker}, {field::STATUS, QStringLiteral("2")}});
    leaveList();
}

void Race::leaveList() {
    // In finish mode the list holds only boats still racing, so the finished one simply leaves it.
    if (m_mode == Mode::Finish) {
        m_list.dropRow(m_list.current());
    } else {
        m_list.refresh();
    }
}

bool CheckStarter(StartClock& clock, Prompts& prompts, const Table& race) {
    std::array<bool, StartClock::kStarts> active{};
    bool all = true;
    for (int n = 1; n <= StartClock::kStarts; ++n) {
        active[size_t(n - 1)] = clock.isActive(n);
        all = all && active[size_t(n - 1)];
    }
    if (all) {
        return true;
    }
    std::array<bool, StartClock::kStarts> used{};
    const int startIndex = race.fieldIndex(field::START);
    for (const Table::Row& row : race.select()) {
        const QVariant start = row.values.value(startIndex);
        for (int n = 1; n <= StartClock::kStarts; ++n) {
            if (!start.isNull() && start.toDouble() == n) {
                used[size_t(n - 1)] = true;
            }
        }
    }
    std::array<bool, StartClock::kStarts> result = active;
    for (int n = 1; n <= StartClock::kStarts; ++n) {
        if (active[size_t(n - 1)] || !used[size_t(n - 1)]) {
            continue;
        }
        const QString question = QStringLiteral("Mindestens ein Teilnehmer erfordert den Start %1.\r"
                                                "Soll Start %1 jetzt aktiviert werden?\r"
                                                "Klicken Sie Ja für eine automatische Änderung und Nein um "
                                                "zurückzukehren.")
                                     .arg(n);
        if (!prompts.ask(QStringLiteral("Bestätigung"), question)) {
            return false;
        }
        result[size_t(n - 1)] = true;
    }
    for (int n = 1; n <= StartClock::kStarts; ++n) {
        clock.setActive(n, result[size_t(n - 1)]);
    }
    return true;
}

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
    const int entries = int(rows.size());
    const int bzeit = race.fieldIndex(field::BZEIT);
    QList<std::pair<qint64, QVariant>> points;
    points.reserve(entries);
    for (int k = 0; k < entries; ++k) {
        const bool marker = IsMarker(rows[k].values.value(bzeit).toString());
        points.append({rows[k].rowid, marker ? entries : k + 1});
    }
    race.setColumn(field::Punkte, points);
    transaction.commit();
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

void writeStarted(const QString& iniPath, int entries) {
    IniFile ini(iniPath);
    ini.writeInt(QStringLiteral("General"), QStringLiteral("Started"), entries);
    ini.save();
}

} // namespace wm

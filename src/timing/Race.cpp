#include "timing/Race.h"

#include "store/Error.h"
#include "store/IniFile.h"
#include "store/Log.h"
#include "timing/TimeMath.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTime>

#include <algorithm>

namespace wm {

namespace {

Filter anyFieldBeginsWith(const QString& text) {
    const QString p = text + u'*';
    return Filter::match(field::SEGELNR, p) || Filter::match(field::BOOTSNAME, p) || Filter::match(field::NAME, p) ||
           Filter::match(field::TYP, p);
}

// The order of finishes lives beside the entries in the race's own file, so that a finish and its place in
// the order are one commit. Races timed before kept it in their information file; it is taken over once.
const QString kOrderTable = QStringLiteral("finish_order");
const QString kCreateOrder =
    QStringLiteral("CREATE TABLE IF NOT EXISTS finish_order (seq INTEGER PRIMARY KEY, entry INTEGER NOT NULL UNIQUE)");

// Times taken at the line, kept beside the entries; the table is made with the first stamp, so a race timed
// without stamps has none.
const QString kStampTable = QStringLiteral("stamps");
const QString kCreateStamps =
    QStringLiteral("CREATE TABLE IF NOT EXISTS stamps (id INTEGER PRIMARY KEY, ms INTEGER NOT NULL, entry INTEGER)");

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
    m_table.exec(kCreateOrder);
    m_searchText.clear();
    m_list.setDetached(false);
    m_list.setFiltered(false);
    m_list.refresh();
}

void Race::open(const QString& path, const QString& name) {
    close();
    m_table.open(path, Table::Mode::Exclusive);
    m_name = name;
    prepareFinishOrder();
    m_searchText.clear();
    m_list.setDetached(false);
    m_list.setFiltered(false);
    m_list.refresh();
}

bool Race::holdsTable(const QString& path) const {
    const QString open = isOpen() ? QFileInfo(m_table.path()).canonicalFilePath() : QString();
    return !open.isEmpty() && open == QFileInfo(path).canonicalFilePath();
}

QString Race::infoPath() const {
    return RaceFiles(QFileInfo(m_table.path()).absolutePath(), m_name).infoPath();
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
    storeFinish(m_list.currentRowid(),
                {{field::STATUS, QStringLiteral("2")}, {field::BZEIT, corrected}, {field::GZEIT, elapsed}});
}

void Race::recordMarker(const QString& marker) {
    if (!m_list.hasCurrent()) {
        return;
    }
    storeFinish(m_list.currentRowid(),
                {{field::GZEIT, marker}, {field::BZEIT, marker}, {field::STATUS, QStringLiteral("2")}});
}

namespace {

const QString kForgetFinish = QStringLiteral("DELETE FROM finish_order WHERE entry = ?");
const QString kAppendFinish = QStringLiteral("INSERT INTO finish_order (entry) VALUES (?)");
const QString kReadOrder = QStringLiteral("SELECT entry FROM finish_order ORDER BY seq");

const QString kFinishSection = QStringLiteral("Zieleinlauf");
const QString kFinishOrder = QStringLiteral("Reihenfolge");
const QString kResume = QStringLiteral("Fortsetzen");

QList<qint64> iniOrder(const IniFile& ini) {
    QList<qint64> order;
    for (const QString& part :
         ini.readString(kFinishSection, kFinishOrder, QString()).split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const qint64 rowid = part.trimmed().toLongLong(&ok);
        if (ok) {
            order << rowid;
        }
    }
    return order;
}

} // namespace

void Race::prepareFinishOrder() {
    if (m_table.hasTable(kOrderTable)) {
        return;
    }
    const QList<qint64> earlier = iniOrder(IniFile(infoPath()));
    Table::Transaction transaction(m_table);
    m_table.exec(kCreateOrder);
    for (qint64 rowid : earlier) {
        m_table.exec(kForgetFinish, {rowid});
        m_table.exec(kAppendFinish, {rowid});
    }
    transaction.commit();
}

void Race::storeFinish(qint64 rowid, const QVariantMap& values, qint64 stamp) {
    try {
        Table::Transaction transaction(m_table);
        m_table.setValues(rowid, values);
        m_table.exec(kForgetFinish, {rowid});
        m_table.exec(kAppendFinish, {rowid});
        if (stamp > 0) {
            m_table.exec(QStringLiteral("UPDATE stamps SET entry = ? WHERE id = ?"), {rowid, stamp});
        }
        transaction.commit();
    } catch (const Error& e) {
        throw Error(QStringLiteral("Der Zieleinlauf wurde nicht gespeichert; das Boot bleibt in der Liste.\n") +
                    e.message());
    }
    leaveList();
}

QList<qint64> Race::finishOrder() const {
    QSet<qint64> finished;
    QList<qint64> byRowid;
    for (const Table::Row& row : m_table.select(Filter::equals(field::STATUS, QStringLiteral("2")))) {
        finished.insert(row.rowid);
        byRowid << row.rowid;
    }
    QList<qint64> stored;
    if (m_table.hasTable(kOrderTable)) {
        for (const QVariantList& row : m_table.query(kReadOrder)) {
            stored << row.value(0).toLongLong();
        }
    } else {
        stored = iniOrder(IniFile(infoPath()));
    }
    QList<qint64> order;
    for (qint64 rowid : stored) {
        if (finished.remove(rowid)) {
            order << rowid;
        }
    }
    // Finished some other way (in the race browser, say): after those whose order is known, in natural order.
    for (qint64 rowid : byRowid) {
        if (finished.contains(rowid)) {
            order << rowid;
        }
    }
    return order;
}

qint64 Race::undoLastFinish() {
    const QList<qint64> order = finishOrder();
    if (order.isEmpty()) {
        return -1;
    }
    const qint64 rowid = order.last();
    {
        Table::Transaction transaction(m_table);
        m_table.setValues(rowid, {{field::STATUS, QStringLiteral("1")},
                                  {field::GZEIT, QVariant()},
                                  {field::BZEIT, QVariant()},
                                  {field::Punkte, QVariant()}});
        if (m_table.hasTable(kOrderTable)) {
            m_table.exec(kForgetFinish, {rowid});
        }
        if (m_table.hasTable(kStampTable)) {
            m_table.exec(QStringLiteral("UPDATE stamps SET entry = NULL WHERE entry = ?"), {rowid});
        }
        transaction.commit();
    }
    m_list.refresh();
    m_list.locate(rowid);
    return rowid;
}

qint64 Race::addStamp(int msOfDay) {
    Table::Transaction transaction(m_table);
    m_table.exec(kCreateStamps);
    m_table.exec(QStringLiteral("INSERT INTO stamps (ms) VALUES (?)"), {msOfDay});
    const qint64 id = m_table.query(QStringLiteral("SELECT last_insert_rowid()")).value(0).value(0).toLongLong();
    transaction.commit();
    return id;
}

QList<Race::Stamp> Race::stamps() const {
    return storedStamps(m_table);
}

QList<Race::Stamp> storedStamps(const Table& race) {
    QList<Race::Stamp> result;
    if (!race.hasTable(kStampTable)) {
        return result;
    }
    for (const QVariantList& row :
         race.query(QStringLiteral("SELECT id, ms, entry FROM stamps ORDER BY ms DESC, id DESC"))) {
        result.append({row.value(0).toLongLong(), row.value(1).toInt(), row.value(2).toLongLong()});
    }
    return result;
}

QStringList unassignedStampTexts(const Table& race) {
    QStringList texts;
    for (const Race::Stamp& s : storedStamps(race)) {
        if (s.entry == 0) {
            texts.prepend(stampText(s.ms));
        }
    }
    return texts;
}

void Race::deleteStamp(qint64 id) {
    Table::Transaction transaction(m_table);
    m_table.exec(QStringLiteral("DELETE FROM stamps WHERE id = ? AND entry IS NULL"), {id});
    transaction.commit();
}

void Race::assignStamp(qint64 id, const QString& elapsed) {
    if (!m_list.hasCurrent()) {
        return;
    }
    const qint64 rowid = m_list.currentRowid();
    bool free = false;
    for (const Stamp& s : stamps()) {
        free = free || (s.id == id && s.entry == 0);
    }
    if (!free) {
        throw Error(QStringLiteral("Diese Zeit ist schon einem Boot zugeordnet."));
    }
    if (displayText(m_table.value(rowid, field::STATUS)) != QStringLiteral("1")) {
        throw Error(QStringLiteral("Dieses Boot ist schon im Ziel; die Zeit bleibt in der Liste."));
    }
    const QString corrected = CorrectedTime(elapsed, displayText(m_list.currentValue(field::YS)));
    storeFinish(rowid, {{field::STATUS, QStringLiteral("2")}, {field::BZEIT, corrected}, {field::GZEIT, elapsed}}, id);
}

QString stampText(int msOfDay) {
    return QTime::fromMSecsSinceStartOfDay(msOfDay).toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString elapsedAtStamp(double startTime, int msOfDay) {
    return FormatTime(startTime - double(msOfDay) / 86'400'000.0);
}

void Race::leaveList() {
    // In finish mode the list holds only boats still racing, so the finished one simply leaves it.
    if (m_mode == Mode::Finish) {
        m_list.dropRow(m_list.current());
    } else {
        m_list.refresh();
    }
}

QList<int> startsWithoutActiveStart(const Table& race, const std::array<bool, kStarts>& active) {
    if (std::all_of(active.cbegin(), active.cend(), [](bool on) { return on; })) {
        return {};
    }
    std::array<bool, kStarts> used{};
    const int startIndex = race.fieldIndex(field::START);
    for (const Table::Row& row : race.select()) {
        const QVariant start = row.values.value(startIndex);
        for (int n = 1; n <= kStarts; ++n) {
            if (!start.isNull() && start.toDouble() == n) {
                used[size_t(n - 1)] = true;
            }
        }
    }
    QList<int> missing;
    for (int n = 1; n <= kStarts; ++n) {
        if (used[size_t(n - 1)] && !active[size_t(n - 1)]) {
            missing << n;
        }
    }
    return missing;
}

QStringList interruptedRaces(const QString& dataDir) {
    QStringList races;
    const QFileInfoList files = QDir(dataDir).entryInfoList({QStringLiteral("*.db")}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        if (file.fileName().compare(QStringLiteral("StarterID.db"), Qt::CaseInsensitive) == 0) {
            continue;
        }
        const QString name = file.completeBaseName();
        const IniFile info(RaceFiles(file.absolutePath(), name).infoPath());
        if (!info.hasKey(kStartTimesSection, QStringLiteral("S1Zeit")) ||
            !info.readBool(kStartTimesSection, kResume, true)) {
            continue;
        }
        try {
            Table race;
            race.open(file.absoluteFilePath());
            if (race.fieldIndex(field::Punkte) >= 0 && race.count(racing()) > 0) {
                races << name;
            }
        } catch (const Error& e) {
            // Held by another program or not a race: nothing to go on with here.
            logFailure(QStringLiteral("Start"),
                       QStringLiteral("Die Wettfahrt '%1' wird nicht zum Fortsetzen angeboten: ").arg(name) +
                           e.message());
        }
    }
    return races;
}

void declineResume(const QString& iniPath) {
    IniFile ini(iniPath);
    ini.writeBool(kStartTimesSection, kResume, false);
    ini.save();
}

void writeStarted(const QString& iniPath, int entries) {
    IniFile ini(iniPath);
    ini.writeInt(QStringLiteral("General"), QStringLiteral("Started"), entries);
    ini.save();
}

} // namespace wm

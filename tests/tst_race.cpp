#include "TestSupport.h"
#include "store/IniFile.h"
#include "store/Table.h"
#include "timing/Race.h"
#include "timing/Scoring.h"
#include "timing/TimeMath.h"

#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using wm::Race;
using wm::Table;
using wm::test::errorOf;
using wm::test::kNoError;

namespace {

// A participant database and a race in the program folder; boats enter through addBoat.
struct RaceRig {
    wm::test::ProgramFolder folder;
    Table participants;
    Race race;

    explicit RaceRig(const QList<QVariantMap>& boats) {
        folder.writeParticipants(folder.starter(), boats);
        participants.open(folder.starter());
        race.create(racePath(), u"Test"_s, wm::participantFields());
    }
    QString racePath() const { return folder.data(u"Test.db"_s); }
    qint64 participantRow(int i) const { return participants.select().at(i).rowid; }
    void enterAll() {
        for (const Table::Row& row : participants.select()) {
            race.addBoat(participants, row.rowid);
        }
    }
    QStringList listed() {
        QStringList names;
        for (int i = 0; i < race.list().count(); ++i) {
            names << race.list().value(i, wm::field::BOOTSNAME).toString();
        }
        return names;
    }
};

QString text(const Table& t, const Table::Row& row, const QString& field) {
    return wm::displayText(row.values.value(t.fieldIndex(field)));
}

// Race table entries as "sail|boat|name|corrected time"; an empty part is no value.
void writeRace(const QString& path, const QStringList& entries) {
    Table::create(path, wm::raceFields(wm::participantFields()));
    Table t;
    t.open(path);
    for (const QString& e : entries) {
        const QStringList p = e.split(u'|');
        t.insert({{wm::field::SEGELNR, p[0]},
                  {wm::field::BOOTSNAME, p[1]},
                  {wm::field::NAME, p[2]},
                  {wm::field::BZEIT, p[3]},
                  {wm::field::STATUS, 2}});
    }
}

QList<QVariant> pointsOf(const Table& t) {
    QList<QVariant> points;
    for (const Table::Row& row : t.select()) {
        const QVariant v = row.values.value(t.fieldIndex(wm::field::Punkte));
        points << (v.isNull() ? QVariant() : QVariant(v.toInt()));
    }
    return points;
}

QList<QVariant> ints(std::initializer_list<int> values) {
    QList<QVariant> list;
    for (int v : values) {
        list << v;
    }
    return list;
}

const QStringList kScored = {u"GER 1|Anna|Abel|00:52:00"_s, u"GER 2|Berta|Bauer|DNF"_s,   u"GER 3|Cora|Cech|00:41:10"_s,
                             u"GER 4|Dora|Dahl|DSQ"_s,      u"GER 5|Emma|Eck|00:45:00"_s, u"GER 6|Fina|Fink|01:02:03"_s,
                             u"GER 7|Gina|Gold|DNF"_s,      u"GER 8|Hera|Horn|00:47:30"_s};

} // namespace

class RaceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { wm::useGermanLocale(); }

    void raceNames();
    void raceFiles_foundWithoutRegardToCase_data();
    void raceFiles_foundWithoutRegardToCase();
    void raceNameChecks_data();
    void raceNameChecks();

    void addBoat_data();
    void addBoat();
    void search_data();
    void search();
    void recordFinish_data();
    void recordFinish();
    void recordMarker();
    void finishOrder_keptInTheRaceFile_data();
    void finishOrder_keptInTheRaceFile();
    void finish_fullDisk_refusedWhole();

    void calcPoints_data();
    void calcPoints();
    void calcPointsAgain();
    void calcPointsDuplicates_data();
    void calcPointsDuplicates();
    void startedFile();
    void ensureScored_scoresOnlyAnUnscoredRace();
    void calcPoints_fullDisk_writesNoPoints();
};

void RaceTest::raceNames() {
    QCOMPARE(wm::defaultRaceName(QDate(2005, 3, 7)), u"2005-Mrz-7"_s);
    QCOMPARE(wm::defaultRaceName(QDate(2024, 12, 24)), u"2024-Dec-24"_s);
    QCOMPARE(wm::defaultRaceName(QDate(2026, 5, 1)), u"2026-Mai-1"_s);
    QCOMPARE(wm::defaultRaceName(QDate(2026, 10, 31)), u"2026-Okt-31"_s);
}

void RaceTest::raceFiles_foundWithoutRegardToCase_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("info");
    QTest::newRow("new race") << QStringList() << u"Abend"_s << u"Abend.db"_s << u"Abend.ini"_s;
    QTest::newRow("stored as written") << QStringList{u"Abend.db"_s, u"Abend.ini"_s} << u"Abend"_s << u"Abend.db"_s
                                       << u"Abend.ini"_s;
    QTest::newRow("other letter case") << QStringList{u"ABEND.DB"_s, u"abend.Ini"_s} << u"Abend"_s << u"ABEND.DB"_s
                                       << u"abend.Ini"_s;
    QTest::newRow("name with a dot") << QStringList{u"Lauf 1.5.db"_s} << u"Lauf 1.5"_s << u"Lauf 1.5.db"_s
                                     << u"Lauf 1.5.ini"_s;
}

void RaceTest::raceFiles_foundWithoutRegardToCase() {
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QString, table);
    QFETCH(QString, info);
    QTemporaryDir dir;
    for (const QString& file : existing) {
        wm::test::writeFile(dir.filePath(file), "x");
    }
    const wm::RaceFiles files(dir.path(), name);
    QCOMPARE(files.tablePath(), dir.filePath(table));
    QCOMPARE(files.infoPath(), dir.filePath(info));
}

void RaceTest::raceNameChecks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("parent folder") << u"../x"_s << false;
    QTest::newRow("slash") << u"a/b"_s << false;
    QTest::newRow("backslash") << u"a\\b"_s << false;
    QTest::newRow("leading blank") << u" lead"_s << false;
    QTest::newRow("tab") << u"Wett\tfahrt"_s << false;
    QTest::newRow("line break") << u"Wett\nfahrt"_s << false;
    QTest::newRow("121 characters") << QString(121, u'x') << false;
    QTest::newRow("120 characters") << QString(120, u'x') << true;
    QTest::newRow("apostrophe") << u"O'Neil Cup"_s << true;
    QTest::newRow("blank inside") << u"Wettfahrt 1"_s << true;
    QTest::newRow("hyphen and year") << u"Sommer-Cup 2026"_s << true;
}

void RaceTest::raceNameChecks() {
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QCOMPARE(errorOf([&] { wm::checkRaceName(name); }) == kNoError, accepted);
}

void RaceTest::addBoat_data() {
    QTest::addColumn<QList<QVariantMap>>("boats");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<int>>("participantStatus");

    using wm::test::boat;
    QVariantMap timed = boat(u"GER 7"_s, u"Anna"_s, u"Abel"_s, u"Pirat"_s, 112.5, 2);
    timed.insert(wm::field::GZEIT, u"00:30:00"_s);
    timed.insert(wm::field::BZEIT, u"00:26:40"_s);
    QTest::newRow("two identical rows")
        << QList<QVariantMap>{timed, boat(u"GER 8"_s, u"Anna"_s, u"Abel"_s, {}, 100, 1), timed} << 0
        << QStringList{u"GER 7|Anna|Abel|Pirat|112,5|2"_s, u"GER 7|Anna|Abel|Pirat|112,5|2"_s} << QList<int>{1, 0, 0};
    QTest::newRow("apostrophe") << QList<QVariantMap>{boat(u"GER 1"_s, u"Skipper's"_s, u"O'Neil"_s, {}, 110, 1),
                                                      boat(u"GER 1"_s, u"Skipper"_s, u"O'Neil"_s, {}, 110, 1)}
                                << 0 << QStringList{u"GER 1|Skipper's|O'Neil||110|1"_s} << QList<int>{1, 0};
    QTest::newRow("no sail number") << QList<QVariantMap>{boat({}, u"Blitz"_s, u"Abel"_s, u"Laser"_s, 100, 3),
                                                          boat({}, u"Donner"_s, u"Abel"_s, u"Laser"_s, 100, 3),
                                                          boat({}, u"Blitz"_s, u"Bauer"_s, u"Laser"_s, 100, 3)}
                                    << 0 << QStringList{u"|Blitz|Abel|Laser|100|3"_s} << QList<int>{1, 0, 0};
    QTest::newRow("boat name ending in an asterisk")
        << QList<QVariantMap>{boat(u"GER 1"_s, u"Star*"_s, u"Abel"_s, {}, 100, 1),
                              boat(u"GER 1"_s, u"Starlight"_s, u"Abel"_s, {}, 100, 1)}
        << 0 << QStringList{u"GER 1|Star*|Abel||100|1"_s} << QList<int>{1, 0};
}

void RaceTest::addBoat() {
    QFETCH(QList<QVariantMap>, boats);
    QFETCH(int, chosen);
    QFETCH(QStringList, entries);
    QFETCH(QList<int>, participantStatus);

    RaceRig rig(boats);
    QCOMPARE(rig.race.addBoat(rig.participants, rig.participantRow(chosen)), entries.size());

    const Table& race = rig.race.table();
    QStringList copied;
    for (const Table::Row& row : race.select()) {
        QStringList parts;
        for (const QString& f : {wm::field::SEGELNR, wm::field::BOOTSNAME, wm::field::NAME, wm::field::TYP,
                                 wm::field::YS, wm::field::START}) {
            parts << text(race, row, f);
        }
        copied << parts.join(u'|');
        QCOMPARE(text(race, row, wm::field::STATUS), u"1"_s);
        for (const QString& f : {wm::field::GZEIT, wm::field::BZEIT, wm::field::Punkte}) {
            QVERIFY2(row.values.value(race.fieldIndex(f)).isNull(), qPrintable(f));
        }
    }
    QCOMPARE(copied, entries);
    QList<int> status;
    for (const Table::Row& row : rig.participants.select()) {
        status << row.values.value(rig.participants.fieldIndex(wm::field::STATUS)).toInt();
    }
    QCOMPARE(status, participantStatus);

    wm::FieldList expected = wm::participantFields();
    expected.append({wm::field::Punkte, wm::FieldType::Integer, 0, false});
    QCOMPARE(race.fields(), expected);
}

void RaceTest::search_data() {
    QTest::addColumn<bool>("finishMode");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("listed");

    // Abendrot has finished.
    QTest::newRow("start: all") << false << QString()
                                << QStringList{u"Abendrot"_s, u"Wind"_s, u"Möwe"_s, u"Sturm"_s, u"Kabine"_s};
    QTest::newRow("start: any field begins with it")
        << false << u"ab"_s << QStringList{u"Abendrot"_s, u"Wind"_s, u"Möwe"_s, u"Sturm"_s};
    QTest::newRow("start: umlaut in any case") << false << u"MÖ"_s << QStringList{u"Möwe"_s};
    QTest::newRow("start: no match") << false << u"xyz"_s << QStringList();
    QTest::newRow("finish: only those racing")
        << true << QString() << QStringList{u"Wind"_s, u"Möwe"_s, u"Sturm"_s, u"Kabine"_s};
    QTest::newRow("finish: search") << true << u"ab"_s << QStringList{u"Wind"_s, u"Möwe"_s, u"Sturm"_s};
    QTest::newRow("finish: finished boat searched for") << true << u"Abend"_s << QStringList();
}

void RaceTest::search() {
    QFETCH(bool, finishMode);
    QFETCH(QString, search);
    QFETCH(QStringList, listed);

    using wm::test::boat;
    RaceRig rig({boat(u"GER 1"_s, u"Abendrot"_s, u"Meier"_s, u"Pirat"_s, 105, 1),
                 boat(u"AB 7"_s, u"Wind"_s, u"Schulz"_s, u"Jolle"_s, 110, 1),
                 boat(u"GER 3"_s, u"Möwe"_s, u"Abel"_s, u"Finn"_s, 112.5, 1),
                 boat(u"GER 4"_s, u"Sturm"_s, u"Krause"_s, u"ABC"_s, 100, 1),
                 boat(u"GER 5"_s, u"Kabine"_s, u"Lang"_s, u"Laser"_s, 100, 1)});
    rig.enterAll();
    rig.race.setMode(Race::Mode::Finish);
    rig.race.setSearchText(QString());
    rig.race.list().first();
    rig.race.recordFinish(u"00:40:00"_s);

    rig.race.setMode(finishMode ? Race::Mode::Finish : Race::Mode::Start);
    rig.race.setSearchText(search);
    QCOMPARE(rig.listed(), listed);
}

void RaceTest::recordFinish_data() {
    QTest::addColumn<QVariant>("ys");
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QString>("corrected");
    QTest::addColumn<QString>("error");

    QTest::newRow("yardstick 105") << QVariant(105) << u"00:47:12"_s << u"00:44:57"_s << kNoError;
    QTest::newRow("fractional yardstick") << QVariant(112.5) << u"01:00:00"_s << u"00:53:20"_s << kNoError;
    QTest::newRow("yardstick 0") << QVariant(0) << u"00:47:12"_s << QString() << u"Gleitkommadivision durch Null"_s;
    QTest::newRow("no yardstick") << QVariant() << u"00:47:12"_s << QString()
                                  << u"'' ist kein gültiger Gleitkommawert"_s;
    QTest::newRow("start without a clock")
        << QVariant(105) << QString() << QString() << u"'' ist keine gültige Uhrzeit"_s;
}

void RaceTest::recordFinish() {
    QFETCH(QVariant, ys);
    QFETCH(QString, elapsed);
    QFETCH(QString, corrected);
    QFETCH(QString, error);

    QVariantMap b = wm::test::boat(u"GER 1"_s, u"Abendrot"_s, u"Meier"_s, u"Pirat"_s, 0, 1);
    b.insert(wm::field::YS, ys);
    RaceRig rig({b});
    rig.enterAll();
    rig.race.setMode(Race::Mode::Finish);
    rig.race.setSearchText(QString());
    rig.race.list().first();

    QCOMPARE(errorOf([&] { rig.race.recordFinish(elapsed); }), error);
    const Table::Row row = rig.race.table().select().first();
    if (error != kNoError) {
        QCOMPARE(text(rig.race.table(), row, wm::field::STATUS), u"1"_s);
        QVERIFY(row.values.value(rig.race.table().fieldIndex(wm::field::GZEIT)).isNull());
        QVERIFY(row.values.value(rig.race.table().fieldIndex(wm::field::BZEIT)).isNull());
        QCOMPARE(rig.listed(), QStringList{u"Abendrot"_s});
        return;
    }
    QVERIFY(rig.listed().isEmpty());
    rig.race.close();
    Table file;
    file.open(rig.racePath());
    QCOMPARE(file.value(row.rowid, wm::field::GZEIT).toString(), elapsed);
    QCOMPARE(file.value(row.rowid, wm::field::BZEIT).toString(), corrected);
    QCOMPARE(file.value(row.rowid, wm::field::STATUS).toInt(), 2);
}

void RaceTest::recordMarker() {
    using wm::test::boat;
    RaceRig rig({boat(u"GER 1"_s, u"Abendrot"_s, u"Meier"_s, u"Pirat"_s, 0, 1),
                 boat(u"GER 2"_s, u"Wind"_s, u"Schulz"_s, u"Pirat"_s, 100, 1)});
    rig.enterAll();
    rig.race.setMode(Race::Mode::Finish);
    rig.race.setSearchText(QString());
    rig.race.list().first();
    rig.race.recordMarker(wm::kDnf);

    const Table& race = rig.race.table();
    const Table::Row row = race.select().first();
    QCOMPARE(text(race, row, wm::field::GZEIT), wm::kDnf);
    QCOMPARE(text(race, row, wm::field::BZEIT), wm::kDnf);
    QCOMPARE(text(race, row, wm::field::STATUS), u"2"_s);
    QCOMPARE(rig.listed(), QStringList{u"Wind"_s});
}

namespace {

QList<QVariantMap> fourBoats() {
    using wm::test::boat;
    return {boat(u"GER 1"_s, u"Anna"_s, u"Abel"_s, u"Pirat"_s, 110, 1),
            boat(u"GER 2"_s, u"Berta"_s, u"Bauer"_s, u"Pirat"_s, 110, 1),
            boat(u"GER 3"_s, u"Cora"_s, u"Cech"_s, u"Pirat"_s, 110, 1),
            boat(u"GER 4"_s, u"Dora"_s, u"Dahl"_s, u"Pirat"_s, 110, 1)};
}

// Finishes the listed boats (by boat name) in this order: a time, or DNF for the third.
void finishInOrder(Race& race, const QStringList& boats) {
    race.setMode(Race::Mode::Finish);
    race.setSearchText(QString());
    for (int k = 0; k < boats.size(); ++k) {
        for (int i = 0; i < race.list().count(); ++i) {
            if (race.list().value(i, wm::field::BOOTSNAME).toString() == boats[k]) {
                race.list().setCurrent(i);
            }
        }
        if (k == 2) {
            race.recordMarker(wm::kDnf);
        } else {
            race.recordFinish(u"00:4%1:00"_s.arg(k));
        }
    }
}

QString boatOf(Race& race, qint64 rowid) {
    return text(race.table(), race.table().read(rowid), wm::field::BOOTSNAME);
}

} // namespace

void RaceTest::finishOrder_keptInTheRaceFile_data() {
    QTest::addColumn<QString>("iniOrder"); // an order kept by an earlier version in the information file
    QTest::addColumn<QStringList>("undone");

    QTest::newRow("kept with each finish") << QString() << QStringList{u"Berta"_s, u"Anna"_s, u"Dora"_s};
    // Rowids 1..4 are Anna..Dora; Berta finished but is missing from the old order: she counts as the latest.
    QTest::newRow("order of an earlier version") << u"4,1"_s << QStringList{u"Berta"_s, u"Anna"_s, u"Dora"_s};
}

void RaceTest::finishOrder_keptInTheRaceFile() {
    QFETCH(QString, iniOrder);
    QFETCH(QStringList, undone);
    RaceRig rig(fourBoats());
    rig.enterAll();
    finishInOrder(rig.race, {u"Dora"_s, u"Anna"_s, u"Berta"_s});
    const QString info = rig.folder.data(u"Test.ini"_s);
    QVERIFY2(!QFileInfo::exists(info), "a finish writes nothing but the race table");
    rig.race.close();
    if (!iniOrder.isEmpty()) {
        // A race table as an earlier version left it: no order beside the entries, the order in the info file.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"old"_s);
            db.setDatabaseName(rig.racePath());
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(u"DROP TABLE finish_order"_s));
            db.close();
        }
        QSqlDatabase::removeDatabase(u"old"_s);
        wm::test::writeFile(info, "[Zieleinlauf]\nReihenfolge=" + iniOrder.toLatin1() + "\n");
    }

    Race again;
    again.open(rig.racePath(), u"Test"_s);
    again.setMode(Race::Mode::Finish);
    again.setSearchText(QString());
    QStringList taken;
    for (qint64 rowid = again.undoLastFinish(); rowid >= 0; rowid = again.undoLastFinish()) {
        taken << boatOf(again, rowid);
        // Taken back for good: a second program that opens the race finds the same order.
        if (taken.size() == 1) {
            again.close();
            again.open(rig.racePath(), u"Test"_s);
            again.setMode(Race::Mode::Finish);
        }
    }
    QCOMPARE(taken, undone);
    QCOMPARE(again.table().count(wm::Filter::equals(wm::field::STATUS, u"1"_s)), 4);
}

void RaceTest::finish_fullDisk_refusedWhole() {
    QTemporaryDir dir;
    wm::test::SmallDisk disk(dir.filePath(u"voll"_s), 1024);
    if (!disk.ok()) {
        QSKIP("needs root to mount a small tmpfs as a full disk");
    }
    wm::test::ProgramFolder folder;
    folder.writeParticipants(folder.starter(), fourBoats());
    Table participants;
    participants.open(folder.starter());
    const QString path = dir.filePath(u"voll/Test.db"_s);
    Race race;
    race.create(path, u"Test"_s, wm::participantFields());
    for (const Table::Row& row : participants.select()) {
        race.addBoat(participants, row.rowid);
    }
    race.setMode(Race::Mode::Finish);
    race.setSearchText(QString());
    disk.fill();
    const QString error = errorOf([&] { race.recordFinish(u"00:41:00"_s); });
    QVERIFY2(error.startsWith(u"Der Zieleinlauf wurde nicht gespeichert"_s), qPrintable(error));
    QCOMPARE(race.table().count(wm::Filter::equals(wm::field::STATUS, u"2"_s)), 0);
    QCOMPARE(race.list().count(), 4);
    QVERIFY(race.finishOrder().isEmpty());

    disk.release();
    race.recordFinish(u"00:41:00"_s);
    QCOMPARE(race.finishOrder().size(), 1);
    QCOMPARE(race.list().count(), 3);
}

void RaceTest::calcPoints_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<QVariant>>("points");

    QTest::newRow("finishers, DNF and DSQ") << kScored << ints({4, 8, 1, 8, 2, 5, 8, 3});
    QTest::newRow("every code like DNF") << QStringList{u"GER 1|Anna|Abel|00:52:00"_s, u"GER 2|Berta|Bauer|BFD"_s,
                                                        u"GER 3|Cora|Cech|00:41:10"_s, u"GER 4|Dora|Dahl|DNE"_s,
                                                        u"GER 5|Emma|Eck|RET"_s,       u"GER 6|Fina|Fink|NSC"_s}
                                         << ints({2, 6, 1, 6, 6, 6});
    QTest::newRow("tie by sail number") << QStringList{u"GER 5|Anna|Abel|00:41:10"_s, u"GER 1|Berta|Bauer|00:30:00"_s,
                                                       u"GER 2|Cora|Cech|00:41:10"_s, u"GER 3|Dora|Dahl|00:35:00"_s,
                                                       u"GER 4|Emma|Eck|00:50:00"_s,  u"GER 6|Fina|Fink|DNF"_s}
                                        << ints({4, 1, 3, 2, 5, 6});
    QTest::newRow("tie by boat name") << QStringList{u"GER 2|Zora|Abel|00:41:10"_s, u"GER 1|Berta|Bauer|00:30:00"_s,
                                                     u"GER 2|Anna|Abel|00:41:10"_s, u"GER 3|Dora|Dahl|00:35:00"_s,
                                                     u"GER 4|Emma|Eck|00:50:00"_s}
                                      << ints({4, 1, 3, 2, 5});
    QTest::newRow("tie by name") << QStringList{u"GER 2|Anna|Zander|00:41:10"_s, u"GER 1|Berta|Bauer|00:30:00"_s,
                                                u"GER 2|Anna|Abel|00:41:10"_s, u"GER 3|Dora|Dahl|00:35:00"_s,
                                                u"GER 4|Emma|Eck|00:50:00"_s}
                                 << ints({4, 1, 3, 2, 5});
    QTest::newRow("nobody finished") << QStringList{u"GER 1|Anna|Abel|DNF"_s, u"GER 2|Berta|Bauer|DSQ"_s,
                                                    u"GER 3|Cora|Cech|DNF"_s}
                                     << ints({3, 3, 3});
    QTest::newRow("one finisher") << QStringList{u"GER 1|Anna|Abel|00:40:00"_s} << ints({1});
}

void RaceTest::calcPoints() {
    QFETCH(QStringList, entries);
    QFETCH(QList<QVariant>, points);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"race.db"_s);
    writeRace(path, entries);
    Table race;
    race.open(path, Table::Mode::Exclusive);
    wm::CalcPoints(race);
    QCOMPARE(pointsOf(race), points);
}

void RaceTest::calcPointsAgain() {
    QTemporaryDir dir;
    const QString scored = dir.filePath(u"scored.db"_s);
    writeRace(scored, kScored);
    QStringList corrected = kScored;
    corrected[5] = u"GER 6|Fina|Fink|00:40:00"_s;
    const QList<QVariant> expected = ints({5, 8, 2, 8, 3, 1, 8, 4});

    Table race;
    race.open(scored, Table::Mode::Exclusive);
    wm::CalcPoints(race);
    race.setValue(race.select().at(5).rowid, wm::field::BZEIT, u"00:40:00"_s);
    wm::CalcPoints(race);
    QCOMPARE(pointsOf(race), expected);
    QVERIFY(race.hasIndex(u"i"_s));
    QVERIFY(race.hasIndex(u"ByZeit"_s));

    const QString fresh = dir.filePath(u"fresh.db"_s);
    writeRace(fresh, corrected);
    wm::CalcPoints(fresh);
    Table check;
    check.open(fresh);
    QCOMPARE(pointsOf(check), expected);
}

void RaceTest::calcPointsDuplicates_data() {
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("same sail number, boat and name")
        << QStringList{u"GER 1|Anna|Abel|00:40:00"_s, u"GER 2|Berta|Bauer|00:42:00"_s, u"GER 1|Anna|Abel|00:41:00"_s};
    QTest::newRow("same boat and name, no sail number")
        << QStringList{u"|Anna|Abel|00:40:00"_s, u"GER 2|Berta|Bauer|00:42:00"_s, u"|Anna|Abel|00:41:00"_s};
}

void RaceTest::calcPointsDuplicates() {
    QFETCH(QStringList, entries);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"race.db"_s);
    writeRace(path, entries);
    Table race;
    race.open(path, Table::Mode::Exclusive);
    const QString error = errorOf([&] { wm::CalcPoints(race); });
    QVERIFY2(error.contains(u"dieselbe Segelnummer, denselben Bootsnamen und denselben Namen"_s), qPrintable(error));
    QCOMPARE(pointsOf(race), QList<QVariant>(entries.size()));
}

void RaceTest::startedFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Wettfahrt 1.ini"_s);
    wm::writeStarted(path, 8);
    QCOMPARE(wm::test::readFile(path).trimmed(), u"[General]\nStarted=8"_s);
}

void RaceTest::ensureScored_scoresOnlyAnUnscoredRace() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"race.db"_s);
    writeRace(path, kScored);
    Table race;
    race.open(path, Table::Mode::Exclusive);
    wm::ensureScored(race);
    QCOMPARE(pointsOf(race), ints({4, 8, 1, 8, 2, 5, 8, 3}));
    // Points already there are what the office may have decided: they are not scored over.
    race.setValue(race.select().first().rowid, wm::field::Punkte, 7);
    wm::ensureScored(race);
    QCOMPARE(pointsOf(race).first(), QVariant(7));
}

void RaceTest::calcPoints_fullDisk_writesNoPoints() {
    QTemporaryDir dir;
    wm::test::SmallDisk disk(dir.filePath(u"voll"_s));
    if (!disk.ok()) {
        QSKIP("needs root to mount a small tmpfs as a full disk");
    }
    const QString path = dir.filePath(u"voll/race.db"_s);
    writeRace(path, kScored);
    Table race;
    race.open(path, Table::Mode::Exclusive);
    disk.fill();
    const QString error = errorOf([&] { wm::ensureScored(race); });
    QVERIFY2(error.contains(u"der Datenträger ist voll"_s), qPrintable(error));
    QCOMPARE(race.count(wm::Filter::isNotNull(wm::field::Punkte)), 0);
    disk.release();
    wm::ensureScored(race);
    QCOMPARE(pointsOf(race), ints({4, 8, 1, 8, 2, 5, 8, 3}));
}

QTEST_GUILESS_MAIN(RaceTest)
#include "tst_race.moc"

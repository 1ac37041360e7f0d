#include "TestSupport.h"
#include "series/AppendRace.h"
#include "series/SeriesRules.h"
#include "series/SeriesStore.h"
#include "store/Error.h"
#include "store/IniFile.h"
#include "store/ProgramDir.h"
#include "store/Table.h"
#include "timing/Race.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using wm::Table;
using wm::test::errorOf;
using wm::test::kNoError;

namespace {

// A series name with a blank and an apostrophe: it must work like any other.
const QString kSeries = u"O'Neil Cup 2024"_s;

QString number(const QVariant& v) {
    return v.isNull() ? u"-"_s : QString::number(v.toDouble());
}

// Writes a scored race table. An entry reads "sail|boat|name|points[|type|ys[|corrected time]]", points "-"
// for none. `started` -1 writes no race information file.
void writeRace(const wm::ProgramDir& dir, const QString& race, const QStringList& entries, int started) {
    const QString path = dir.dataDir() + race + u".db"_s;
    Table::create(path, wm::raceFields(wm::participantFields()));
    Table table;
    table.open(path);
    for (const QString& entry : entries) {
        const QStringList f = entry.split(u'|');
        table.insert({{wm::field::SEGELNR, f[0]},
                      {wm::field::BOOTSNAME, f[1]},
                      {wm::field::NAME, f[2]},
                      {wm::field::TYP, f.value(4, u"Laser"_s)},
                      {wm::field::YS, f.value(5, u"113"_s)},
                      {wm::field::START, 1},
                      {wm::field::BZEIT, f.value(6, u"00:40:00"_s)},
                      {wm::field::STATUS, 2},
                      {wm::field::Punkte, f[3] == u"-"_s ? QVariant() : QVariant(f[3].toInt())}});
    }
    if (started >= 0) {
        wm::writeStarted(dir.dataDir() + race + u".ini"_s, started);
    }
}

// The series as text, one line per row: "sail|boat|name|type|ys|total|R1,R2,...".
QStringList seriesRows(const wm::SeriesFiles& series) {
    Table table;
    wm::openSeries(table, series.tablePath);
    QStringList lines;
    for (const Table::Row& row : table.select()) {
        QStringList points;
        for (qsizetype k = wm::kSeriesFixedFields; k < row.values.size(); ++k) {
            points << number(row.values[k]);
        }
        lines << QStringList{row.values[0].toString(), row.values[1].toString(), row.values[4].toString(),
                             row.values[2].toString(), number(row.values[3]),    number(row.values[5]),
                             points.join(u',')}
                     .join(u'|');
    }
    return lines;
}

// Everything a failed append must leave as it was: fields, rows and the settings file.
QStringList snapshot(const wm::SeriesFiles& series) {
    Table table;
    wm::openSeries(table, series.tablePath);
    QStringList names;
    for (const wm::FieldDef& f : table.fields()) {
        names << f.name;
    }
    return QStringList{names.join(u','), wm::test::readFile(series.settingsPath)} + seriesRows(series);
}

} // namespace

class SeriesTest : public QObject {
    Q_OBJECT

private slots:
    void append_givesPointsAndAbsencePoints_data();
    void append_givesPointsAndAbsencePoints();
    void append_raceWithoutPoints_data();
    void append_raceWithoutPoints();
    void append_failure_leavesSeriesUnchanged_data();
    void append_failure_leavesSeriesUnchanged();
    void append_fullDisk_leavesSeriesUnchanged_data();
    void append_fullDisk_leavesSeriesUnchanged();
    void append_duplicateSeriesRows_firstOneGetsThePoints();
    void append_keepsEachEntryForScoringByPlace();
    void lists_orderRaceLinesAndGridColumns();
    void delete_keepsSettings_recreatedSeriesOverwritesStaleKeys();
    void seriesName_data();
    void seriesName();
};

void SeriesTest::append_givesPointsAndAbsencePoints_data() {
    // Each race: entries "sail|boat|name|points[|type|ys]"; a first element "Started=n" sets the race
    // information file ("Started=-": none), otherwise Started is the number of entries. "again" appends the
    // previous race once more.
    QTest::addColumn<QList<QStringList>>("races");
    QTest::addColumn<QStringList>("expected"); // "sail|boat|name|type|ys|total|R1,R2,..."

    QTest::newRow("worked example") << QList<QStringList>{{u"P|Pia|Per|2"_s, u"Q|Quo|Qed|1"_s},
                                                          {u"P|Pia|Per|1"_s, u"S|Sue|Sam|2"_s}}
                                    << QStringList{u"P|Pia|Per|Laser|113|3|2,1"_s, u"Q|Quo|Qed|Laser|113|4|1,3"_s,
                                                   u"S|Sue|Sam|Laser|113|5|3,2"_s};
    QTest::newRow("first race: rows in key order, no absence points")
        << QList<QStringList>{{u"9|Neun|N|3|Finn|104"_s, u"10|Zehn|Z|1"_s, u"10|Alpha|A|2"_s}}
        << QStringList{u"10|Alpha|A|Laser|113|2|2"_s, u"10|Zehn|Z|Laser|113|1|1"_s, u"9|Neun|N|Finn|104|3|3"_s};
    QTest::newRow("missed race 2 gets A of race 2")
        << QList<QStringList>{{u"A|a|x|1"_s, u"B|b|x|2"_s},
                              {u"Started=5"_s, u"A|a|x|1"_s},
                              {u"A|a|x|2"_s, u"B|b|x|1"_s}}
        << QStringList{u"A|a|x|Laser|113|4|1,1,2"_s, u"B|b|x|Laser|113|9|2,6,1"_s};
    QTest::newRow("first seen in race 3 gets A of race 3")
        << QList<QStringList>{{u"A|a|x|1"_s}, {u"A|a|x|1"_s}, {u"Started=4"_s, u"A|a|x|2"_s, u"D|d|x|1"_s}}
        << QStringList{u"A|a|x|Laser|113|4|1,1,2"_s, u"D|d|x|Laser|113|11|5,5,1"_s};
    QTest::newRow("same sail number, different boat names")
        << QList<QStringList>{{u"7|Alpha|X|1"_s}, {u"7|Beta|X|1"_s}}
        << QStringList{u"7|Alpha|X|Laser|113|3|1,2"_s, u"7|Beta|X|Laser|113|3|2,1"_s};
    QTest::newRow("sail numbers differing only in case")
        << QList<QStringList>{{u"ger 1|B|N|1"_s}, {u"GER 1|B|N|1"_s}}
        << QStringList{u"ger 1|B|N|Laser|113|3|1,2"_s, u"GER 1|B|N|Laser|113|3|2,1"_s};
    QTest::newRow("empty sail number and boat name match, other helmsman does not")
        << QList<QStringList>{{u"||Hein|1"_s}, {u"||Hein|2"_s, u"||Jan|1"_s}}
        << QStringList{u"||Hein|Laser|113|3|1,2"_s, u"||Jan|Laser|113|4|3,1"_s};
    QTest::newRow("same race twice adds a second column")
        << QList<QStringList>{{u"A|a|x|1"_s, u"B|b|x|2"_s}, {u"again"_s}}
        << QStringList{u"A|a|x|Laser|113|2|1,1"_s, u"B|b|x|Laser|113|4|2,2"_s};
    QTest::newRow("type and Yardstick of the first race stay")
        << QList<QStringList>{{u"1|B|N|1|Laser|113"_s}, {u"1|B|N|1|Finn|104"_s}}
        << QStringList{u"1|B|N|Laser|113|2|1,1"_s};
    QTest::newRow("no race information file: absent boat gets entries + 1")
        << QList<QStringList>{{u"A|a|x|1"_s, u"B|b|x|2"_s}, {u"Started=-"_s, u"A|a|x|1"_s}}
        << QStringList{u"A|a|x|Laser|113|2|1,1"_s, u"B|b|x|Laser|113|4|2,2"_s};
    QTest::newRow("umlauts, quotes and wildcards are plain text")
        << QList<QStringList>{{u"GER 1|Möwe|O'Neil|1"_s, u"%|_|*|2"_s}, {u"GER 1|Möwe|O'Neil|2"_s, u"%|_|*|1"_s}}
        << QStringList{u"%|_|*|Laser|113|3|2,1"_s, u"GER 1|Möwe|O'Neil|Laser|113|3|1,2"_s};
}

void SeriesTest::append_givesPointsAndAbsencePoints() {
    QFETCH(QList<QStringList>, races);
    QFETCH(QStringList, expected);
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    const wm::SeriesFiles series = wm::seriesFiles(dir, kSeries);
    wm::createSeries(series);
    QStringList raceLines;
    QString race;
    for (QStringList entries : races) {
        if (entries != QStringList{u"again"_s}) {
            int started = int(entries.size());
            if (entries.first().startsWith(u"Started="_s)) {
                const QString value = entries.takeFirst().mid(8);
                started = value == u"-"_s ? -1 : value.toInt();
            }
            race = u"WF Nr. %1"_s.arg(raceLines.size() + 1);
            writeRace(dir, race, entries, started);
        }
        const wm::AppendResult result = wm::AppendRace(dir, series, race);
        QCOMPARE(result.column, raceLines.size() + 1);
        raceLines << u"WF %1:  %2"_s.arg(result.column).arg(race);
    }
    QCOMPARE(seriesRows(series), expected);
    QCOMPARE(wm::raceListLines(series.settingsPath, int(races.size())), raceLines);
}

void SeriesTest::append_raceWithoutPoints_data() {
    QTest::addColumn<QStringList>("entries"); // "sail|boat|name|points|type|ys|corrected time"
    QTest::addColumn<QString>("error");       // empty: appended
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("finished but scoring not written: scored now")
        << QStringList{u"B|b|x|-|Laser|113|00:50:00"_s, u"C|c|x|-|Laser|113|DNF"_s, u"A|a|x|-|Laser|113|00:45:00"_s}
        << QString()
        << QStringList{u"S|s|x|Laser|113|6|2,4"_s, u"A|a|x|Laser|113|5|4,1"_s, u"B|b|x|Laser|113|6|4,2"_s,
                       u"C|c|x|Laser|113|7|4,3"_s};
    QTest::newRow("a boat still racing: refused")
        << QStringList{u"A|a|x|-|Laser|113|00:45:00"_s, u"B|b|x|-|Laser|113|"_s}
        << u"Die Wettfahrt 'Lauf' ist nicht abgeschlossen: ein Boot ist ohne Zielzeit und ohne Punkte.\n"
           u"Sie wurde nicht zur Serie hinzugefügt."_s
        << QStringList{u"S|s|x|Laser|113|2|2"_s};
    QTest::newRow("no entries: refused")
        << QStringList{} << u"Die Wettfahrt 'Lauf' hat keine Teilnehmer.\nSie wurde nicht zur Serie hinzugefügt."_s
        << QStringList{u"S|s|x|Laser|113|2|2"_s};
}

void SeriesTest::append_raceWithoutPoints() {
    QFETCH(QStringList, entries);
    QFETCH(QString, error);
    QFETCH(QStringList, expected);
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    const wm::SeriesFiles series = wm::seriesFiles(dir, kSeries);
    wm::createSeries(series);
    writeRace(dir, u"Erste"_s, {u"S|s|x|2"_s}, 2);
    wm::AppendRace(dir, series, u"Erste"_s);
    writeRace(dir, u"Lauf"_s, entries, int(entries.size()));
    if (error.isEmpty()) {
        wm::AppendRace(dir, series, u"Lauf"_s);
    } else {
        QCOMPARE(errorOf([&] { wm::AppendRace(dir, series, u"Lauf"_s); }), error);
    }
    QCOMPARE(seriesRows(series), expected);
}

void SeriesTest::append_failure_leavesSeriesUnchanged_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("error");
    QTest::newRow("race held by another program") << u"locked"_s << u"Fehler"_s;
    QTest::newRow("race missing") << u"missing"_s << u"Fehler"_s;
    QTest::newRow("settings file cannot be written after all rows") << u"settings"_s << u"*"_s;
}

void SeriesTest::append_failure_leavesSeriesUnchanged() {
    QFETCH(QString, failure);
    QFETCH(QString, error);
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    const wm::SeriesFiles series = wm::seriesFiles(dir, kSeries);
    wm::createSeries(series);
    writeRace(dir, u"Erste"_s, {u"A|a|x|1"_s, u"B|b|x|2"_s}, 2);
    wm::AppendRace(dir, series, u"Erste"_s);
    QStringList second;
    for (int i = 0; i < 50; ++i) {
        second << u"N%1|Neu|x|%1"_s.arg(i + 1);
    }
    writeRace(dir, u"Zweite"_s, second + QStringList{u"A|a|x|51"_s}, 51);
    const QStringList before = snapshot(series);

    QProcess holder;
    std::unique_ptr<wm::test::ImmutableFile> immutable;
    if (failure == u"locked"_s) {
        holder.start(QStringLiteral(TABLE_HOLDER), {u"hold"_s, dir.dataDir() + u"Zweite.db"_s});
        QVERIFY(holder.waitForStarted());
        QVERIFY(wm::test::waitForReady(holder));
    } else if (failure == u"missing"_s) {
        QVERIFY(QFile::remove(dir.dataDir() + u"Zweite.db"_s));
    } else if (failure == u"settings"_s) {
        immutable = std::make_unique<wm::test::ImmutableFile>(series.settingsPath);
        QVERIFY(immutable->ok());
    }
    QString message;
    QString detail;
    try {
        wm::AppendRace(dir, series, u"Zweite"_s);
        message = kNoError;
    } catch (const wm::RaceOpenError& e) {
        message = e.message();
        detail = e.detail();
    } catch (const wm::Error& e) {
        message = e.message();
    }
    if (error == u"*"_s) {
        QVERIFY2(message != kNoError && !message.isEmpty(), qPrintable(message));
    } else {
        QCOMPARE(message, error);
        QVERIFY2(!detail.isEmpty(), "the reason the race could not be opened is kept");
    }
    QCOMPARE(snapshot(series), before);
    if (holder.state() != QProcess::NotRunning) {
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(20000));
    }
}

void SeriesTest::append_fullDisk_leavesSeriesUnchanged_data() {
    QTest::addColumn<int>("keepBytes");
    for (const int keep : {0, 4096, 12288, 24576, 49152}) {
        QTest::addRow("%d bytes free", keep) << keep;
    }
}

void SeriesTest::append_fullDisk_leavesSeriesUnchanged() {
    QFETCH(int, keepBytes);
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    wm::test::SmallDisk disk(dir.serienDir(), 512);
    if (!disk.ok()) {
        QSKIP("needs root to mount a small tmpfs as a full disk");
    }
    const wm::SeriesFiles series = wm::seriesFiles(dir, kSeries);
    wm::createSeries(series);
    QStringList first;
    QStringList second;
    for (int i = 0; i < 600; ++i) {
        (i < 100 ? first : second) << u"GER %1|Boot mit langem Namen %1|Steuerfrau mit langem Namen|%1"_s.arg(i);
    }
    writeRace(dir, u"Erste"_s, first, int(first.size()));
    writeRace(dir, u"Zweite"_s, first + second, int(first.size() + second.size()));
    wm::AppendRace(dir, series, u"Erste"_s);
    const QStringList before = snapshot(series);

    disk.fill(keepBytes);
    QVERIFY(errorOf([&] { wm::AppendRace(dir, series, u"Zweite"_s); }) != kNoError);
    disk.release();
    QCOMPARE(snapshot(series), before);
    QCOMPARE(wm::AppendRace(dir, series, u"Zweite"_s).column, 2);
    QCOMPARE(seriesRows(series).size(), 600);
}

void SeriesTest::append_keepsEachEntryForScoringByPlace() {
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    const wm::SeriesFiles series = wm::seriesFiles(dir, kSeries);
    wm::createSeries(series);
    writeRace(dir, u"Eins"_s, {u"A|Anna|Abel|2|Laser|113|00:41:00"_s, u"B|Berta|Bauer|1|Laser|113|00:40:00"_s}, 2);
    writeRace(dir, u"Zwei"_s, {u"C|Cora|Cech|1|Laser|113|00:39:00"_s, u"A|Anna|Abel|3|Laser|113|DNE"_s}, 2);
    wm::AppendRace(dir, series, u"Eins"_s);
    wm::AppendRace(dir, series, u"Zwei"_s);
    // The race tables may go; what scoring by place needs stays with the series.
    Table::remove(dir.dataDir() + u"Eins.db"_s);
    Table::remove(dir.dataDir() + u"Zwei.db"_s);
    Table table;
    wm::openSeries(table, series.tablePath);
    QHash<qint64, QString> sails;
    for (const Table::Row& row : table.select()) {
        sails.insert(row.rowid, row.values[0].toString());
    }
    auto kept = [&](int race) {
        QStringList entries;
        for (const wm::StoredEntry& e : wm::raceEntries(table, race)) {
            entries << sails.value(e.boat) + u' ' + e.corrected;
        }
        entries.sort();
        return entries;
    };
    QCOMPARE(kept(1), (QStringList{u"A 00:41:00"_s, u"B 00:40:00"_s}));
    QCOMPARE(kept(2), (QStringList{u"A DNE"_s, u"C 00:39:00"_s}));
    QVERIFY(wm::raceEntries(table, 3).isEmpty());
    // Scored by place: A 2nd then DNE (4), B 1st then absent (DNC 4), C absent then 1st: C before B by A8.2.
    QStringList standings;
    wm::SeriesRules rules;
    rules.kind = wm::SeriesRules::Kind::AppendixA;
    for (const wm::BoatStanding& s : wm::scoreAppendixA(wm::seriesRaceEntries(table), rules)) {
        QStringList races;
        for (const wm::RaceScore& r : s.races) {
            races << QString::number(r.points) + r.code;
        }
        standings << u"%1 %2 %3"_s.arg(s.place).arg(s.net).arg(races.join(u' '));
    }
    QCOMPARE(standings, (QStringList{u"3 6 2 4DNE"_s, u"2 5 1 4DNC"_s, u"1 5 4DNC 1"_s}));
    // The documented series table is as it always was: six fields and a points column per race.
    QCOMPARE(seriesRows(series), (QStringList{u"A|Anna|Abel|Laser|113|5|2,3"_s, u"B|Berta|Bauer|Laser|113|4|1,3"_s,
                                              u"C|Cora|Cech|Laser|113|4|3,1"_s}));
}

void SeriesTest::append_duplicateSeriesRows_firstOneGetsThePoints() {
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    const wm::SeriesFiles series = wm::seriesFiles(dir, kSeries);
    wm::createSeries(series);
    {
        // Two rows of one boat, as a grid edit can leave them, and a row that names no boat.
        Table t;
        wm::openSeries(t, series.tablePath);
        for (const QString& sail : {u"7"_s, u"7"_s, QString()}) {
            t.insert({{wm::field::SEGELNR, sail},
                      {wm::field::BOOTSNAME, sail.isEmpty() ? QString() : u"b"_s},
                      {wm::field::NAME, sail.isEmpty() ? QString() : u"x"_s},
                      {wm::kPunkteTotal, 0}});
        }
    }
    writeRace(dir, u"Lauf"_s, {u"7|b|x|1"_s, u"8|b|x|2"_s}, 2);
    wm::AppendRace(dir, series, u"Lauf"_s);
    QCOMPARE(seriesRows(series),
             (QStringList{u"7|b|x||-|1|1"_s, u"7|b|x||-|3|3"_s, u"||||-|0|-"_s, u"8|b|x|Laser|113|2|2"_s}));
}

void SeriesTest::lists_orderRaceLinesAndGridColumns() {
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    for (const QString& name : {u"B"_s, u"a"_s, u"C"_s, u"Herbst 2024"_s}) {
        wm::createSeries(wm::seriesFiles(dir, name));
    }
    wm::test::writeFile(dir.serienDir() + u"C.ini"_s, "[Wettfahrten]\nR1=x\n");
    QCOMPARE(wm::seriesNames(dir), (QStringList{u"Herbst 2024"_s, u"C"_s, u"B"_s, u"a"_s}));

    writeRace(dir, u"2024-Mai-8"_s, {}, -1);
    writeRace(dir, u"abend"_s, {}, -1);
    writeRace(dir, u"Ärger & Co"_s, {}, -1);
    wm::test::writeFile(dir.dataDir() + u"abend.ini"_s, "");
    QCOMPARE(wm::raceTableNames(dir), (QStringList{u"2024-Mai-8"_s, u"abend"_s, u"Ärger & Co"_s}));

    wm::test::writeFile(dir.serienDir() + u"B.ini"_s, "[Wettfahrten]\nR1=Erste\nR3=Dritte\nR4=Alt\n");
    QCOMPARE(wm::raceListLines(dir.serienDir() + u"B.ini"_s, 3),
             (QStringList{u"WF 1:  Erste"_s, u"WF 2:  "_s, u"WF 3:  Dritte"_s}));
    QCOMPARE(wm::raceListLines(dir.serienDir() + u"fehlt.ini"_s, 1), QStringList{u"WF 1:  "_s});

    wm::FieldList fields = wm::seriesFields();
    fields << wm::FieldDef{u"R1"_s, wm::FieldType::Float, 0, false} << wm::FieldDef{u"R2"_s, wm::FieldType::Float};
    QStringList columns;
    for (const wm::SeriesColumn& c : wm::seriesGridColumns(fields, 777)) {
        columns << (c.visible ? u"%1 %2"_s.arg(c.caption).arg(c.width) : u"-"_s);
    }
    QCOMPARE(columns, (QStringList{u"Segelnr. 64"_s, u"Bootsname 129"_s, u"-"_s, u"-"_s, u"Name 129"_s, u"Gesamt 55"_s,
                                   u"R1 38"_s, u"R2 38"_s}));
}

void SeriesTest::delete_keepsSettings_recreatedSeriesOverwritesStaleKeys() {
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    const wm::SeriesFiles series = wm::seriesFiles(dir, kSeries);
    wm::createSeries(series);
    {
        Table t;
        wm::openSeries(t, series.tablePath);
        QCOMPARE(t.fields(), wm::seriesFields());
        QCOMPARE(wm::raceCount(t), 0);
    }
    QVERIFY(!QFile::exists(series.settingsPath));
    writeRace(dir, u"Eins"_s, {u"A|a|x|1"_s}, 1);
    writeRace(dir, u"Zwei"_s, {u"A|a|x|1"_s}, 1);
    wm::AppendRace(dir, series, u"Eins"_s);
    wm::AppendRace(dir, series, u"Zwei"_s);
    wm::test::writeFile(series.tablePath + u"-journal"_s, "");

    wm::deleteSeries(series);
    QVERIFY(!QFile::exists(series.tablePath));
    QVERIFY(!QFile::exists(series.tablePath + u"-journal"_s));
    QVERIFY(QFile::exists(series.settingsPath));
    QVERIFY(!wm::seriesNames(dir).contains(kSeries));
    QVERIFY(errorOf([&] { wm::AppendRace(dir, series, u"Eins"_s); }) != kNoError);

    wm::createSeries(series);
    wm::AppendRace(dir, series, u"Zwei"_s);
    QCOMPARE(wm::raceListLines(series.settingsPath, 1), QStringList{u"WF 1:  Zwei"_s});
    QCOMPARE(wm::IniFile(series.settingsPath).readString(wm::kRacesSection, u"R2"_s, {}), u"Zwei"_s);
}

void SeriesTest::seriesName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("default") << u"Serie001"_s << true;
    QTest::newRow("blanks and apostrophe") << u"Herbst's Cup 2024"_s << true;
    QTest::newRow("umlauts") << u"Mittwochsregatta Kröger"_s << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks only") << u"  "_s << false;
    QTest::newRow("slash") << u"2024/Herbst"_s << false;
    QTest::newRow("backslash") << u"2024\\Herbst"_s << false;
    QTest::newRow("parent folder") << u"../Serie"_s << false;
    QTest::newRow("dot dot") << u".."_s << false;
    QTest::newRow("line break") << u"Serie\n1"_s << false;
}

void SeriesTest::seriesName() {
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    wm::test::ProgramFolder folder;
    const wm::ProgramDir dir(folder.path());
    const QString error = errorOf([&] { wm::createSeries(wm::seriesFiles(dir, name)); });
    QCOMPARE(error == kNoError, accepted);
    QCOMPARE(QDir(dir.serienDir()).entryList(QDir::Files).size(), accepted ? 1 : 0);
    QCOMPARE(wm::seriesNames(dir), accepted ? QStringList{name} : QStringList{});
    QVERIFY(QDir(dir.dataDir()).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(SeriesTest)
#include "tst_series.moc"

#include "TestSupport.h"
#include "store/Error.h"
#include "store/Fields.h"
#include "store/Filter.h"
#include "store/IniFile.h"
#include "store/ProgramDir.h"
#include "store/RecordModel.h"
#include "store/Table.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using wm::Filter;
using wm::Table;
using wm::test::errorOf;
using wm::test::kNoError;

Q_DECLARE_METATYPE(wm::Filter)
Q_DECLARE_METATYPE(wm::Table::Mode)

namespace {

const QString kInUse = u"wird gerade von einem anderen Programm benutzt"_s;

// Every file and folder beneath dir, so a test can show that a failed call created nothing.
QStringList treeOf(const QString& dir) {
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        entries << it.next();
    }
    entries.sort();
    return entries;
}

// Null as one value: the driver gives a typed null for a field without a value.
QVariant plain(const QVariant& v) {
    return v.isNull() ? QVariant() : v;
}

QStringList keysOf(const QList<Table::Row>& rows) {
    QStringList keys;
    for (const Table::Row& r : rows) {
        keys << r.values.value(0).toString();
    }
    return keys;
}

QStringList nonBlankLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty()) {
            lines << line.trimmed();
        }
    }
    return lines;
}

QStringList rowsAsText(const Table& table) {
    QStringList rows;
    for (const Table::Row& r : table.select()) {
        QStringList values;
        for (const QVariant& v : r.values) {
            values << (v.isNull() ? u"<null>"_s : v.toString());
        }
        rows << QString::number(r.rowid) + u':' + values.join(u'|');
    }
    return rows;
}

QVariantMap entry(const QString& sail, const QString& boatName, const QString& name, const QString& type, double ys,
                  const QVariant& status, const QString& finish) {
    return {
        {wm::field::SEGELNR, sail}, {wm::field::BOOTSNAME, boatName}, {wm::field::NAME, name},   {wm::field::TYP, type},
        {wm::field::YS, ys},        {wm::field::STATUS, status},      {wm::field::GZEIT, finish}};
}

// Waits for the holder to report that it holds the lock.

// Enough rows for a list over them to span many pages: sail numbers out of rowid order, in both letter cases
// and with umlauts, names that differ only in case.
constexpr int kManyRows = 1500;
const QStringList kManyNames = {u"Möller"_s, u"MÖLLER"_s, u"Moeller"_s, u"möwe"_s};

void writeManyRows(const QString& path) {
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path);
    Table::Transaction transaction(table);
    const QStringList prefixes = {u"a"_s, u"A"_s, u"Ä"_s, u"ä"_s};
    for (int i = 0; i < kManyRows; ++i) {
        const QString number = QString::number(i * 37 % kManyRows).rightJustified(4, u'0');
        table.insert({{wm::field::SEGELNR, prefixes[i % 4] + number},
                      {wm::field::NAME, kManyNames[i / 4 % 4]},
                      {wm::field::YS, 90 + i % 30}});
    }
    transaction.commit();
}

// Rowid, sail number and name of every row, as the model lists them or as the table selects them.
QStringList listed(const wm::RecordModel& model, bool backwards) {
    QStringList rows(model.count());
    for (int i = 0; i < model.count(); ++i) {
        const int r = backwards ? model.count() - 1 - i : i;
        rows[r] = QString::number(model.rowid(r)) + u':' + model.data(model.index(r, 0)).toString() + u':' +
                  model.value(r, wm::field::NAME).toString();
    }
    return rows;
}

QStringList selected(const Table& table, const Filter& filter, bool ignoreCase, const QStringList& order) {
    QStringList rows;
    for (const Table::Row& r : table.select(filter, ignoreCase, order)) {
        rows << QString::number(r.rowid) + u':' + wm::displayText(r.values[table.fieldIndex(wm::field::SEGELNR)]) +
                    u':' + r.values[table.fieldIndex(wm::field::NAME)].toString();
    }
    return rows;
}
} // namespace

class StoreTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void displayText_data();
    void displayText();

    void filter_data();
    void filter();

    void createGivesFieldsBack();
    void createReplacesFileAndJournal();
    void removeDeletesCompanions();
    void openRefused_data();
    void openRefused();
    void textWidth_data();
    void textWidth();
    void floatField_data();
    void floatField();
    void identicalRowsStayTwo();
    void rowsInInsertionOrder();
    void addColumn();
    void uniqueIndex();
    void setAll();
    void nestedTransaction_keepsOrDropsItsOwnPart_data();
    void nestedTransaction_keepsOrDropsItsOwnPart();
    void createOverTableInUse_isRefused();

    void otherProcessCannotTakeHeldTable();
    void tableHeldByOtherProcess_data();
    void tableHeldByOtherProcess();

    void iniMissingFile();
    void iniReadBool_data();
    void iniReadBool();
    void iniUnreadable_data();
    void iniUnreadable();
    void iniWriteKeepsOtherEntries();
    void iniSectionNamesAndKeyFormat();
    void iniByteOrderMark();
    void iniSaveIntoReadOnlyFolder();
    void faultMessages_data();
    void faultMessages();
    void fullDisk_failedWritesKeepWhatWasSaved();
    void readOnlyTable_refusedForChanges();
    void damagedTable_givesGermanMessage();

    void findEntry_data();
    void findEntry();
    void programDirFolders();
    void aliasesResolve_data();
    void aliasesResolve();

    void modelRefreshKeepsCurrent();
    void modelSetData_data();
    void modelSetData();
    void pagedModel_listsRowsAsSelectDoes_data();
    void pagedModel_listsRowsAsSelectDoes();
    void pagedModel_currentRowOverPageBoundaries();
    void pagedModel_editAndDeletionOnLaterPages();

private:
    QTemporaryDir m_dir;
    QString m_filterTable;
    QString m_manyRows;
};

void StoreTest::displayText_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("fraction") << QVariant(112.5) << u"112,5"_s;
    QTest::newRow("thousands, no separator") << QVariant(1278.0) << u"1278"_s;
    QTest::newRow("large fraction") << QVariant(12345.25) << u"12345,25"_s;
    QTest::newRow("negative") << QVariant(-1500.0) << u"-1500"_s;
    QTest::newRow("text stays") << QVariant(u"1.278"_s) << u"1.278"_s;
    QTest::newRow("no value") << QVariant() << QString();
}

void StoreTest::displayText() {
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(wm::displayText(value), text);
    // Whatever else formats with the default locale (grids, reports) agrees.
    if (value.typeId() == QMetaType::Double) {
        QCOMPARE(QLocale().toString(value.toDouble(), 'g', 15), text);
    }
}

void StoreTest::initTestCase() {
    wm::useGermanLocale();
    QVERIFY(m_dir.isValid());
    m_filterTable = m_dir.filePath(u"Filter.db"_s);
    Table::create(m_filterTable, wm::participantFields());
    Table table;
    table.open(m_filterTable);
    // Keys in SEGELNR; the other fields hold the texts each filter case looks for.
    table.insert(entry(u"12"_s, u"Äbtissin"_s, u"O'Neil"_s, u"Pirat"_s, 100, 0, u"12:00:00"_s));
    table.insert(entry(u"120"_s, u"äbtissin"_s, u"O'Neill"_s, u"pirat"_s, 112.5, 1, QString()));
    table.insert(entry(u"12-A"_s, u"Möwe"_s, u"ONeil"_s, u"5%Jolle"_s, 95, 0, QString()));
    table.insert(entry(u"512"_s, u"MÖWE"_s, u"o'neil"_s, u"50er"_s, 112.4, 2, u"12:30:00"_s));
    table.insert(entry(u"A12"_s, u"Übermut"_s, u"a\\b"_s, u"axb"_s, 112.6, QVariant(), u"13:00:00"_s));
    table.insert(entry(u"12a"_s, u"übermut"_s, u"a%b"_s, u"a_bc"_s, 99.99, 0, u""_s));
    m_manyRows = m_dir.filePath(u"Viele.db"_s);
    writeManyRows(m_manyRows);
}

void StoreTest::filter_data() {
    QTest::addColumn<Filter>("filter");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QStringList>("keys");

    using wm::field::BOOTSNAME, wm::field::NAME, wm::field::SEGELNR, wm::field::TYP, wm::field::GZEIT,
        wm::field::STATUS, wm::field::YS;
    const QStringList all{u"12"_s, u"120"_s, u"12-A"_s, u"512"_s, u"A12"_s, u"12a"_s};

    QTest::newRow("prefix") << Filter::match(SEGELNR, u"12*"_s) << false
                            << QStringList{u"12"_s, u"120"_s, u"12-A"_s, u"12a"_s};
    QTest::newRow("exact") << Filter::match(SEGELNR, u"12"_s) << false << QStringList{u"12"_s};
    QTest::newRow("exact, other case") << Filter::match(SEGELNR, u"12A"_s) << false << QStringList{};
    QTest::newRow("exact, ignore case") << Filter::match(SEGELNR, u"12A"_s) << true << QStringList{u"12a"_s};
    QTest::newRow("star alone") << Filter::match(SEGELNR, u"*"_s) << false << all;

    QTest::newRow("ä prefix, ignore case")
        << Filter::match(BOOTSNAME, u"äb*"_s) << true << QStringList{u"12"_s, u"120"_s};
    QTest::newRow("Ä prefix, ignore case")
        << Filter::match(BOOTSNAME, u"ÄB*"_s) << true << QStringList{u"12"_s, u"120"_s};
    QTest::newRow("ä prefix, case-sensitive") << Filter::match(BOOTSNAME, u"äb*"_s) << false << QStringList{u"120"_s};
    QTest::newRow("ö exact, ignore case")
        << Filter::match(BOOTSNAME, u"möwe"_s) << true << QStringList{u"12-A"_s, u"512"_s};
    QTest::newRow("Ö exact, case-sensitive") << Filter::match(BOOTSNAME, u"MÖWE"_s) << false << QStringList{u"512"_s};
    QTest::newRow("ü prefix, ignore case")
        << Filter::match(BOOTSNAME, u"ÜBER*"_s) << true << QStringList{u"A12"_s, u"12a"_s};
    QTest::newRow("Ü prefix, case-sensitive") << Filter::match(BOOTSNAME, u"Über*"_s) << false << QStringList{u"A12"_s};

    QTest::newRow("quote prefix") << Filter::match(NAME, u"O'Neil*"_s) << false << QStringList{u"12"_s, u"120"_s};
    QTest::newRow("quote prefix, ignore case")
        << Filter::match(NAME, u"O'Neil*"_s) << true << QStringList{u"12"_s, u"120"_s, u"512"_s};
    QTest::newRow("quote exact") << Filter::match(NAME, u"O'Neil"_s) << false << QStringList{u"12"_s};
    QTest::newRow("percent is literal") << Filter::match(TYP, u"5%*"_s) << false << QStringList{u"12-A"_s};
    QTest::newRow("percent alone") << Filter::match(TYP, u"%"_s) << false << QStringList{};
    QTest::newRow("underscore is literal") << Filter::match(TYP, u"a_b*"_s) << false << QStringList{u"12a"_s};
    QTest::newRow("backslash is literal") << Filter::match(NAME, u"a\\b"_s) << false << QStringList{u"A12"_s};
    QTest::newRow("backslash prefix") << Filter::match(NAME, u"a\\*"_s) << true << QStringList{u"A12"_s};

    // An empty text is stored as no value, so 12a counts among the unfinished.
    QTest::newRow("is null") << Filter::isNull(GZEIT) << false << QStringList{u"120"_s, u"12-A"_s, u"12a"_s};
    QTest::newRow("is not null") << Filter::isNotNull(GZEIT) << false << QStringList{u"12"_s, u"512"_s, u"A12"_s};

    const Filter sail512 = Filter::match(SEGELNR, u"512"_s);
    const Filter unfinished = Filter::isNull(GZEIT);
    const Filter status1 = Filter::equals(STATUS, u"1"_s);
    QTest::newRow("(a or b) and c") << ((sail512 || unfinished) && status1) << false << QStringList{u"120"_s};
    QTest::newRow("a or (b and c)") << (sail512 || (unfinished && status1)) << false << QStringList{u"120"_s, u"512"_s};
    QTest::newRow("(a and b) or (c and d)") << ((Filter::match(TYP, u"PIRAT"_s) && Filter::equals(STATUS, u"0"_s)) ||
                                                (Filter::match(BOOTSNAME, u"über*"_s) && Filter::isNotNull(STATUS)))
                                            << true << QStringList{u"12"_s, u"12a"_s};
    QTest::newRow("empty filter in and") << (Filter() && Filter::match(SEGELNR, u"A12"_s)) << false
                                         << QStringList{u"A12"_s};
    QTest::newRow("empty filter") << Filter() << false << all;

    QTest::newRow("status text 0") << Filter::equals(STATUS, u"0"_s) << false
                                   << QStringList{u"12"_s, u"12-A"_s, u"12a"_s};
    QTest::newRow("status number 2") << Filter::equals(STATUS, 2) << false << QStringList{u"512"_s};
    QTest::newRow("status is null") << Filter::isNull(STATUS) << false << QStringList{u"A12"_s};
    QTest::newRow("ys between, bounds included")
        << Filter::between(YS, 100, 112.5) << false << QStringList{u"12"_s, u"120"_s, u"512"_s};
    QTest::newRow("ys between, one value") << Filter::between(YS, 99.99, 99.99) << false << QStringList{u"12a"_s};
}

void StoreTest::filter() {
    QFETCH(Filter, filter);
    QFETCH(bool, ignoreCase);
    QFETCH(QStringList, keys);

    Table table;
    table.open(m_filterTable);
    QCOMPARE(keysOf(table.select(filter, ignoreCase)), keys);
    QCOMPARE(table.count(filter, ignoreCase), keys.size());
}

void StoreTest::createGivesFieldsBack() {
    const QString path = m_dir.filePath(u"Fields.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path);
    QCOMPARE(table.fields(), wm::participantFields());

    QStringList declared;
    QSqlQuery q(table.database());
    QVERIFY(q.exec(u"PRAGMA table_info(records)"_s));
    while (q.next()) {
        declared << q.value(1).toString() + u' ' + q.value(2).toString();
    }
    QCOMPARE(declared, (QStringList{u"SEGELNR VARCHAR(20)"_s, u"BOOTSNAME VARCHAR(30)"_s, u"NAME VARCHAR(30)"_s,
                                    u"TYP VARCHAR(20)"_s, u"YS FLOAT"_s, u"START FLOAT"_s, u"GZEIT VARCHAR(20)"_s,
                                    u"BZEIT VARCHAR(20)"_s, u"STATUS FLOAT"_s}));
}

void StoreTest::createReplacesFileAndJournal() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.db"_s);
    wm::test::ProgramFolder().writeParticipants(path, {wm::test::boat(u"1"_s, u"A"_s, u"B"_s, u"C"_s, 100, 0)});
    wm::test::writeFile(path + u"-journal"_s, QByteArray(600, 'x'));

    Table::create(path, wm::participantFields());
    QVERIFY(!QFile::exists(path + u"-journal"_s));
    Table table;
    table.open(path, Table::Mode::Exclusive);
    QCOMPARE(table.count(), 0);
    QCOMPARE(table.fields(), wm::participantFields());
}

void StoreTest::removeDeletesCompanions() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.db"_s);
    Table::create(path, wm::participantFields());
    const QString other = dir.filePath(u"Lauf2.db"_s);
    Table::create(other, wm::participantFields());
    for (const QString& suffix : {u"-journal"_s, u"-wal"_s, u"-shm"_s}) {
        wm::test::writeFile(path + suffix, "x");
    }
    Table::remove(path);
    QCOMPARE(treeOf(dir.path()), QStringList{other});
    Table::remove(path); // nothing left to delete is not an error
}

void StoreTest::openRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Table::Mode>("mode");
    QTest::addColumn<QString>("message");

    for (const Table::Mode mode : {Table::Mode::Shared, Table::Mode::Exclusive}) {
        auto row = [&](const char* kind, const QString& message) {
            QTest::addRow("%s, %s", kind, mode == Table::Mode::Shared ? "shared" : "exclusive")
                << QString::fromLatin1(kind) << mode << message;
        };
        row("missing", u"existiert nicht"_s);
        row("directory", u"ist keine Tabellendatei"_s);
        row("text", u"ist keine gültige Tabellendatei"_s);
        row("binary", u"ist keine gültige Tabellendatei"_s);
        row("empty", u"ist keine gültige Tabellendatei"_s);
        row("other table", u"ist keine gültige Tabellendatei"_s);
    }
}

void StoreTest::openRefused() {
    QFETCH(QString, kind);
    QFETCH(Table::Mode, mode);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Club.db"_s);
    if (kind == u"directory"_s) {
        QVERIFY(QDir(dir.path()).mkdir(u"Club.db"_s));
    } else if (kind == u"text"_s) {
        wm::test::writeFile(path, "SEGELNR;BOOTSNAME;NAME\n12;Möwe;Meier\n");
    } else if (kind == u"binary"_s) {
        QByteArray bytes(4096, '\0');
        for (int i = 0; i < bytes.size(); ++i) {
            bytes[i] = char((i * 7919 + 13) % 251);
        }
        wm::test::writeFile(path, bytes);
    } else if (kind == u"empty"_s) {
        wm::test::writeFile(path, {});
    } else if (kind == u"other table"_s) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(u"CREATE TABLE boats (SEGELNR VARCHAR(20))"_s));
            db.close();
        }
        QSqlDatabase::removeDatabase(u"other"_s);
    }
    const QStringList before = treeOf(dir.path());
    const QByteArray content = wm::test::fileBytes(path);

    Table table;
    const QString error = errorOf([&] { table.open(path, mode); });
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY(!table.isOpen());
    QCOMPARE(treeOf(dir.path()), before);
    QCOMPARE(wm::test::fileBytes(path), content);
}

void StoreTest::textWidth_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("at the width") << u"GER 1234567890123456"_s << true;
    QTest::newRow("one over") << u"GER 12345678901234567"_s << false;
    QTest::newRow("umlauts count as one") << u"ÄÖÜäöüßÄÖÜäöüßÄÖÜäöü"_s << true;
    QTest::newRow("umlauts, one over") << u"ÄÖÜäöüßÄÖÜäöüßÄÖÜäöüß"_s << false;
}

void StoreTest::textWidth() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Breite.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path);
    const qint64 rowid = table.insert({{wm::field::SEGELNR, u"1"_s}});

    const QString insertError = errorOf([&] { table.insert({{wm::field::SEGELNR, text}}); });
    const QString updateError = errorOf([&] { table.setValue(rowid, wm::field::SEGELNR, text); });
    if (accepted) {
        QCOMPARE(insertError, kNoError);
        QCOMPARE(updateError, kNoError);
        QCOMPARE(table.value(rowid, wm::field::SEGELNR).toString(), text);
        QCOMPARE(table.count(), 2);
    } else {
        const QString expected = u"Der Wert '%1' ist für das Feld SEGELNR zu lang (höchstens 20 Zeichen)."_s.arg(text);
        QCOMPARE(insertError, expected);
        QCOMPARE(updateError, expected);
        QCOMPARE(table.value(rowid, wm::field::SEGELNR).toString(), u"1"_s);
        QCOMPARE(table.count(), 1);
    }
}

void StoreTest::floatField_data() {
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("error");

    QTest::newRow("comma") << QVariant(u"112,5"_s) << QVariant(112.5) << QString();
    QTest::newRow("point") << QVariant(u"112.5"_s) << QVariant(112.5) << QString();
    QTest::newRow("blanks around") << QVariant(u" 95 "_s) << QVariant(95.0) << QString();
    QTest::newRow("number") << QVariant(87.25) << QVariant(87.25) << QString();
    QTest::newRow("empty text is no value") << QVariant(u""_s) << QVariant() << QString();
    QTest::newRow("letters") << QVariant(u"abc"_s) << QVariant() << u"'abc' ist kein gültiger Gleitkommawert"_s;
    QTest::newRow("two commas") << QVariant(u"1,2,3"_s) << QVariant() << u"'1,2,3' ist kein gültiger Gleitkommawert"_s;
    QTest::newRow("number and text") << QVariant(u"112,5 m"_s) << QVariant()
                                     << u"'112,5 m' ist kein gültiger Gleitkommawert"_s;
    QTest::newRow("exponent") << QVariant(u"1e2"_s) << QVariant() << u"'1e2' ist kein gültiger Gleitkommawert"_s;
    QTest::newRow("infinity") << QVariant(u"inf"_s) << QVariant() << u"'inf' ist kein gültiger Gleitkommawert"_s;
}

void StoreTest::floatField() {
    QFETCH(QVariant, input);
    QFETCH(QVariant, stored);
    QFETCH(QString, error);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Zahl.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path);

    const QString message = errorOf([&] { table.insert({{wm::field::YS, input}}); });
    if (!error.isEmpty()) {
        QCOMPARE(message, error);
        QCOMPARE(table.count(), 0);
        return;
    }
    QCOMPARE(message, kNoError);
    const Table::Row row = table.select().value(0);
    QCOMPARE(plain(row.values.value(table.fieldIndex(wm::field::YS))), stored);

    // Stored as a number, so numeric comparisons and ordering hold.
    QSqlQuery q(table.database());
    QVERIFY(q.exec(u"SELECT typeof(YS) FROM records"_s) && q.next());
    QCOMPARE(q.value(0).toString(), stored.isNull() ? u"null"_s : u"real"_s);
}

void StoreTest::identicalRowsStayTwo() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Doppelt.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path, Table::Mode::Exclusive);
    const QVariantMap same = wm::test::boat(u"GER 7"_s, u"Möwe"_s, u"Meier"_s, u"Pirat"_s, 112, 1);
    const qint64 first = table.insert(same);
    const qint64 second = table.insert(same);
    QVERIFY(first != second);
    QCOMPARE(table.count(), 2);

    table.setValue(second, wm::field::GZEIT, u"12:00:00"_s);
    QVERIFY(table.value(first, wm::field::GZEIT).isNull());
    table.removeRow(first);
    QCOMPARE(table.count(), 1);
    QCOMPARE(table.select().value(0).rowid, second);
}

void StoreTest::rowsInInsertionOrder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Reihenfolge.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path);
    for (const QString& sail : {u"M"_s, u"B"_s, u"Z"_s, u"A"_s}) {
        table.insert({{wm::field::SEGELNR, sail}});
    }
    table.removeRow(table.select().value(1).rowid);
    table.insert({{wm::field::SEGELNR, u"C"_s}});
    QCOMPARE(keysOf(table.select()), (QStringList{u"M"_s, u"Z"_s, u"A"_s, u"C"_s}));
    QCOMPARE(keysOf(table.select({}, false, {wm::field::SEGELNR})), (QStringList{u"A"_s, u"C"_s, u"M"_s, u"Z"_s}));

    // The order survives closing and opening again.
    table.close();
    table.open(path);
    QCOMPARE(keysOf(table.select()), (QStringList{u"M"_s, u"Z"_s, u"A"_s, u"C"_s}));
}

void StoreTest::addColumn() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path, Table::Mode::Exclusive);
    const qint64 rowid = table.insert(wm::test::boat(u"1"_s, u"A"_s, u"B"_s, u"C"_s, 100, 0));

    const wm::FieldDef points{wm::field::Punkte, wm::FieldType::Integer, 0, false};
    table.addColumn(points);
    wm::FieldList expected = wm::participantFields();
    expected << points;
    QCOMPARE(table.fields(), expected);
    QVERIFY(table.value(rowid, wm::field::Punkte).isNull());
    table.setValue(rowid, wm::field::Punkte, u"3"_s);
    QCOMPARE(table.value(rowid, wm::field::Punkte).toInt(), 3);

    table.close();
    table.open(path);
    QCOMPARE(table.fields(), expected);
    QCOMPARE(table.value(rowid, wm::field::Punkte).toInt(), 3);
}

void StoreTest::uniqueIndex() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path, Table::Mode::Exclusive);
    const QStringList key{wm::field::SEGELNR, wm::field::BOOTSNAME, wm::field::NAME};
    const QVariantMap boat = wm::test::boat(u"GER 7"_s, u"Möwe"_s, u"Meier"_s, u"Pirat"_s, 112, 1);
    table.insert(boat);
    table.insert(boat);

    const QString duplicate = errorOf([&] { table.createIndex(u"i"_s, key, true); });
    QVERIFY2(duplicate.startsWith(u"Schlüsselverletzung in Tabelle 'Lauf.db'"_s), qPrintable(duplicate));
    QVERIFY(!table.hasIndex(u"i"_s));
    QCOMPARE(table.count(), 2);

    table.removeRow(table.select().value(1).rowid);
    table.createIndex(u"i"_s, key, true);
    QVERIFY(table.hasIndex(u"i"_s));
    const QString refused = errorOf([&] { table.insert(boat); });
    QVERIFY2(refused.startsWith(u"Schlüsselverletzung in Tabelle 'Lauf.db'"_s), qPrintable(refused));
    QCOMPARE(table.count(), 1);

    // Rebuilding, as scoring a second time does.
    table.dropIndex(u"i"_s);
    QVERIFY(!table.hasIndex(u"i"_s));
    table.createIndex(u"i"_s, key, true);
    QVERIFY(table.hasIndex(u"i"_s));
}

void StoreTest::nestedTransaction_keepsOrDropsItsOwnPart_data() {
    QTest::addColumn<bool>("innerCommits");
    QTest::addColumn<bool>("outerCommits");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("both commit") << true << true << QStringList{u"aussen"_s, u"innen"_s};
    QTest::newRow("inner rolled back") << false << true << QStringList{u"aussen"_s};
    QTest::newRow("outer rolled back") << true << false << QStringList{};
}

void StoreTest::nestedTransaction_keepsOrDropsItsOwnPart() {
    QFETCH(bool, innerCommits);
    QFETCH(bool, outerCommits);
    QFETCH(QStringList, stored);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.db"_s);
    Table::create(path, wm::participantFields());
    {
        Table table;
        table.open(path, Table::Mode::Exclusive);
        Table::Transaction outer(table);
        table.insert({{wm::field::NAME, u"aussen"_s}});
        {
            Table::Transaction inner(table);
            table.insert({{wm::field::NAME, u"innen"_s}});
            if (innerCommits) {
                inner.commit();
            }
        }
        if (outerCommits) {
            outer.commit();
        }
    }
    Table table;
    table.open(path);
    QStringList names;
    for (const Table::Row& row : table.select()) {
        names << row.values.value(table.fieldIndex(wm::field::NAME)).toString();
    }
    QCOMPARE(names, stored);
}

void StoreTest::setAll() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Alle.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path);
    for (int status : {0, 1, 2}) {
        QVariantMap values = wm::test::boat(QString::number(status), u"B"_s, u"N"_s, u"T"_s, 100, 0, status);
        values.insert(wm::field::GZEIT, u"12:00:0%1"_s.arg(status));
        table.insert(values);
    }

    table.setAll(wm::field::STATUS, u"0"_s);
    QCOMPARE(table.count(Filter::equals(wm::field::STATUS, 0)), 3);
    table.setAll(wm::field::GZEIT, u""_s);
    QCOMPARE(table.count(Filter::isNull(wm::field::GZEIT)), 3);

    const QStringList before = rowsAsText(table);
    QCOMPARE(errorOf([&] { table.setAll(wm::field::STATUS, u"abc"_s); }), u"'abc' ist kein gültiger Gleitkommawert"_s);
    QCOMPARE(rowsAsText(table), before);
}

void StoreTest::createOverTableInUse_isRefused() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Pokal.db"_s);
    wm::test::ProgramFolder().writeParticipants(path, {wm::test::boat(u"1"_s, u"A"_s, u"B"_s, u"C"_s, 100, 1)});
    Table held;
    held.open(path, Table::Mode::Exclusive);
    QVERIFY(errorOf([&] { Table::create(path, wm::participantFields()); }).contains(u"anderen Programm benutzt"_s));
    held.insert(wm::test::boat(u"2"_s, u"A"_s, u"B"_s, u"C"_s, 100, 1));
    QCOMPARE(held.count(), 2);
    held.close();
    // Once free, the table may be replaced.
    Table::create(path, wm::participantFields());
    held.open(path);
    QCOMPARE(held.count(), 0);
}

void StoreTest::otherProcessCannotTakeHeldTable() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"StarterID.db"_s);
    wm::test::ProgramFolder().writeParticipants(path, {wm::test::boat(u"1"_s, u"A"_s, u"B"_s, u"C"_s, 100, 0),
                                                       wm::test::boat(u"2"_s, u"D"_s, u"E"_s, u"F"_s, 95, 0)});

    auto tryOpen = [&] {
        QProcess holder;
        holder.start(QStringLiteral(TABLE_HOLDER), {u"try"_s, path});
        if (!holder.waitForFinished(20000)) {
            return u"<hängt>"_s;
        }
        return QString::fromUtf8(holder.readAllStandardOutput()).trimmed();
    };

    // Read before the lock is taken: closing any other descriptor of the file in this process would release
    // the process's POSIX locks, and with them the table's.
    const QByteArray content = wm::test::fileBytes(path);
    const QStringList files = treeOf(dir.path());

    Table table;
    table.open(path, Table::Mode::Exclusive);
    const QStringList rows = rowsAsText(table);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QString refused = tryOpen();
        QVERIFY2(refused.startsWith(u"error: Die Tabelle '%1' "_s.arg(path)) && refused.contains(kInUse),
                 qPrintable(refused));
    }
    QCOMPARE(treeOf(dir.path()), files);
    QCOMPARE(rowsAsText(table), rows);
    table.close();
    QCOMPARE(wm::test::fileBytes(path), content);

    QCOMPARE(tryOpen(), u"ok"_s);
    table.open(path, Table::Mode::Exclusive);
    table.insert(wm::test::boat(u"3"_s, u"G"_s, u"H"_s, u"I"_s, 90, 0));
    QCOMPARE(table.count(), 3);
}

void StoreTest::tableHeldByOtherProcess_data() {
    QTest::addColumn<Table::Mode>("mode");
    QTest::newRow("exclusive") << Table::Mode::Exclusive;
    QTest::newRow("shared") << Table::Mode::Shared;
}

void StoreTest::tableHeldByOtherProcess() {
    QFETCH(Table::Mode, mode);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"StarterID.db"_s);
    wm::test::ProgramFolder().writeParticipants(path, {wm::test::boat(u"1"_s, u"A"_s, u"B"_s, u"C"_s, 100, 0),
                                                       wm::test::boat(u"2"_s, u"D"_s, u"E"_s, u"F"_s, 95, 0)});
    QStringList rows;
    {
        Table table;
        table.open(path);
        rows = rowsAsText(table);
    }
    const QByteArray content = wm::test::fileBytes(path);
    const QStringList files = treeOf(dir.path());

    QProcess holder;
    holder.start(QStringLiteral(TABLE_HOLDER), {u"hold"_s, path});
    QVERIFY(holder.waitForStarted());
    QVERIFY2(wm::test::waitForReady(holder), holder.readAllStandardError().constData());

    Table table;
    const QString error = errorOf([&] {
        table.open(path, mode);
        table.count();
    });
    QVERIFY2(error.startsWith(u"Die Tabelle '%1' "_s.arg(path)) && error.contains(kInUse), qPrintable(error));
    QVERIFY(!table.isOpen());
    // Asking twice changes nothing either.
    QVERIFY(errorOf([&] { table.open(path, mode); }).contains(kInUse));
    QCOMPARE(wm::test::fileBytes(path), content);
    QCOMPARE(treeOf(dir.path()), files);

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(20000));
    QCOMPARE(holder.exitStatus(), QProcess::NormalExit);
    QCOMPARE(holder.exitCode(), 0);

    table.open(path, mode);
    QCOMPARE(rowsAsText(table), rows);
    table.insert(wm::test::boat(u"3"_s, u"G"_s, u"H"_s, u"I"_s, 90, 0));
    QCOMPARE(table.count(), 3);
}

void StoreTest::iniMissingFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.ini"_s);
    const wm::IniFile ini(path);
    QVERIFY(!ini.hasKey(u"General"_s, u"Name"_s));
    QCOMPARE(ini.readString(u"General"_s, u"Name"_s, u"Vorgabe"_s), u"Vorgabe"_s);
    QCOMPARE(ini.readInt(u"General"_s, u"Anzahl"_s, 7), 7);
    QCOMPARE(ini.readBool(u"General"_s, u"An"_s, true), true);
    QCOMPARE(ini.readBool(u"General"_s, u"An"_s, false), false);
    QVERIFY(!QFile::exists(path));
}

void StoreTest::iniReadBool_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");

    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("2") << QByteArray("2") << false << true;
    QTest::newRow("-1") << QByteArray("-1") << false << true;
    QTest::newRow("abc, default true") << QByteArray("abc") << true << true;
    QTest::newRow("abc, default false") << QByteArray("abc") << false << false;
    QTest::newRow("empty, default true") << QByteArray("") << true << true;
    QTest::newRow("empty, default false") << QByteArray("") << false << false;
    QTest::newRow("true is not a number") << QByteArray("true") << false << false;
}

void StoreTest::iniReadBool() {
    QFETCH(QByteArray, value);
    QFETCH(bool, def);
    QFETCH(bool, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"prefs.ini"_s);
    wm::test::writeFile(path, "[General]\nAn=" + value + "\n");
    QCOMPARE(wm::IniFile(path).readBool(u"General"_s, u"An"_s, def), expected);
}

void StoreTest::iniUnreadable_data() {
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("garbage text") << QByteArray("]]Das ist [keine\n=INI-Datei\n[[[\n\x01\x02\x03 Name\n");
    QByteArray binary("[General]\nName=Frühjahr\n");
    binary += QByteArray(32, '\0');
    binary += "\xff\xfe\x00\x01[General]\nAn=1\n";
    QTest::newRow("binary with NUL bytes") << binary;
    QTest::newRow("only NUL bytes") << QByteArray(512, '\0');
}

void StoreTest::iniUnreadable() {
    QFETCH(QByteArray, content);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"prefs.ini"_s);
    wm::test::writeFile(path, content);
    {
        wm::IniFile ini(path);
        QCOMPARE(ini.readString(u"General"_s, u"Name"_s, u"Vorgabe"_s), u"Vorgabe"_s);
        QCOMPARE(ini.readBool(u"General"_s, u"An"_s, false), false);
        QCOMPARE(ini.readInt(u"General"_s, u"Anzahl"_s, 3), 3);
        ini.writeString(u"General"_s, u"Name"_s, u"Neu"_s);
        ini.save();
    }
    QCOMPARE(wm::IniFile(path).readString(u"General"_s, u"Name"_s, {}), u"Neu"_s);
}

void StoreTest::iniWriteKeepsOtherEntries() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.ini"_s);
    wm::test::writeFile(path, "; Frühjahrsregatta\n"
                              "[Allgemein]\n"
                              "Name=Frühjahrsregatta\n"
                              "Datum=12.05.2024\n"
                              "\n"
                              "[/home/x/data/Starter/Club.db]\n"
                              "Gewertet=1\n"
                              "Unbekannt=etwas mit = darin\n"
                              "\n"
                              "[Fremd]\n"
                              "a=1\n"
                              "b=\n");
    {
        wm::IniFile ini(path);
        ini.writeString(u"Allgemein"_s, u"Datum"_s, u"13.05.2024"_s);
        ini.writeBool(u"Fremd"_s, u"c"_s, true);
        ini.writeInt(u"Neu"_s, u"Zahl"_s, -4);
        ini.save();
    }
    QCOMPARE(nonBlankLines(wm::test::readFile(path)),
             (QStringList{u"; Frühjahrsregatta"_s, u"[Allgemein]"_s, u"Name=Frühjahrsregatta"_s, u"Datum=13.05.2024"_s,
                          u"[/home/x/data/Starter/Club.db]"_s, u"Gewertet=1"_s, u"Unbekannt=etwas mit = darin"_s,
                          u"[Fremd]"_s, u"a=1"_s, u"b="_s, u"c=1"_s, u"[Neu]"_s, u"Zahl=-4"_s}));
    const wm::IniFile reread(path);
    QCOMPARE(reread.readString(u"/home/x/data/Starter/Club.db"_s, u"Unbekannt"_s, {}), u"etwas mit = darin"_s);
    QCOMPARE(reread.readInt(u"Neu"_s, u"Zahl"_s, 0), -4);
}

void StoreTest::iniSectionNamesAndKeyFormat() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"prefs.ini"_s);
    {
        wm::IniFile ini(path);
        ini.writeString(u"/home/x/data/Starter/Club.db"_s, u"Startzeit"_s, u"10:30:00"_s);
        ini.writeString(u"General"_s, u"LastSID"_s, u"Club Größe"_s);
        ini.save();
    }
    QCOMPARE(nonBlankLines(wm::test::readFile(path)),
             (QStringList{u"[/home/x/data/Starter/Club.db]"_s, u"Startzeit=10:30:00"_s, u"[General]"_s,
                          u"LastSID=Club Größe"_s}));
    const wm::IniFile reread(path);
    QCOMPARE(reread.readString(u"General"_s, u"LastSID"_s, {}), u"Club Größe"_s);
    QCOMPARE(reread.readString(u"/home/x/data/Starter/Club.db"_s, u"Startzeit"_s, {}), u"10:30:00"_s);
}

void StoreTest::iniByteOrderMark() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.ini"_s);
    wm::test::writeFile(path, "\xEF\xBB\xBF[General]\r\nName=Möwe\r\nAn=1\r\n");
    wm::IniFile ini(path);
    QCOMPARE(ini.readString(u"General"_s, u"Name"_s, {}), u"Möwe"_s);
    QCOMPARE(ini.readBool(u"General"_s, u"An"_s, false), true);
    ini.writeInt(u"General"_s, u"Anzahl"_s, 2);
    ini.save();
    const wm::IniFile reread(path);
    QCOMPARE(reread.readString(u"General"_s, u"Name"_s, {}), u"Möwe"_s);
    QCOMPARE(reread.readInt(u"General"_s, u"Anzahl"_s, 0), 2);
}

void StoreTest::iniSaveIntoReadOnlyFolder() {
    if (geteuid() == 0) {
        QSKIP("root ignores file permissions");
    }
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"nurlesen"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"nurlesen"_s));
    const QString path = folder + u"/prefs.ini"_s;
    wm::test::writeFile(path, "[General]\nName=Alt\n");
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });

    wm::IniFile ini(path);
    ini.writeString(u"General"_s, u"Name"_s, u"Neu"_s);
    const QString error = errorOf([&] { ini.save(); });
    QVERIFY2(error.startsWith(u"Die Datei '%1' konnte nicht geschrieben werden"_s.arg(path)), qPrintable(error));
    QCOMPARE(wm::IniFile(path).readString(u"General"_s, u"Name"_s, {}), u"Alt"_s);
}

void StoreTest::findEntry_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("as written") << u""_s << u"data"_s << u"data"_s;
    QTest::newRow("upper case") << u""_s << u"DATA"_s << u"data"_s;
    QTest::newRow("reports") << u""_s << u"reports"_s << u"Reports"_s;
    QTest::newRow("below data") << u"data"_s << u"starter"_s << u"data/Starter"_s;
    QTest::newRow("two levels") << u""_s << u"data/starter"_s << u"data/Starter"_s;
    QTest::newRow("three levels to a file")
        << u""_s << u"DATA/starter/starterid.db"_s << u"data/Starter/StarterID.db"_s;
    QTest::newRow("missing stays as given") << u""_s << u"Serien"_s << u"Serien"_s;
    QTest::newRow("missing below existing") << u""_s << u"data/Neu"_s << u"data/Neu"_s;
}

void StoreTest::findEntry() {
    QFETCH(QString, parent);
    QFETCH(QString, name);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"data/Starter"_s));
    QVERIFY(QDir(dir.path()).mkpath(u"Reports"_s));
    wm::test::writeFile(dir.filePath(u"data/Starter/StarterID.db"_s), "x");

    const QString base = parent.isEmpty() ? dir.path() : dir.filePath(parent);
    QCOMPARE(QDir::cleanPath(wm::ProgramDir::findEntry(base, name)), dir.filePath(expected));
}

void StoreTest::programDirFolders() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"DATA/starter"_s));
    QVERIFY(QDir(dir.path()).mkpath(u"DATA/SERIEN"_s));
    QVERIFY(QDir(dir.path()).mkpath(u"reports"_s));
    const wm::ProgramDir program(dir.path() + u'/');
    QCOMPARE(QDir::cleanPath(program.starterDir()), dir.filePath(u"DATA/starter"_s));
    QCOMPARE(QDir::cleanPath(program.serienDir()), dir.filePath(u"DATA/SERIEN"_s));
    QCOMPARE(QDir::cleanPath(program.reportsDir()), dir.filePath(u"reports"_s));
    QCOMPARE(program.prefsPath(), dir.filePath(u"prefs.ini"_s));
}

void StoreTest::aliasesResolve_data() {
    QTest::addColumn<QString>("tableName");
    QTest::addColumn<QString>("expected");

    QTest::newRow("bare name") << u"Club"_s << u"/srv/data/Starter/Club.db"_s;
    QTest::newRow("with .db") << u"Club.db"_s << u"/srv/data/Starter/Club.db"_s;
    QTest::newRow("with .DB") << u"Club.DB"_s << u"/srv/data/Starter/Club.DB"_s;
    QTest::newRow("with .Db") << u"Club.Db"_s << u"/srv/data/Starter/Club.Db"_s;
    QTest::newRow("other extension") << u"Club.dbf"_s << u"/srv/data/Starter/Club.dbf.db"_s;
    QTest::newRow("blank and point") << u"Lauf 1. Tag"_s << u"/srv/data/Starter/Lauf 1. Tag.db"_s;
    QTest::newRow("apostrophe") << u"O'Neil Cup"_s << u"/srv/data/Starter/O'Neil Cup.db"_s;
    QTest::newRow("full path") << u"/home/x/data/Starter/Club.db"_s << u"/home/x/data/Starter/Club.db"_s;
    QTest::newRow("full path, .DB") << u"/home/x/Club.DB"_s << u"/home/x/Club.DB"_s;
}

void StoreTest::aliasesResolve() {
    QFETCH(QString, tableName);
    QFETCH(QString, expected);

    wm::Aliases aliases;
    aliases.add(u"pdxStarterAlias"_s, u"/srv/data/Starter/"_s);
    QCOMPARE(aliases.resolve(u"pdxStarterAlias"_s, tableName), expected);

    // A full path needs no alias; a name does.
    const QString unknown = errorOf([&] { aliases.resolve(u"unbekannt"_s, tableName); });
    if (tableName.startsWith(u'/')) {
        QCOMPARE(unknown, kNoError);
    } else {
        QCOMPARE(unknown, u"Alias 'unbekannt' ist nicht definiert"_s);
    }
}

void StoreTest::modelRefreshKeepsCurrent() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Modell.db"_s);
    Table::create(path, wm::participantFields());
    Table table;
    table.open(path, Table::Mode::Exclusive);
    for (const QString& sail : {u"B"_s, u"D"_s, u"F"_s, u"H"_s}) {
        table.insert({{wm::field::SEGELNR, sail}});
    }
    wm::RecordModel model(table);
    model.setColumns({{wm::field::SEGELNR, u"Segelnr."_s, 60}});
    model.setOrder({wm::field::SEGELNR});
    model.refresh();
    QVERIFY(model.locate(model.rowid(2)));
    const qint64 current = model.currentRowid();
    QCOMPARE(model.currentText(wm::field::SEGELNR), u"F"_s);

    // Records before it move it down the list, but it stays current.
    table.insert({{wm::field::SEGELNR, u"A"_s}});
    table.insert({{wm::field::SEGELNR, u"C"_s}});
    model.refresh();
    QCOMPARE(model.count(), 6);
    QCOMPARE(model.current(), 4);
    QCOMPARE(model.currentRowid(), current);

    // Filtered to a list that still holds it.
    model.setFilter(Filter::match(wm::field::SEGELNR, u"f"_s) || Filter::match(wm::field::SEGELNR, u"h"_s), true);
    model.setFiltered(true);
    model.refresh();
    QCOMPARE(model.count(), 2);
    QCOMPARE(model.current(), 0);
    QCOMPARE(model.currentRowid(), current);

    // Gone from the list: some other record is current, never a stale one.
    table.removeRow(current);
    model.refresh();
    QCOMPARE(model.count(), 1);
    QCOMPARE(model.currentText(wm::field::SEGELNR), u"H"_s);
}

void StoreTest::modelSetData_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("error");

    QTest::newRow("text") << wm::field::NAME << u"Müller-Lüdenscheidt"_s << QVariant(u"Müller-Lüdenscheidt"_s)
                          << QString();
    QTest::newRow("number with comma") << wm::field::YS << u"112,5"_s << QVariant(112.5) << QString();
    QTest::newRow("cleared") << wm::field::GZEIT << u""_s << QVariant() << QString();
    QTest::newRow("too long")
        << wm::field::SEGELNR << u"GER 12345678901234567"_s << QVariant()
        << u"Der Wert 'GER 12345678901234567' ist für das Feld SEGELNR zu lang (höchstens 20 Zeichen)."_s;
    QTest::newRow("not a number") << wm::field::YS << u"schnell"_s << QVariant()
                                  << u"'schnell' ist kein gültiger Gleitkommawert"_s;
}

void StoreTest::modelSetData() {
    QFETCH(QString, field);
    QFETCH(QString, input);
    QFETCH(QVariant, stored);
    QFETCH(QString, error);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"Modell.db"_s);
    QVariantMap values = wm::test::boat(u"GER 7"_s, u"Möwe"_s, u"Meier"_s, u"Pirat"_s, 100, 0);
    values.insert(wm::field::GZEIT, u"12:00:00"_s);
    wm::test::ProgramFolder().writeParticipants(
        path, {values, wm::test::boat(u"GER 8"_s, u"Hai"_s, u"Kurz"_s, u"Pirat"_s, 95, 0)});

    Table table;
    table.open(path);
    wm::RecordModel model(table);
    model.setColumns({{wm::field::SEGELNR, u"Segelnr."_s, 60},
                      {wm::field::NAME, u"Name"_s, 100},
                      {wm::field::YS, u"YS"_s, 40},
                      {wm::field::GZEIT, u"Gesegelte Zeit"_s, 60}});
    model.refresh();
    QStringList messages;
    model.setErrorHandler([&](const QString& m) { messages << m; });
    QSignalSpy changed(&model, &wm::RecordModel::dataChanged);

    int column = -1;
    for (int c = 0; c < model.columns().size(); ++c) {
        if (model.columns()[c].field == field) {
            column = c;
        }
    }
    const QModelIndex index = model.index(0, column);
    const QString shownBefore = model.data(index).toString();
    const QVariant before = table.value(model.rowid(0), field);

    const bool accepted = model.setData(index, input);

    Table second;
    second.open(path);
    const QVariant onDisk = second.value(model.rowid(0), field);
    if (error.isEmpty()) {
        QVERIFY(accepted);
        QCOMPARE(messages, QStringList());
        QCOMPARE(plain(onDisk), stored);
        QCOMPARE(model.data(index).toString(), input);
        QCOMPARE(changed.count(), 1);
    } else {
        QVERIFY(!accepted);
        QCOMPARE(messages, QStringList{error});
        QCOMPARE(onDisk, before);
        QCOMPARE(model.data(index).toString(), shownBefore);
        QCOMPARE(changed.count(), 0);
    }
    // The other record is untouched either way.
    QCOMPARE(second.value(model.rowid(1), wm::field::SEGELNR).toString(), u"GER 8"_s);
}

void StoreTest::pagedModel_listsRowsAsSelectDoes_data() {
    QTest::addColumn<Filter>("filter");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("count");

    QTest::newRow("natural order") << Filter() << false << QStringList() << kManyRows;
    QTest::newRow("by sail number") << Filter() << false << QStringList{wm::field::SEGELNR} << kManyRows;
    QTest::newRow("name begins with mö, any case")
        << Filter::match(wm::field::NAME, u"mö*"_s) << true << QStringList{wm::field::SEGELNR} << 1124;
    QTest::newRow("name begins with mö, this case")
        << Filter::match(wm::field::NAME, u"mö*"_s) << false << QStringList() << 372;
    QTest::newRow("sail number begins with ä0, any case")
        << Filter::match(wm::field::SEGELNR, u"ä0*"_s) << true << QStringList{wm::field::NAME} << 500;
    QTest::newRow("sail number begins with ä0, this case")
        << Filter::match(wm::field::SEGELNR, u"ä0*"_s) << false << QStringList() << 250;
}

void StoreTest::pagedModel_listsRowsAsSelectDoes() {
    QFETCH(Filter, filter);
    QFETCH(bool, ignoreCase);
    QFETCH(QStringList, order);
    QFETCH(int, count);

    Table table;
    table.open(m_manyRows);
    wm::RecordModel model(table);
    model.setColumns({{wm::field::SEGELNR, u"Segelnr."_s, 60}});
    model.setFilter(filter, ignoreCase);
    model.setFiltered(true);
    model.setOrder(order);
    model.refresh();
    QCOMPARE(model.count(), count);
    const QStringList expected = selected(table, filter, ignoreCase, order);
    // From the far end first, so pages are read out of order and earlier ones again after being let go.
    QCOMPARE(listed(model, true), expected);
    QCOMPARE(listed(model, false), expected);
}

void StoreTest::pagedModel_currentRowOverPageBoundaries() {
    QTemporaryDir dir;
    Table table;
    QVERIFY(QFile::copy(m_manyRows, dir.filePath(u"Viele.db"_s)));
    table.open(dir.filePath(u"Viele.db"_s), Table::Mode::Exclusive);
    wm::RecordModel model(table);
    model.setColumns({{wm::field::SEGELNR, u"Segelnr."_s, 60}});
    model.setOrder({wm::field::SEGELNR});
    model.refresh();
    const QList<Table::Row> rows = table.select({}, false, {wm::field::SEGELNR});
    auto sail = [&](int r) { return rows[r].values.value(0).toString(); };

    for (const int r : {127, 128, 255, 256, 1023, 1024, kManyRows - 1}) {
        QVERIFY(model.locate(rows[r].rowid));
        QCOMPARE(model.current(), r);
        QCOMPARE(model.currentText(wm::field::SEGELNR), sail(r));
    }
    QVERIFY(model.locate(rows[127].rowid));
    model.next();
    QCOMPARE(model.currentText(wm::field::SEGELNR), sail(128));
    model.prior();
    QCOMPARE(model.currentText(wm::field::SEGELNR), sail(127));

    // Rows sorting before it move it onto the next page; it stays current with its own values.
    for (const QString& s : {u"01"_s, u"02"_s, u"03"_s}) {
        table.insert({{wm::field::SEGELNR, s}});
    }
    model.refresh();
    QCOMPARE(model.current(), 130);
    QCOMPARE(model.currentRowid(), rows[127].rowid);
    QCOMPARE(model.currentText(wm::field::SEGELNR), sail(127));
    QCOMPARE(model.value(0, wm::field::SEGELNR).toString(), u"01"_s);

    // Dropped from the list: the rows after it move up with their own values.
    model.dropRow(130);
    QCOMPARE(model.count(), kManyRows + 2);
    QCOMPARE(model.current(), 130);
    QCOMPARE(model.currentText(wm::field::SEGELNR), sail(128));
    QCOMPARE(model.value(129, wm::field::SEGELNR).toString(), sail(126));
    QCOMPARE(model.value(kManyRows + 1, wm::field::SEGELNR).toString(), sail(kManyRows - 1));

    // The current row deleted: the row now in its place is current, with that row's values.
    QVERIFY(model.locate(rows[1400].rowid));
    QCOMPARE(model.current(), 1402);
    table.removeRow(rows[1400].rowid);
    model.refresh();
    QCOMPARE(model.current(), 1402);
    QCOMPARE(model.currentText(wm::field::SEGELNR), sail(1399));
}

void StoreTest::pagedModel_editAndDeletionOnLaterPages() {
    QTemporaryDir dir;
    Table table;
    QVERIFY(QFile::copy(m_manyRows, dir.filePath(u"Viele.db"_s)));
    table.open(dir.filePath(u"Viele.db"_s), Table::Mode::Exclusive);
    wm::RecordModel model(table);
    model.setColumns({{wm::field::SEGELNR, u"Segelnr."_s, 60}, {wm::field::NAME, u"Name"_s, 100}});
    model.refresh();
    QSignalSpy changed(&model, &wm::RecordModel::dataChanged);
    auto shown = [&](int r, int c) { return model.data(model.index(r, c)).toString(); };

    // A row deleted after the list was read shows empty; its neighbours keep their own values.
    const int last = kManyRows - 1;
    const QString beforeLast = table.value(model.rowid(last - 1), wm::field::SEGELNR).toString();
    table.removeRow(model.rowid(last));
    QCOMPARE(shown(last, 0), QString());
    QCOMPARE(shown(last - 1, 0), beforeLast);

    const QModelIndex index = model.index(1000, 1);
    QVERIFY(model.setData(index, u"Lüders"_s));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex().row(), 1000);
    QCOMPARE(table.value(model.rowid(1000), wm::field::NAME).toString(), u"Lüders"_s);
    QCOMPARE(shown(1000, 1), u"Lüders"_s);
    QCOMPARE(shown(1001, 1), kManyNames[1001 / 4 % 4]);

    // Read again after the grid has been all over the list: the edit is what the table holds.
    listed(model, false);
    QCOMPARE(shown(1000, 1), u"Lüders"_s);
}

QTEST_GUILESS_MAIN(StoreTest)
void StoreTest::faultMessages_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");
    QTest::addColumn<bool>("notSaved");
    QTest::newRow("full disk") << 13 << u"der Datenträger ist voll"_s << true;
    QTest::newRow("read-only") << 8 << u"schreibgeschützt"_s << true;
    QTest::newRow("no permission") << 3 << u"schreibgeschützt"_s << true;
    QTest::newRow("damaged") << 11 << u"beschädigt"_s << false;
    QTest::newRow("foreign file") << 26 << u"keine gültige Tabellendatei"_s << false;
    QTest::newRow("i/o error") << 10 << u"Ein- oder Ausgabefehler"_s << true;
    QTest::newRow("cannot open") << 14 << u"kann nicht geöffnet werden"_s << true;
    QTest::newRow("busy") << 5 << kInUse << false;
    QTest::newRow("unknown") << 21 << u"Fehlercode 21"_s << true;
}

void StoreTest::faultMessages() {
    QFETCH(int, code);
    QFETCH(QString, says);
    QFETCH(bool, notSaved);
    const QString text = wm::storeErrorText(code, u"/daten/Lauf.db"_s, u"database or disk is full"_s);
    QVERIFY2(text.contains(says), qPrintable(text));
    QCOMPARE(text.contains(u"Die Änderung wurde nicht gespeichert."_s), notSaved);
    QVERIFY(!text.contains(u"database"_s));
}

void StoreTest::fullDisk_failedWritesKeepWhatWasSaved() {
    QTemporaryDir dir;
    wm::test::SmallDisk disk(dir.filePath(u"voll"_s));
    if (!disk.ok()) {
        QSKIP("needs root to mount a small tmpfs as a full disk");
    }
    const QString iniPath = dir.filePath(u"voll/prefs.ini"_s);
    const QString tablePath = dir.filePath(u"voll/Lauf.db"_s);
    {
        wm::IniFile ini(iniPath);
        ini.writeString(u"General"_s, u"LastSID"_s, u"StarterID.db"_s);
        ini.save();
    }
    Table::create(tablePath, wm::participantFields());
    Table table;
    table.open(tablePath, Table::Mode::Exclusive);
    table.insert(wm::test::boat(u"1"_s, u"A"_s, u"B"_s, u"C"_s, 100, 1));
    const QByteArray savedIni = wm::test::fileBytes(iniPath);
    disk.fill();

    wm::IniFile ini(iniPath);
    ini.writeString(u"General"_s, u"LastSID"_s, QString(8000, u'x'));
    const QString iniError = errorOf([&] { ini.save(); });
    QVERIFY2(iniError.contains(u"Der Datenträger ist voll."_s), qPrintable(iniError));
    QCOMPARE(wm::test::fileBytes(iniPath), savedIni);

    const QString tableError = errorOf([&] {
        for (int i = 0; i < 1000; ++i) {
            table.insert(wm::test::boat(QString::number(i), QString(30, u'b'), QString(30, u'n'), u"T"_s, 100, 1));
        }
    });
    QVERIFY2(tableError.contains(u"der Datenträger ist voll"_s) && tableError.contains(u"nicht gespeichert"_s),
             qPrintable(tableError));
    const int rows = table.count();
    table.close();
    disk.release();
    // What the table reported as stored is still there and whole; no temporary file is left.
    table.open(tablePath);
    QCOMPARE(table.count(), rows);
    QCOMPARE(table.read(1).values.value(0).toString(), u"1"_s);
    table.close();
    QCOMPARE(QDir(dir.filePath(u"voll"_s)).entryList(QDir::Files | QDir::Hidden),
             QStringList({u"Lauf.db"_s, u"prefs.ini"_s}));
}

void StoreTest::readOnlyTable_refusedForChanges() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"StarterID.db"_s);
    wm::test::ProgramFolder().writeParticipants(path, {wm::test::boat(u"1"_s, u"A"_s, u"B"_s, u"C"_s, 100, 1)});
    const QByteArray content = wm::test::fileBytes(path);
    wm::test::ImmutableFile readOnly(path);
    if (!readOnly.ok()) {
        QSKIP("the file cannot be made read-only here");
    }
    Table table;
    const QString error = errorOf([&] { table.open(path, Table::Mode::Exclusive); });
    QVERIFY2(error.contains(u"schreibgeschützt"_s), qPrintable(error));
    QVERIFY(!table.isOpen());
    // Reading it is still possible, and nothing was written.
    table.open(path);
    QCOMPARE(table.count(), 1);
    table.close();
    QCOMPARE(wm::test::fileBytes(path), content);
}

void StoreTest::damagedTable_givesGermanMessage() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Lauf.db"_s);
    QList<QVariantMap> boats;
    for (int i = 0; i < 400; ++i) {
        boats << wm::test::boat(QString::number(i), QString(30, u'b'), QString(30, u'n'), u"T"_s, 100, 0);
    }
    wm::test::ProgramFolder().writeParticipants(path, boats);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    // The first page stays (the schema); the pages of rows behind it are overwritten.
    file.seek(4096 + 100);
    file.write(QByteArray(3 * 4096, '\xA5'));
    file.close();
    const QString error = errorOf([&] {
        Table table;
        table.open(path);
        table.select();
    });
    QVERIFY2(error.contains(u"beschädigt"_s), qPrintable(error));
    QVERIFY(!error.contains(u"malformed"_s));
}

#include "tst_store.moc"

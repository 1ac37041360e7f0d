#include "TestSupport.h"
#include "store/Backup.h"
#include "store/Log.h"
#include "store/Table.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using wm::test::boat;

namespace {

const QDateTime kNow(QDate(2024, 6, 15), QTime(9, 30, 5));

// The relative paths of all files beneath a folder, sorted.
QStringList filesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(folder).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Everything in the data folder except the backups.
QByteArray digestBelow(const QString& folder) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& file : filesBelow(folder)) {
        if (file.startsWith(u"Sicherung/"_s)) {
            continue;
        }
        QFile f(folder + u'/' + file);
        if (f.open(QIODevice::ReadOnly)) {
            hash.addData(file.toUtf8());
            hash.addData(f.readAll());
        }
    }
    return hash.result();
}

QList<QVariantList> rowsOf(const QString& path) {
    wm::Table table;
    table.open(path);
    QList<QVariantList> rows;
    for (const wm::Table::Row& row : table.select()) {
        rows << (QVariantList{row.rowid} + row.values);
    }
    return rows;
}

// A data folder as a club's laptop holds it: the register, a race with its information file, a series with
// its settings, and something that is neither a table nor an INI file.
struct Data {
    wm::test::ProgramFolder folder;
    wm::ProgramDir dir{folder.path()};

    Data() {
        folder.writeParticipants(folder.starter(), {boat(u"GER 1"_s, u"Möwe"_s, u"Anke Brandt"_s, u"Laser"_s, 113, 1),
                                                    boat(u"GER 2"_s, u"Uhu"_s, u"Jörg O'Neill"_s, u"Pirat"_s, 113, 2),
                                                    boat(u"GER 2"_s, u"Uhu"_s, u"Jörg O'Neill"_s, u"Pirat"_s, 113, 2)});
        folder.writeParticipants(folder.data(u"Wettfahrt 1.db"_s),
                                 {boat(u"NED 7"_s, u"Kiek ut"_s, u"Ole Witt"_s, u"Finn"_s, 104, 1, 2)});
        wm::test::writeFile(folder.data(u"Wettfahrt 1.ini"_s), "[General]\nName=Wettfahrt 1\n");
        folder.writeParticipants(folder.data(u"Serien/Sommer 100%.db"_s), {boat(u"1"_s, u"_"_s, u""_s, u""_s, 1, 1)});
        wm::test::writeFile(folder.data(u"Serien/Sommer 100%.ini"_s), "[Serie]\nLaeufe=3\n");
        wm::test::writeFile(folder.data(u"notizen.txt"_s), "nicht sichern");
    }
    QString backups() const { return folder.data(u"Sicherung"_s); }
};

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void backup_copiesTablesAndIniFilesWithTheirRows_data();
    void backup_copiesTablesAndIniFilesWithTheirRows();
    void backup_skipsATableHeldByAnotherProgram();
    void backup_keepsTheNewestTwenty();
    void backup_unwritableFolder_failsWithoutPartialBackup_data();
    void backup_unwritableFolder_failsWithoutPartialBackup();
};

void BackupTest::backup_copiesTablesAndIniFilesWithTheirRows_data() {
    QTest::addColumn<QString>("starter");
    QTest::addColumn<QString>("serien");
    QTest::newRow("folders as laid out") << u"Starter"_s << u"Serien"_s;
    QTest::newRow("folders in other letter case") << u"starter"_s << u"SERIEN"_s;
}

void BackupTest::backup_copiesTablesAndIniFilesWithTheirRows() {
    QFETCH(QString, starter);
    QFETCH(QString, serien);
    Data d;
    QDir data(d.folder.data({}));
    QVERIFY(starter == u"Starter"_s || data.rename(u"Starter"_s, starter));
    QVERIFY(serien == u"Serien"_s || data.rename(u"Serien"_s, serien));
    const QByteArray before = digestBelow(d.folder.data({}));

    const wm::BackupResult first = wm::backupData(d.dir, kNow);
    QVERIFY2(first.ok(), qPrintable(first.error));
    QCOMPARE(first.notice(), QString());
    QCOMPARE(first.folder, d.backups() + u"/2024-06-15_09-30-05"_s);
    QStringList expected = {serien + u"/Sommer 100%.db"_s, serien + u"/Sommer 100%.ini"_s, starter + u"/StarterID.db"_s,
                            u"Wettfahrt 1.db"_s, u"Wettfahrt 1.ini"_s};
    expected.sort();
    QCOMPARE(filesBelow(first.folder), expected);
    QCOMPARE(first.tables, 3);
    QCOMPARE(first.iniFiles, 2);
    for (const QString& table : {u"Wettfahrt 1.db"_s, starter + u"/StarterID.db"_s, serien + u"/Sommer 100%.db"_s}) {
        QCOMPARE(rowsOf(first.folder + u'/' + table), rowsOf(d.folder.data(table)));
    }
    QCOMPARE(wm::test::readFile(first.folder + u"/Wettfahrt 1.ini"_s), u"[General]\nName=Wettfahrt 1\n"_s);

    // A second start in the same second: its own folder, and nothing of the first backup copied again.
    const wm::BackupResult second = wm::backupData(d.dir, kNow);
    QVERIFY2(second.ok(), qPrintable(second.error));
    QCOMPARE(second.folder, d.backups() + u"/2024-06-15_09-30-05_2"_s);
    QCOMPARE(filesBelow(second.folder), expected);
    QCOMPARE(entriesOf(d.backups()), QStringList({u"2024-06-15_09-30-05"_s, u"2024-06-15_09-30-05_2"_s}));
    QCOMPARE(digestBelow(d.folder.data({})), before); // the sources were only read
}

void BackupTest::backup_skipsATableHeldByAnotherProgram() {
    Data d;
    QProcess holder;
    holder.start(QStringLiteral(TABLE_HOLDER), {u"hold"_s, d.folder.starter()});
    QVERIFY(holder.waitForStarted());
    QVERIFY2(wm::test::waitForReady(holder), holder.readAllStandardError().constData());

    std::optional<wm::LogFile> log(std::in_place, d.folder.path());
    const wm::BackupResult result = wm::backupData(d.dir, kNow);
    log.reset();
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.tables, 2);
    QCOMPARE(result.skipped.size(), 1);
    QVERIFY2(result.skipped[0].contains(QDir::toNativeSeparators(d.folder.starter())), qPrintable(result.skipped[0]));
    QVERIFY(result.skipped[0].contains(u"wird gerade von einem anderen Programm benutzt"_s));
    QVERIFY(result.notice().startsWith(u"Die Sicherung der Daten ist unvollständig:\n"_s));
    // The notice goes away; the log keeps the reason for whoever looks at the laptop later.
    QVERIFY(wm::test::readFile(d.folder.path() + u"/wendemark.log"_s)
                .endsWith(wm::logLine(u"Sicherung"_s, result.skipped[0]) + u'\n'));
    // The held table is missing, not half there; the rest is complete.
    QCOMPARE(filesBelow(result.folder), QStringList({u"Serien/Sommer 100%.db"_s, u"Serien/Sommer 100%.ini"_s,
                                                     u"Wettfahrt 1.db"_s, u"Wettfahrt 1.ini"_s}));
    QCOMPARE(entriesOf(result.folder + u"/Starter"_s), QStringList());
    QCOMPARE(rowsOf(result.folder + u"/Wettfahrt 1.db"_s).size(), 1);

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(20000));
    QCOMPARE(holder.exitCode(), 0);
    QCOMPARE(rowsOf(d.folder.starter()).size(), 3);
}

void BackupTest::backup_keepsTheNewestTwenty() {
    Data d;
    QVERIFY(QDir().mkpath(d.backups() + u"/von Hand"_s)); // a folder the user made is not a backup
    QStringList names;
    for (int i = 0; i < wm::kKeptBackups; ++i) {
        const wm::BackupResult r = wm::backupData(d.dir, kNow.addDays(i));
        QVERIFY2(r.ok(), qPrintable(r.error));
        names << QFileInfo(r.folder).fileName();
    }
    QCOMPARE(entriesOf(d.backups()), names + QStringList{u"von Hand"_s});

    const wm::BackupResult twentyFirst = wm::backupData(d.dir, kNow.addDays(wm::kKeptBackups));
    QVERIFY2(twentyFirst.ok(), qPrintable(twentyFirst.error));
    names.removeFirst();
    names << u"2024-07-05_09-30-05"_s;
    QCOMPARE(entriesOf(d.backups()), names + QStringList{u"von Hand"_s});

    // A clock set back: the backup just taken stays, the oldest of the others goes.
    const wm::BackupResult early = wm::backupData(d.dir, kNow.addYears(-1));
    QVERIFY2(early.ok(), qPrintable(early.error));
    names.removeFirst();
    names.prepend(u"2023-06-15_09-30-05"_s);
    QCOMPARE(entriesOf(d.backups()), names + QStringList{u"von Hand"_s});
    QCOMPARE(filesBelow(early.folder).size(), 5);
}

void BackupTest::backup_unwritableFolder_failsWithoutPartialBackup_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only data, no backup folder yet") << u"data"_s << u"schreibgeschützt"_s;
    QTest::newRow("read-only backup folder") << u"Sicherung"_s << u"schreibgeschützt"_s;
    QTest::newRow("full disk") << u"full"_s << u"Der Datenträger ist voll."_s;
}

void BackupTest::backup_unwritableFolder_failsWithoutPartialBackup() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    Data d;
    // Bigger than the little room left on the full disk.
    QList<QVariantMap> fleet;
    for (int i = 0; i < 400; ++i) {
        fleet << boat(u"GER %1"_s.arg(i), u"Boot %1"_s.arg(i), u"Eignerin %1"_s.arg(i), u"Laser"_s, 113, 1 + i % 5);
    }
    d.folder.writeParticipants(d.folder.data(u"Wettfahrt 2.db"_s), fleet);
    QStringList before;
    std::unique_ptr<wm::test::ImmutableFile> immutable;
    std::unique_ptr<wm::test::SmallDisk> disk;
    if (kind == u"data"_s) {
        immutable = std::make_unique<wm::test::ImmutableFile>(d.folder.data({}));
    } else if (kind == u"Sicherung"_s) {
        QVERIFY(wm::backupData(d.dir, kNow.addDays(-1)).ok());
        before = entriesOf(d.backups());
        immutable = std::make_unique<wm::test::ImmutableFile>(d.backups());
    } else {
        disk = std::make_unique<wm::test::SmallDisk>(d.backups(), 64);
        if (disk->ok()) {
            disk->fill(8192);
            before = entriesOf(d.backups());
        }
    }
    if ((immutable && !immutable->ok()) || (disk && !disk->ok())) {
        QSKIP("needs root to make a folder read-only or mount a small disk");
    }
    const QByteArray sources = digestBelow(d.folder.data({}));

    const wm::BackupResult result = wm::backupData(d.dir, kNow);
    QVERIFY(!result.ok());
    QVERIFY2(result.error.startsWith(u"Die Sicherung der Daten ist fehlgeschlagen: "_s), qPrintable(result.error));
    QVERIFY2(result.error.contains(reason), qPrintable(result.error));
    QVERIFY(result.notice().startsWith(result.error));
    QCOMPARE(result.folder, QString());
    QCOMPARE(result.tables, 0);
    QCOMPARE(entriesOf(d.backups()), before);
    immutable.reset();
    disk.reset();
    QCOMPARE(digestBelow(d.folder.data({})), sources);
}

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"

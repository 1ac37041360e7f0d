#include "TestSupport.h"
#include "store/Log.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kNow(QDate(2024, 12, 24), QTime(18, 10, 5));
const QByteArray kPrefix = "2024-12-24 18:10:05  ";
const QString kMissing = u"<fehlt>"_s;

QString contentOf(const QString& path) {
    return QFile::exists(path) ? wm::test::readFile(path) : kMissing;
}

} // namespace

class TestLog : public QObject {
    Q_OBJECT

private slots:
    void logLine_oneLineOfWhereAndMessage_data();
    void logLine_oneLineOfWhereAndMessage();
    void append_rotatesBeforeTheLimit_data();
    void append_rotatesBeforeTheLimit();
    void append_unwritableFolder_failsQuietly();
    void logFile_takesOnlyTheProgramsCategories();
};

void TestLog::logLine_oneLineOfWhereAndMessage_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("line");
    QTest::newRow("one line") << u"Wendemark"_s << u"Die Tabelle 'Jörg's Boote.db' fehlt."_s
                              << u"Wendemark  Die Tabelle 'Jörg's Boote.db' fehlt."_s;
    QTest::newRow("line breaks of every kind") << u"Regatta-Verwaltung"_s << u"eins\nzwei\r\ndrei\r\rvier"_s
                                               << u"Regatta-Verwaltung  eins | zwei | drei | vier"_s;
    QTest::newRow("blank lines and trailing break")
        << u"Sicherung"_s << u"Kopf:\n\n  Grund\n"_s << u"Sicherung  Kopf: | Grund"_s;
    QTest::newRow("long message cut short")
        << u"Tabelle"_s << QString(5000, u'x') << u"Tabelle  "_s + QString(4000, u'x') + u" …"_s;
}

void TestLog::logLine_oneLineOfWhereAndMessage() {
    QFETCH(QString, where);
    QFETCH(QString, message);
    QFETCH(QString, line);
    QCOMPARE(wm::logLine(where, message), line);
}

void TestLog::append_rotatesBeforeTheLimit_data() {
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<bool>("rotated");
    const QByteArray line = kPrefix + "Sicherung  neu\n";
    const QByteArray fits(wm::kLogLimit - line.size(), 'a');
    QTest::newRow("no log yet") << QByteArray() << QByteArray() << false;
    QTest::newRow("appended to the log") << QByteArray("2024-12-23 20:00:00  Wendemark  alt\n") << QByteArray()
                                         << false;
    QTest::newRow("filled exactly to the limit") << fits << QByteArray() << false;
    QTest::newRow("one byte over the limit") << fits + 'a' << QByteArray() << true;
    QTest::newRow("older file replaced") << fits + "ab" << QByteArray("das älteste") << true;
}

void TestLog::append_rotatesBeforeTheLimit() {
    QFETCH(QByteArray, log);
    QFETCH(QByteArray, old);
    QFETCH(bool, rotated);
    QTemporaryDir dir;
    const QString logPath = dir.filePath(wm::kLogFileName);
    const QString oldPath = dir.filePath(wm::kOldLogFileName);
    if (!log.isEmpty()) {
        wm::test::writeFile(logPath, log);
    }
    if (!old.isEmpty()) {
        wm::test::writeFile(oldPath, old);
    }

    QVERIFY(wm::appendLogLine(dir.path(), u"Sicherung  neu"_s, kNow));

    const QString line = QString::fromUtf8(kPrefix) + u"Sicherung  neu\n"_s;
    QCOMPARE(contentOf(logPath), rotated ? line : QString::fromUtf8(log) + line);
    QCOMPARE(contentOf(oldPath), rotated ? QString::fromUtf8(log) : old.isEmpty() ? kMissing : QString::fromUtf8(old));
    QVERIFY(QFileInfo(logPath).size() <= wm::kLogLimit);
}

void TestLog::append_unwritableFolder_failsQuietly() {
    QTemporaryDir dir;
    wm::test::writeFile(dir.filePath(wm::kLogFileName), QByteArray(wm::kLogLimit, 'a'));
    wm::test::ImmutableFile folder(dir.path());
    if (!folder.ok()) {
        QSKIP("the folder cannot be made read-only here");
    }
    // The full log can neither be moved aside nor grow: the line is dropped, the log stays as it was.
    QVERIFY(!wm::appendLogLine(dir.path(), u"Wendemark  Fehler"_s, kNow));
    QCOMPARE(QFileInfo(dir.filePath(wm::kLogFileName)).size(), wm::kLogLimit);
    QVERIFY(!QFile::exists(dir.filePath(wm::kOldLogFileName)));
}

void TestLog::logFile_takesOnlyTheProgramsCategories() {
    QTemporaryDir dir;
    const QString logPath = dir.filePath(wm::kLogFileName);
    {
        wm::LogFile log(dir.path());
        wm::logErrorBox(u"Wettfahrt nachbearbeiten"_s, u"Die Zeit '1:0x' ist ungültig.\nBitte korrigieren."_s);
        qWarning("not the program's own");
        wm::logFailure(u"Sicherung"_s, u"Die Tabelle 'A.db' wurde nicht gesichert."_s);
    }
    wm::logFailure(u"Sicherung"_s, u"after the log was closed"_s);

    const QStringList lines = wm::test::readFile(logPath).split(u'\n');
    QCOMPARE(lines.size(), 3);
    const QRegularExpression time(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d  "_s);
    QVERIFY2(time.match(lines[0]).hasMatch() && time.match(lines[1]).hasMatch(), qPrintable(lines.join(u'\n')));
    QCOMPARE(lines[0].mid(21), u"Wettfahrt nachbearbeiten  Die Zeit '1:0x' ist ungültig. | Bitte korrigieren."_s);
    QCOMPARE(lines[1].mid(21), u"Sicherung  Die Tabelle 'A.db' wurde nicht gesichert."_s);
    QCOMPARE(lines[2], QString());
}

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"

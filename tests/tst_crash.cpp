// A finish the recorder has reported must survive the recorder being killed at any moment: a child process
// times a race and is killed with SIGKILL, then the file is checked against what it had reported.
#include "store/Error.h"
#include "store/Fields.h"
#include "store/Table.h"
#include "timing/TimeMath.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <thread>

using namespace Qt::Literals::StringLiterals;
using wm::Table;

namespace {

constexpr int kRounds = 100;
constexpr int kBoats = 300;
constexpr int kMaxDelayMs = 40;
// Now and then the killed race is timed to the end, as after a restart.
constexpr int kResumeEvery = 25;
constexpr quint32 kDefaultSeed = 20250607;
constexpr int kWaitMs = 30000;

// SEGELNR -> GZEIT as the child reported them.
using Reports = QHash<QString, QString>;

struct Output {
    Reports done;
    bool finished = false;
    QString problem;
};

Output parse(const QByteArray& bytes) {
    Output out;
    const QString text = QString::fromUtf8(bytes);
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(u' ');
        if (parts.size() == 3 && parts[0] == "done"_L1) {
            if (out.done.contains(parts[1])) {
                out.problem = u"%1 twice reported"_s.arg(parts[1]);
            }
            out.done.insert(parts[1], parts[2]);
        } else if (line == "finished"_L1) {
            out.finished = true;
        } else {
            out.problem = u"unexpected output '%1'"_s.arg(line);
        }
    }
    return out;
}

bool hasDoneLine(const QByteArray& bytes) {
    return bytes.startsWith("done ") && bytes.contains('\n');
}

struct Check {
    QString problem;
    int finished = 0;
    int unreported = 0;
};

// The file must be sound, hold every reported finish as reported, and no entry may be finished by halves.
// One finished entry may be unreported: the one committed just before the kill.
Check checkRace(const QString& path, const Reports& reported) {
    Check check;
    try {
        Table table;
        table.open(path, Table::Mode::Shared);
        QSqlQuery q(table.database());
        if (!q.exec(u"PRAGMA integrity_check"_s)) {
            check.problem = u"integrity_check failed to run"_s;
            return check;
        }
        QStringList integrity;
        while (q.next()) {
            integrity << q.value(0).toString();
        }
        if (integrity != QStringList{u"ok"_s}) {
            check.problem = u"integrity_check: "_s + integrity.join(u"; ");
            return check;
        }
        q.finish();
        const int sail = table.fieldIndex(wm::field::SEGELNR);
        const int gzeit = table.fieldIndex(wm::field::GZEIT);
        const int bzeit = table.fieldIndex(wm::field::BZEIT);
        const int ys = table.fieldIndex(wm::field::YS);
        const int status = table.fieldIndex(wm::field::STATUS);
        const QList<Table::Row> rows = table.select();
        if (rows.size() != kBoats) {
            check.problem = u"%1 entries instead of %2"_s.arg(rows.size()).arg(kBoats);
            return check;
        }
        int seen = 0;
        for (const Table::Row& row : rows) {
            const QString number = row.values.value(sail).toString();
            const QString elapsed = row.values.value(gzeit).toString();
            const QString corrected = row.values.value(bzeit).toString();
            const double state = row.values.value(status).toDouble();
            const auto it = reported.constFind(number);
            if (state == 1.0) {
                if (it != reported.cend()) {
                    check.problem = u"%1 reported as %2 but still racing"_s.arg(number, *it);
                } else if (!elapsed.isEmpty() || !corrected.isEmpty()) {
                    check.problem = u"%1 racing with times '%2' '%3'"_s.arg(number, elapsed, corrected);
                }
            } else if (state != 2.0) {
                check.problem = u"%1 has STATUS %2"_s.arg(number).arg(state);
            } else {
                ++check.finished;
                if (elapsed.isEmpty()) {
                    check.problem = u"%1 finished without a time"_s.arg(number);
                    return check;
                }
                const QString expected =
                    wm::IsMarker(elapsed) ? elapsed : wm::CorrectedTime(elapsed, row.values.value(ys).toDouble());
                if (corrected != expected) {
                    check.problem = u"%1 finished with '%2' '%3'"_s.arg(number, elapsed, corrected);
                } else if (it == reported.cend()) {
                    ++check.unreported;
                } else if (*it != elapsed) {
                    check.problem = u"%1 reported as %2 but stored as %3"_s.arg(number, *it, elapsed);
                } else {
                    ++seen;
                }
            }
            if (!check.problem.isEmpty()) {
                return check;
            }
        }
        if (seen != reported.size()) {
            check.problem = u"%1 reported finishes are not in the race"_s.arg(reported.size() - seen);
        } else if (check.unreported > 1) {
            check.problem = u"%1 finishes were never reported"_s.arg(check.unreported);
        }
    } catch (const wm::Error& e) {
        check.problem = e.message();
    }
    return check;
}

} // namespace

class CrashTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void killedWhileTiming();

private:
    QTemporaryDir m_dir;
    QString m_template;
    QString m_participants;
};

void CrashTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_template = m_dir.filePath(u"vorlage.db"_s);
    m_participants = m_dir.filePath(u"teilnehmer.db"_s);
    QProcess prepare;
    prepare.start(QStringLiteral(FINISH_RECORDER), {u"--prepare"_s, m_template, m_participants});
    QVERIFY(prepare.waitForFinished(120000));
    QVERIFY2(prepare.exitStatus() == QProcess::NormalExit && prepare.exitCode() == 0,
             prepare.readAllStandardError().constData());
    QCOMPARE(prepare.readAllStandardOutput().trimmed(), QByteArray("prepared ") + QByteArray::number(kBoats));
    const Check fresh = checkRace(m_template, {});
    QVERIFY2(fresh.problem.isEmpty(), qPrintable(fresh.problem));
    QCOMPARE(fresh.finished, 0);
}

void CrashTest::killedWhileTiming() {
    bool customSeed = false;
    const quint32 seed = quint32(qEnvironmentVariableIntValue("WM_CRASH_SEED", &customSeed));
    QRandomGenerator random(customSeed ? seed : kDefaultSeed);
    qInfo("seed %u (repeat with WM_CRASH_SEED=%u)", customSeed ? seed : kDefaultSeed, customSeed ? seed : kDefaultSeed);

    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    int attempts = 0;
    int finishesChecked = 0;
    int resumed = 0;
    int inFlight = 0;
    // A child that ran to the end before the kill is no crash; such rounds are repeated.
    while (kills < kRounds) {
        QVERIFY2(++attempts <= 2 * kRounds, "the child keeps finishing before it is killed");
        const QString path = m_dir.filePath(u"lauf-%1.db"_s.arg(attempts));
        QVERIFY(QFile::copy(m_template, path));
        const int delayMs = int(random.bounded(kMaxDelayMs + 1));

        QProcess child;
        child.start(QStringLiteral(FINISH_RECORDER), {path, m_participants});
        QVERIFY(child.waitForStarted());
        QByteArray output;
        while (!hasDoneLine(output)) {
            QVERIFY2(child.waitForReadyRead(kWaitMs), child.readAllStandardError().constData());
            output += child.readAllStandardOutput();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(kWaitMs));
        output += child.readAllStandardOutput();

        const Output out = parse(output);
        const QByteArray where = u"round %1, delay %2 ms: "_s.arg(attempts).arg(delayMs).toUtf8();
        QVERIFY2(out.problem.isEmpty(), (where + out.problem.toUtf8()).constData());
        if (child.exitStatus() == QProcess::CrashExit) {
            QVERIFY2(!out.finished, where.constData());
            ++kills;
        } else {
            QVERIFY2(out.finished && child.exitCode() == 0, (where + child.readAllStandardError()).constData());
        }
        const Check check = checkRace(path, out.done);
        QVERIFY2(check.problem.isEmpty(), (where + check.problem.toUtf8()).constData());
        finishesChecked += int(out.done.size());
        inFlight += check.unreported;

        // Timing the rest must neither lose what was stored nor time a finished boat again.
        if (kills % kResumeEvery == 0 && child.exitStatus() == QProcess::CrashExit) {
            QProcess rest;
            rest.start(QStringLiteral(FINISH_RECORDER), {path, m_participants});
            QVERIFY(rest.waitForFinished(120000));
            QVERIFY2(rest.exitStatus() == QProcess::NormalExit && rest.exitCode() == 0,
                     (where + rest.readAllStandardError()).constData());
            const Output more = parse(rest.readAllStandardOutput());
            QVERIFY2(more.problem.isEmpty() && more.finished, (where + more.problem.toUtf8()).constData());
            QCOMPARE(int(more.done.size()), kBoats - check.finished);
            Reports all = out.done;
            for (auto it = more.done.cbegin(); it != more.done.cend(); ++it) {
                QVERIFY2(!all.contains(it.key()), (where + it.key().toUtf8() + " timed twice").constData());
                all.insert(it.key(), it.value());
            }
            const Check complete = checkRace(path, all);
            QVERIFY2(complete.problem.isEmpty(), (where + complete.problem.toUtf8()).constData());
            QCOMPARE(complete.finished, kBoats);
            finishesChecked += int(more.done.size());
            ++resumed;
        }
        Table::remove(path);
    }
    qInfo("crash rounds: %d, killed mid-run: %d, killed between commit and report: %d, resumed to the end: %d, "
          "finishes checked: %d, %.1f s",
          attempts, kills, inFlight, resumed, finishesChecked, double(clock.elapsed()) / 1000.0);
}

QTEST_GUILESS_MAIN(CrashTest)
#include "tst_crash.moc"

#include "series/SeriesRules.h"
#include "store/Error.h"
#include "store/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using wm::RaceEntry;

namespace {

// A race as "40|DNF|-|41": one entry per boat, a finisher's corrected time in minutes, a code, or "-" for a
// boat of the series that did not sail it.
QList<RaceEntry> race(const QString& text) {
    QList<RaceEntry> entries;
    for (const QString& part : text.split(u'|')) {
        RaceEntry e;
        if (part == u"-"_s) {
            e.kind = RaceEntry::Kind::Absent;
        } else if (part.front().isDigit()) {
            e.kind = RaceEntry::Kind::Finished;
            e.corrected = u"00:%1:00"_s.arg(part);
        } else {
            e.kind = RaceEntry::Kind::Coded;
            e.code = part;
        }
        entries << e;
    }
    return entries;
}

// "4:1,8:2" as discard steps, "best3" as the best three only, "" for no discards.
wm::SeriesRules rules(const QString& text) {
    wm::SeriesRules r;
    r.kind = wm::SeriesRules::Kind::AppendixA;
    if (text.startsWith(u"best"_s)) {
        r.best = text.mid(4).toInt();
    } else if (!text.isEmpty()) {
        for (const QString& step : text.split(u',')) {
            r.discards << std::pair{step.section(u':', 0, 0).toInt(), step.section(u':', 1, 1).toInt()};
        }
    }
    return r;
}

// A boat's standing as "place net: score score …", a code after its points, an excluded score in parentheses.
QString standing(const wm::BoatStanding& s) {
    QStringList scores;
    for (const wm::RaceScore& r : s.races) {
        const QString text = QString::number(r.points) + r.code;
        scores << (r.excluded ? u'(' + text + u')' : text);
    }
    return u"%1 %2: %3"_s.arg(s.place).arg(s.net).arg(scores.join(u' '));
}

} // namespace

class TestSeriesRules : public QObject {
    Q_OBJECT

private slots:
    void discardsFor_data();
    void discardsFor();
    void appendixA_data();
    void appendixA();
    void settings_readAsWritten_data();
    void settings_readAsWritten();
    void settings_writeKeepsOtherSections();
};

void TestSeriesRules::discardsFor_data() {
    QTest::addColumn<QString>("rules");
    QTest::addColumn<int>("races");
    QTest::addColumn<int>("discards");
    QTest::newRow("none") << QString() << 9 << 0;
    QTest::newRow("before the first step") << u"4:1,8:2"_s << 3 << 0;
    QTest::newRow("first step") << u"4:1,8:2"_s << 4 << 1;
    QTest::newRow("between steps") << u"4:1,8:2"_s << 7 << 1;
    QTest::newRow("second step") << u"4:1,8:2"_s << 8 << 2;
    QTest::newRow("best 5 of 7") << u"best5"_s << 7 << 2;
    QTest::newRow("best 5 of 3") << u"best5"_s << 3 << 0;
    QTest::newRow("never all races") << u"1:3"_s << 2 << 2;
}

void TestSeriesRules::discardsFor() {
    QFETCH(QString, rules);
    QFETCH(int, races);
    QFETCH(int, discards);
    QCOMPARE(::rules(rules).discardsFor(races), discards);
}

void TestSeriesRules::appendixA_data() {
    QTest::addColumn<QStringList>("races");
    QTest::addColumn<QString>("rules");
    QTest::addColumn<QStringList>("standings"); // per boat, in the series' order

    QTest::newRow("equal times share the places they occupy")
        << QStringList{u"40|41|41|42"_s} << QString()
        << QStringList{u"1 1: 1"_s, u"2 2.5: 2.5"_s, u"2 2.5: 2.5"_s, u"4 4: 4"_s};
    QTest::newRow("every code scores the boats of the series + 1")
        << QStringList{u"40|DNF|DSQ|DNS|OCS|RET|UFD|BFD|NSC|DNE"_s} << QString()
        << QStringList{u"1 1: 1"_s,      u"2 11: 11DNF"_s, u"2 11: 11DSQ"_s, u"2 11: 11DNS"_s, u"2 11: 11OCS"_s,
                       u"2 11: 11RET"_s, u"2 11: 11UFD"_s, u"2 11: 11BFD"_s, u"2 11: 11NSC"_s, u"2 11: 11DNE"_s};
    QTest::newRow("a boat not in a race scores DNC, counted with the late entry")
        << QStringList{u"40|41|-"_s, u"40|41|42"_s} << QString()
        << QStringList{u"1 2: 1 1"_s, u"2 4: 2 2"_s, u"3 7: 4DNC 3"_s};
    QTest::newRow("a race without a finisher counts")
        << QStringList{u"DNF|DNS|-"_s, u"40|41|42"_s} << QString()
        << QStringList{u"1 5: 4DNF 1"_s, u"2 6: 4DNS 2"_s, u"3 7: 4DNC 3"_s};
    QTest::newRow("three races: no discard yet") << QStringList{u"40|41"_s, u"41|40"_s, u"40|41"_s} << u"4:1,8:2"_s
                                                 << QStringList{u"1 4: 1 2 1"_s, u"2 5: 2 1 2"_s};
    QTest::newRow("fourth race: the worst goes, of equal ones the earliest")
        << QStringList{u"40|41"_s, u"41|40"_s, u"40|41"_s, u"40|41"_s} << u"4:1,8:2"_s
        << QStringList{u"1 3: 1 (2) 1 1"_s, u"2 5: (2) 1 2 2"_s};
    QTest::newRow("best two of three") << QStringList{u"40|41"_s, u"41|40"_s, u"40|41"_s} << u"best2"_s
                                       << QStringList{u"1 2: 1 (2) 1"_s, u"2 3: (2) 1 2"_s};
    QTest::newRow("DNE is never discarded")
        << QStringList{u"DNE|40|41"_s, u"40|41|42"_s, u"40|41|42"_s, u"40|41|42"_s} << u"4:1"_s
        << QStringList{u"2 6: 4DNE (1) 1 1"_s, u"1 5: 1 (2) 2 2"_s, u"3 8: 2 (3) 3 3"_s};
    QTest::newRow("A8.1: the better best score")
        << QStringList{u"40|41|42|43"_s, u"43|40|41|42"_s} << QString()
        << QStringList{u"2 5: 1 4"_s, u"1 3: 2 1"_s, u"3 5: 3 2"_s, u"4 7: 4 3"_s};
    QTest::newRow("A8.2: the last race decides")
        << QStringList{u"40|41"_s, u"41|40"_s} << QString() << QStringList{u"2 3: 1 2"_s, u"1 3: 2 1"_s};
    QTest::newRow("A8.2: an excluded score decides")
        << QStringList{u"40|40|45"_s, u"40|40|45"_s, u"40|40|45"_s, u"42|41|40"_s} << u"4:1"_s
        << QStringList{u"2 4.5: 1.5 1.5 1.5 (3)"_s, u"1 4.5: 1.5 1.5 1.5 (2)"_s, u"3 7: (3) 3 3 1"_s};
    QTest::newRow("boats equal in every race share the place")
        << QStringList{u"40|40|41"_s, u"41|41|40"_s} << QString()
        << QStringList{u"2 4: 1.5 2.5"_s, u"2 4: 1.5 2.5"_s, u"1 4: 3 1"_s};
}

void TestSeriesRules::appendixA() {
    QFETCH(QStringList, races);
    QFETCH(QString, rules);
    QFETCH(QStringList, standings);
    QList<QList<RaceEntry>> entries;
    for (const QString& r : races) {
        entries << race(r);
    }
    QStringList actual;
    for (const wm::BoatStanding& s : wm::scoreAppendixA(entries, ::rules(rules))) {
        actual << standing(s);
    }
    QCOMPARE(actual, standings);
}

void TestSeriesRules::settings_readAsWritten_data() {
    QTest::addColumn<QByteArray>("section"); // [Wertung] as a person might write it
    QTest::addColumn<QString>("line");       // the rules in force, or the key named in the refusal
    QTest::newRow("no section: the sum") << QByteArray() << u"Summe der Wettfahrtpunkte"_s;
    QTest::newRow("sum") << QByteArray("Regel=Summe\n") << u"Summe der Wettfahrtpunkte"_s;
    QTest::newRow("Appendix A, two steps")
        << QByteArray("Regel=AnhangA\nStreicher=4:1,8:2\n")
        << u"Wettfahrtordnung Anhang A · nicht gesegelt/DNF/…: Gemeldete der Serie + 1 · ab 4 WF 1 Streicher · ab 8 "
           u"WF 2 Streicher · Gleichstand nach A8"_s;
    QTest::newRow("best N wins over steps")
        << QByteArray("Regel=anhanga\nStreicher=4:1\nBeste=5\n")
        << u"Wettfahrtordnung Anhang A · nicht gesegelt/DNF/…: Gemeldete der Serie + 1 · die besten 5 WF zählen · "
           u"Gleichstand nach A8"_s;
    QTest::newRow("unknown rule") << QByteArray("Regel=Low Point\n") << u"'Regel'"_s;
    QTest::newRow("steps not a number") << QByteArray("Regel=AnhangA\nStreicher=vier:1\n") << u"'Streicher'"_s;
    QTest::newRow("steps falling") << QByteArray("Regel=AnhangA\nStreicher=8:2,4:1\n") << u"'Streicher'"_s;
    QTest::newRow("as many discards as races") << QByteArray("Regel=AnhangA\nStreicher=2:2\n") << u"'Streicher'"_s;
    QTest::newRow("best negative") << QByteArray("Regel=AnhangA\nBeste=-1\n") << u"'Beste'"_s;
}

void TestSeriesRules::settings_readAsWritten() {
    QFETCH(QByteArray, section);
    QFETCH(QString, line);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Herbst.ini"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Wettfahrten]\nR1=Lauf 1\n" + (section.isEmpty() ? QByteArray() : "[Wertung]\n" + section));
    file.close();
    if (line.startsWith(u'\'')) {
        try {
            wm::readSeriesRules(path);
            QFAIL("a value that cannot be read was taken");
        } catch (const wm::Error& e) {
            QVERIFY2(e.message().contains(line) && e.message().contains(u"Herbst.ini"_s), qPrintable(e.message()));
        }
        return;
    }
    const wm::SeriesRules read = wm::readSeriesRules(path);
    QCOMPARE(wm::seriesRulesLine(read), line);
    // Written back by the program, the file reads the same.
    wm::writeSeriesRules(path, read);
    QCOMPARE(wm::seriesRulesLine(wm::readSeriesRules(path)), line);
}

void TestSeriesRules::settings_writeKeepsOtherSections() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Herbst.ini"_s);
    {
        wm::IniFile ini(path);
        ini.writeString(u"Wettfahrten"_s, u"R1"_s, u"Lauf 1"_s);
        ini.save();
    }
    wm::writeSeriesRules(path, rules(u"4:1,8:2"_s));
    const wm::IniFile ini(path);
    QCOMPARE(ini.readString(u"Wettfahrten"_s, u"R1"_s, {}), u"Lauf 1"_s);
    QCOMPARE(ini.readString(u"Wertung"_s, u"Regel"_s, {}), u"AnhangA"_s);
    QCOMPARE(ini.readString(u"Wertung"_s, u"Streicher"_s, {}), u"4:1,8:2"_s);
}

QTEST_GUILESS_MAIN(TestSeriesRules)
#include "tst_seriesrules.moc"

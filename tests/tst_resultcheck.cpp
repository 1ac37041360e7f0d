#include "store/Fields.h"
#include "timing/ResultCheck.h"

#include <QTest>

// The check before a result is published, as a plain function over the race's rows.

using namespace wm;
using namespace Qt::Literals::StringLiterals;

namespace {

// One entry a row: "sail number|boat name|Yardstick|start|elapsed|status", an empty text as no value.
QList<QVariantMap> race(const QStringList& entries) {
    QList<QVariantMap> rows;
    for (const QString& entry : entries) {
        const QStringList v = entry.split(u'|');
        auto value = [](const QString& t) { return t.isEmpty() ? QVariant() : QVariant(t); };
        rows << QVariantMap{{field::SEGELNR, v[0]},
                            {field::BOOTSNAME, v[1]},
                            {field::NAME, u"Anke"_s},
                            {field::TYP, u"Laser"_s},
                            {field::YS, v[2].isEmpty() ? QVariant() : QVariant(parseNumber(v[2]))},
                            {field::START, value(v[3])},
                            {field::GZEIT, value(v[4])},
                            {field::BZEIT, value(v[4])},
                            {field::STATUS, v[5].toDouble()}};
    }
    return rows;
}

// Start 1 and 2, every boat home in about the same time.
const QStringList kClean = {u"GER 1|Möwe|113|1|00:40:00|2"_s, u"GER 2|Wal|115|1|00:42:10|2"_s,
                            u"GER 3|Uhu|100|1|00:45:00|2"_s,  u"G 12|Nordlicht|111|2|01:02:00|2"_s,
                            u"G 17|Fisch|84|2|DNF|2"_s,       u"G 18|Kranich|95|2|00:58:30|2"_s};

} // namespace

class TestResultCheck : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useGermanLocale(); }
    void findings_data();
    void findings();
    void activeStartsOf_readsTheRaceInformationFile();
};

void TestResultCheck::findings_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<bool>>("active");
    QTest::addColumn<QStringList>("stamps");
    QTest::addColumn<QStringList>("lines");
    const QList<bool> all{true, true, true, true, true};

    QTest::newRow("clean race") << kClean << all << QStringList() << QStringList();
    QTest::newRow("codes are no times") << QStringList{u"1|A|100|1|00:40:00|2"_s, u"2|B|100|1|DSQ|2"_s,
                                                       u"3|C|100|1|RET|2"_s, u"4|D|100|1|DNE|2"_s}
                                        << all << QStringList() << QStringList();
    QTest::newRow("still racing") << QStringList{u"GER 1|Möwe|113|1||1"_s, u"GER 2|Wal|115|1|00:42:10|2"_s,
                                                 u"|Uhu|100|1||1"_s}
                                  << all << QStringList() << QStringList{u"Noch auf der Bahn: GER 1 Möwe, Uhu"_s};
    QTest::newRow("sail number twice, blanks and case aside")
        << QStringList{u"GER 1|Möwe|113|1|00:40:00|2"_s, u"ger1|Wal|115|1|00:41:00|2"_s, u"|Uhu|100|1|00:42:00|2"_s,
                       u"|Star|100|1|00:43:00|2"_s}
        << all << QStringList() << QStringList{u"Segelnummer GER 1 2-mal vergeben: GER 1 Möwe, ger1 Wal"_s};
    QTest::newRow("Yardstick missing, 0, outside, bounds kept")
        << QStringList{u"1|A||1|00:40:00|2"_s,      u"2|B|0|1|00:40:00|2"_s,  u"3|C|49,9|1|00:40:00|2"_s,
                       u"4|D|200.5|1|00:40:00|2"_s, u"5|E|50|1|00:40:00|2"_s, u"6|F|200|1|00:40:00|2"_s}
        << all << QStringList()
        << QStringList{u"Yardstick fehlt: 1 A"_s, u"Yardstick ist 0: 2 B"_s,
                       u"Yardstick außerhalb von 50 bis 200: 3 C (49,9), 4 D (200,5)"_s};
    QTest::newRow("elapsed under half and over twice the group's median")
        << QStringList{u"1|A|100|1|00:40:00|2"_s, u"2|B|100|1|00:19:59|2"_s, u"3|C|100|1|00:20:00|2"_s,
                       u"4|D|100|1|01:20:01|2"_s, u"5|E|100|1|00:40:00|2"_s, u"6|F|100|2|00:05:00|2"_s}
        << all << QStringList()
        << QStringList{u"Start 1: gesegelte Zeit 00:19:59 von 2 B liegt unter der Hälfte des Medians 00:40:00"_s,
                       u"Start 1: gesegelte Zeit 01:20:01 von 4 D liegt über dem Doppelten des Medians 00:40:00"_s};
    QTest::newRow("median of an even group is the mean of the middle two")
        << QStringList{u"1|A|100|3|00:10:00|2"_s, u"2|B|100|3|00:50:00|2"_s, u"3|C|100|3|DNF|2"_s} << all
        << QStringList()
        << QStringList{u"Start 3: gesegelte Zeit 00:10:00 von 1 A liegt unter der Hälfte des Medians 00:30:00"_s};
    QTest::newRow("start group without active start")
        << QStringList{u"1|A|100|1|00:40:00|2"_s, u"2|B|100|4|00:40:00|2"_s, u"3|C|100|4|00:41:00|2"_s}
        << QList<bool>{true, false, true, false, true} << QStringList()
        << QStringList{u"Start 4 ist nicht aktiv, hat aber Einträge: 2 B, 3 C"_s};
    QTest::newRow("stamps not assigned") << kClean << all << QStringList{u"18:42:01,250"_s, u"18:42:02,900"_s}
                                         << QStringList{u"Zeitstempel ohne Boot: 18:42:01,250, 18:42:02,900"_s};
}

void TestResultCheck::findings() {
    QFETCH(QStringList, entries);
    QFETCH(QList<bool>, active);
    QFETCH(QStringList, stamps);
    QFETCH(QStringList, lines);
    ActiveStarts starts{};
    std::copy(active.cbegin(), active.cend(), starts.begin());
    QCOMPARE(checkResult(race(entries), starts, stamps), lines);
}

void TestResultCheck::activeStartsOf_readsTheRaceInformationFile() {
    QTemporaryDir dir;
    const QString info = dir.filePath(u"Abend.ini"_s);
    QCOMPARE(activeStartsOf(info), kAllStartsActive);
    QFile file(info);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Startzeiten]\nS1=1\nS2=0\nS3=1\nS4=0\nS5=1\n");
    file.close();
    QCOMPARE(activeStartsOf(info), (ActiveStarts{true, false, true, false, true}));
}

QTEST_GUILESS_MAIN(TestResultCheck)
#include "tst_resultcheck.moc"

#include "TestSupport.h"
#include "timing/TimeMath.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;
using wm::test::errorOf;

namespace {

constexpr double kMsPerDay = 86'400'000.0;

double Hours(double h) {
    return h / 24.0;
}
double Seconds(double s) {
    return s / 86'400.0;
}

} // namespace

class TimeMathTest : public QObject {
    Q_OBJECT

private slots:
    void formatTime_data();
    void formatTime();
    void formatTimeTiesAreExact_data();
    void formatTimeTiesAreExact();
    void parseTimeAccepts_data();
    void parseTimeAccepts();
    void parseTimeRejects_data();
    void parseTimeRejects();
    void parseFloatAccepts_data();
    void parseFloatAccepts();
    void parseFloatRejects_data();
    void parseFloatRejects();
    void correctedTime_data();
    void correctedTime();
    void correctedTimeFailures_data();
    void correctedTimeFailures();
    void correctedTimeNumericYardstick();
    void markers_data();
    void markers();
    void timeToWin_data();
    void timeToWin();
    void textOrderMatchesTimeOrder();
};

void TimeMathTest::formatTime_data() {
    QTest::addColumn<double>("days");
    QTest::addColumn<QString>("expected");

    const auto tod = [](int h, int m, int s, int ms = 0) { return wm::TimeOfDay(QTime(h, m, s, ms)); };
    QTest::newRow("zero") << 0.0 << u"00:00:00"_s;
    QTest::newRow("difference") << tod(18, 15, 0) - tod(18, 10, 5) << u"00:04:55"_s;
    QTest::newRow("negative difference drops sign and ms") << tod(18, 15, 0) - tod(18, 27, 41, 600) << u"00:12:41"_s;
    QTest::newRow("time of day") << tod(23, 59, 59, 999) << u"23:59:59"_s;
    QTest::newRow("one second") << Seconds(1) << u"00:00:01"_s;
    QTest::newRow("minus one second") << -Seconds(1) << u"00:00:01"_s;
    QTest::newRow("exactly one day wraps") << 1.0 << u"00:00:00"_s;
    QTest::newRow("25 hours wraps") << Hours(25) << u"01:00:00"_s;
    QTest::newRow("many days") << 1000.0 + Hours(13.5) << u"13:30:00"_s;
    QTest::newRow("just below a second boundary stays") << Seconds(3428.9994) << u"00:57:08"_s;
    QTest::newRow("rounds to the millisecond first") << Seconds(3428.9996) << u"00:57:09"_s;
    QTest::newRow("rounding carries into the hour") << Seconds(3599.9996) << u"01:00:00"_s;
    QTest::newRow("rounding up to a full day wraps") << Seconds(86'399.9996) << u"00:00:00"_s;
    QTest::newRow("beyond 64-bit milliseconds") << std::ldexp(1.0, 60) << u"00:00:00"_s;
    QTest::newRow("large with a quarter day") << std::ldexp(1.0, 33) + 0.25 << u"06:00:00"_s;
    QTest::newRow("product overflows") << std::numeric_limits<double>::max() << u"00:00:00"_s;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << u"00:00:00"_s;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << u"00:00:00"_s;
}

void TimeMathTest::formatTime() {
    QFETCH(double, days);
    QFETCH(QString, expected);
    QCOMPARE(wm::FormatTime(days), expected);
}

// Values whose millisecond count is exactly x.5; half-way cases go to the even neighbour, in both directions.
void TimeMathTest::formatTimeTiesAreExact_data() {
    QTest::addColumn<double>("ms");
    QTest::addColumn<QString>("expected");

    QTest::newRow("999.5 ms rounds up to a second") << 999.5 << u"00:00:01"_s;
    QTest::newRow("-999.5 ms rounds away to a second") << -999.5 << u"00:00:01"_s;
    QTest::newRow("59999.5 ms") << 59'999.5 << u"00:01:00"_s;
    QTest::newRow("-3599999.5 ms") << -3'599'999.5 << u"01:00:00"_s;
    QTest::newRow("86399999.5 ms wraps") << 86'399'999.5 << u"00:00:00"_s;
}

void TimeMathTest::formatTimeTiesAreExact() {
    QFETCH(double, ms);
    QFETCH(QString, expected);
    const double days = ms / kMsPerDay;
    QCOMPARE(days * kMsPerDay, ms); // otherwise the row tests no tie at all
    QCOMPARE(wm::FormatTime(days), expected);
}

void TimeMathTest::parseTimeAccepts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");

    QTest::newRow("full") << u"18:15:00"_s << 18 * 3600 + 15 * 60;
    QTest::newRow("no leading zeros") << u"18:5:0"_s << 18 * 3600 + 5 * 60;
    QTest::newRow("hours and minutes") << u"18:05"_s << 18 * 3600 + 5 * 60;
    QTest::newRow("single digits") << u"1:2"_s << 3600 + 120;
    QTest::newRow("extra leading zeros") << u"0009:007:0003"_s << 9 * 3600 + 7 * 60 + 3;
    QTest::newRow("midnight") << u"0:0:0"_s << 0;
    QTest::newRow("last second") << u"23:59:59"_s << 86'399;
}

void TimeMathTest::parseTimeAccepts() {
    QFETCH(QString, text);
    QFETCH(int, seconds);
    QCOMPARE(wm::ParseTime(text), seconds / 86'400.0);
    QCOMPARE(wm::ParseStartTime(text), seconds / 86'400.0);
}

void TimeMathTest::parseTimeRejects_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("hour 24") << u"24:00:00"_s;
    QTest::newRow("hour 25") << u"25:00:00"_s;
    QTest::newRow("minute 60") << u"18:60"_s;
    QTest::newRow("minute 75") << u"18:75:0"_s;
    QTest::newRow("second 60") << u"18:00:60"_s;
    QTest::newRow("hour only") << u"18"_s;
    QTest::newRow("four parts") << u"1:2:3:4"_s;
    QTest::newRow("empty part") << u"18::00"_s;
    QTest::newRow("trailing colon") << u"18:00:"_s;
    QTest::newRow("sign") << u"+1:00:00"_s;
    QTest::newRow("leading blank") << u" 18:00:00"_s;
    QTest::newRow("trailing blank") << u"18:00:00 "_s;
    QTest::newRow("fraction") << u"18:00:00.5"_s;
    QTest::newRow("non-ASCII digits") << u"\u0661\u0662:00"_s;
    QTest::newRow("huge hour does not wrap") << u"4294967314:00"_s;
}

void TimeMathTest::parseTimeRejects() {
    QFETCH(QString, text);
    QCOMPARE(errorOf([&] { wm::ParseTime(text); }), u"'%1' ist keine gültige Uhrzeit"_s.arg(text));
    QCOMPARE(errorOf([&] { wm::ParseStartTime(text); }), u"'%1' ist kein gültiger Datums- und Zeitwert"_s.arg(text));
}

void TimeMathTest::parseFloatAccepts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("comma") << u"112,5"_s << 112.5;
    QTest::newRow("point") << u"112.5"_s << 112.5;
    QTest::newRow("integer") << u"98"_s << 98.0;
    QTest::newRow("blanks around") << u" 98 "_s << 98.0;
    QTest::newRow("minus") << u"-3,25"_s << -3.25;
    QTest::newRow("plus") << u"+7"_s << 7.0;
    QTest::newRow("leading separator") << u",5"_s << 0.5;
}

void TimeMathTest::parseFloatAccepts() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(wm::ParseFloat(text), expected);
}

void TimeMathTest::parseFloatRejects_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("letters") << u"abc"_s;
    QTest::newRow("trailing letter") << u"12a"_s;
    QTest::newRow("thousands and decimal") << u"1.000,5"_s;
    QTest::newRow("inner blank") << u"1 000"_s;
    QTest::newRow("separator only") << u","_s;
    QTest::newRow("sign only") << u"-"_s;
    QTest::newRow("infinity") << u"inf"_s;
    QTest::newRow("out of range") << u"1"_s + QString(400, u'0');
}

void TimeMathTest::parseFloatRejects() {
    QFETCH(QString, text);
    QCOMPARE(errorOf([&] { wm::ParseFloat(text); }), u"'%1' ist kein gültiger Gleitkommawert"_s.arg(text));
}

void TimeMathTest::correctedTime_data() {
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QString>("yardstick");
    QTest::addColumn<QString>("expected");

    QTest::newRow("faster class") << u"01:00:00"_s << u"105"_s << u"00:57:08"_s;
    QTest::newRow("slower class") << u"01:00:00"_s << u"98"_s << u"01:01:13"_s;
    QTest::newRow("neutral") << u"01:00:00"_s << u"100"_s << u"01:00:00"_s;
    QTest::newRow("112") << u"00:45:30"_s << u"112"_s << u"00:40:37"_s;
    QTest::newRow("87.5 exact minute") << u"00:45:30"_s << u"87.5"_s << u"00:52:00"_s;
    QTest::newRow("95") << u"02:10:07"_s << u"95"_s << u"02:16:57"_s;
    QTest::newRow("105 again") << u"00:47:12"_s << u"105"_s << u"00:44:57"_s;
    QTest::newRow("112,5") << u"01:00:00"_s << u"112,5"_s << u"00:53:20"_s;
    QTest::newRow("short elapsed form") << u"1:0"_s << u"100"_s << u"01:00:00"_s;
    QTest::newRow("negative yardstick drops sign") << u"01:00:00"_s << u"-100"_s << u"01:00:00"_s;
    QTest::newRow("DNF passes through") << u"DNF"_s << u"105"_s << u"DNF"_s;
    QTest::newRow("DSQ ignores bad yardstick") << u"DSQ"_s << u"abc"_s << u"DSQ"_s;
}

void TimeMathTest::correctedTime() {
    QFETCH(QString, elapsed);
    QFETCH(QString, yardstick);
    QFETCH(QString, expected);
    QCOMPARE(wm::CorrectedTime(elapsed, yardstick), expected);
}

void TimeMathTest::correctedTimeFailures_data() {
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QString>("yardstick");
    QTest::addColumn<QString>("message");

    QTest::newRow("zero") << u"01:00:00"_s << u"0"_s << u"Gleitkommadivision durch Null"_s;
    QTest::newRow("minus zero") << u"01:00:00"_s << u"-0"_s << u"Gleitkommadivision durch Null"_s;
    QTest::newRow("empty yardstick") << u"01:00:00"_s << QString() << u"'' ist kein gültiger Gleitkommawert"_s;
    QTest::newRow("letters") << u"01:00:00"_s << u"abc"_s << u"'abc' ist kein gültiger Gleitkommawert"_s;
    QTest::newRow("bad time") << u"25:00:00"_s << u"100"_s << u"'25:00:00' ist keine gültige Uhrzeit"_s;
    QTest::newRow("bad time before bad yardstick")
        << u"25:00:00"_s << u"0"_s << u"'25:00:00' ist keine gültige Uhrzeit"_s;
    QTest::newRow("empty time") << QString() << u"100"_s << u"'' ist keine gültige Uhrzeit"_s;
    QTest::newRow("lower-case marker is no marker") << u"dnf"_s << u"100"_s << u"'dnf' ist keine gültige Uhrzeit"_s;
}

void TimeMathTest::correctedTimeFailures() {
    QFETCH(QString, elapsed);
    QFETCH(QString, yardstick);
    QFETCH(QString, message);
    QCOMPARE(errorOf([&] { wm::CorrectedTime(elapsed, yardstick); }), message);
}

void TimeMathTest::correctedTimeNumericYardstick() {
    QCOMPARE(wm::CorrectedTime(u"01:00:00"_s, 105.0), u"00:57:08"_s);
    QCOMPARE(wm::CorrectedTime(u"00:45:30"_s, 87.5), u"00:52:00"_s);
    QCOMPARE(wm::CorrectedTime(wm::kDsq, 0.0), wm::kDsq);
    QCOMPARE(errorOf([] { wm::CorrectedTime(u"01:00:00"_s, 0.0); }), u"Gleitkommadivision durch Null"_s);
}

void TimeMathTest::markers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marker");

    QTest::newRow("DNF") << wm::kDnf << true;
    QTest::newRow("DSQ") << wm::kDsq << true;
    QTest::newRow("lower case") << u"dnf"_s << false;
    QTest::newRow("leading blank") << u" DNF"_s << false;
    QTest::newRow("the other codes of a race sheet") << u"DNS"_s << true;
    QTest::newRow("DNE") << u"DNE"_s << true;
    QTest::newRow("DNC is never stored") << u"DNC"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TimeMathTest::markers() {
    QFETCH(QString, text);
    QFETCH(bool, marker);
    QCOMPARE(wm::IsMarker(text), marker);
}

// Result lists sort corrected times as plain text; this only works because of the fixed-width format and
// because the markers sort after every time.
void TimeMathTest::textOrderMatchesTimeOrder() {
    QVERIFY(u"09:59:59"_s < u"10:00:00"_s);
    QVERIFY(wm::FormatTime(Seconds(35'999)) < wm::FormatTime(Seconds(36'000)));
    QVERIFY(u"23:59:59"_s < wm::kDnf);
    QVERIFY(wm::kDnf < wm::kDsq);
}

void TimeMathTest::timeToWin_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("corrected"); // the finishers so far
    QTest::addColumn<double>("yardstick");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("line"); // empty: nothing to show

    QTest::newRow("the example") << "18:05:00" << QStringList{u"01:24:13"_s, u"01:30:00"_s} << 110.0 << "19:35:32"
                                 << "Zeit zum Sieg: 19:37:38 (noch 00:02:06)";
    QTest::newRow("cut to the second") << "18:00:00" << QStringList{u"00:00:10"_s} << 105.0 << "18:00:00"
                                       << "Zeit zum Sieg: 18:00:10 (noch 00:00:10)";
    QTest::newRow("codes are no leader") << "18:00:00" << QStringList{u"DNF"_s, u"DSQ"_s, u""_s} << 100.0 << "18:00:00"
                                         << "";
    QTest::newRow("the time has passed") << "18:00:00" << QStringList{u"DNF"_s, u"00:30:00"_s} << 100.0 << "18:31:00"
                                         << "Zeit zum Sieg: 18:30:00 (vorbei)";
    QTest::newRow("no yardstick") << "18:00:00" << QStringList{u"00:30:00"_s} << 0.0 << "18:00:00"
                                  << "";
}

void TimeMathTest::timeToWin() {
    QFETCH(QString, start);
    QFETCH(QStringList, corrected);
    QFETCH(double, yardstick);
    QFETCH(QString, now);
    QFETCH(QString, line);
    const std::optional<double> deadline =
        wm::timeToWin(wm::ParseTime(start), wm::leadingCorrected(corrected), yardstick);
    QCOMPARE(deadline ? wm::timeToWinLine(*deadline, wm::ParseTime(now)) : QString(), line);
}

QTEST_GUILESS_MAIN(TimeMathTest)
#include "tst_timemath.moc"

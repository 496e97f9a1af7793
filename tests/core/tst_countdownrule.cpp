// The countdown's minute step as a pure function of the two clocks: the time of day, which
// the student sees and which may be adjusted, and the real time since the start.
#include "core/Countdown.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTime>

using namespace kelvo::countdown;

namespace
{

// A computer: real time runs on; the clock shows real time plus an offset that adjustments
// change. Ticks come about once a second.
struct Machine {
    qint64 realMs = 0;  // since the start
    qint64 clockMs = 0; // time of day at the start, then moved by ticks and adjustments
    Steps steps;
    int maxExcess = 0; // largest steps.taken - (whole real minutes + 1) seen

    explicit Machine(QTime startAt) : clockMs(startAt.msecsSinceStartOfDay())
    {
        steps = start(timeOfDay(), realMs);
    }
    int timeOfDay() const { return int((clockMs % 86'400'000 + 86'400'000) % 86'400'000); }
    // Real time passes by ms (the clock with it, plus drift), then a tick reads the clocks.
    bool tick(qint64 ms, qint64 drift = 0)
    {
        realMs += ms;
        clockMs += ms + drift;
        const Tick t = kelvo::countdown::tick(steps, timeOfDay(), realMs);
        steps = t.next;
        const bool stepped = t.stepped;
        maxExcess = std::max(maxExcess, steps.taken - int(realMs / 60'000 + 1));
        return stepped;
    }
    void adjust(qint64 ms) { clockMs += ms; }
    // Ticks once a second until sixty steps are taken; the real time that took, or -1.
    qint64 runOut(qint64 limitMs = 3 * 3600 * 1000)
    {
        while (steps.taken < 60 && realMs < limitMs)
            tick(1000);
        return steps.taken == 60 ? realMs : -1;
    }
};

} // namespace

class TestCountdownRule : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stepsAtTheClocksFullMinutes();
    void clockSteppedBackAcrossAMinuteCostsNothing();
    void slewsAroundEveryMinuteOfAnHour_data();
    void slewsAroundEveryMinuteOfAnHour();
    void minuteWithoutOrWithTwoTicksAtSecondZeroCountsOnce();
    void clockSetForwardOrBackCostsAtMostOneMinute_data();
    void clockSetForwardOrBackCostsAtMostOneMinute();
    void aRacingClockNeverOutrunsRealTime();
    void noTimeOfDayTakesNoStep();
};

void TestCountdownRule::stepsAtTheClocksFullMinutes()
{
    Machine m(QTime(10, 15, 30, 250));
    QList<int> stepsAt; // seconds of real time at each step
    while (m.steps.taken < 60) {
        if (m.tick(1000))
            stepsAt << int(m.realMs / 1000);
    }
    QCOMPARE(stepsAt.size(), 60);
    // The first at the first tick in 10:16, then one every sixty ticks.
    QCOMPARE(stepsAt.first(), 30);
    for (int i = 1; i < stepsAt.size(); ++i)
        QCOMPARE(stepsAt.at(i) - stepsAt.at(i - 1), 60);
    QCOMPARE(m.maxExcess, 0);
}

// Time synchronisation steps the clock back a little, just after a minute began: ticks at
// 10:16:00.1, 10:15:59.8 and 10:16:00.8 take the one minute of 10:16 only once.
void TestCountdownRule::clockSteppedBackAcrossAMinuteCostsNothing()
{
    Machine m(QTime(10, 15, 30));
    for (int i = 0; i < 29; ++i)
        QVERIFY(!m.tick(1000));   // 10:15:59
    QVERIFY(m.tick(1100));        // 10:16:00.1
    QVERIFY(!m.tick(700, -1000)); // 10:15:59.8
    QVERIFY(!m.tick(1000));       // 10:16:00.8
    QCOMPARE(m.steps.taken, 1);
    QVERIFY(!m.tick(1000));
    // The next minute of the clock counts as usual.
    for (int i = 0; i < 58; ++i)
        QVERIFY(!m.tick(1000));
    QVERIFY(m.tick(1000)); // 10:17:00.8
    QCOMPARE(m.steps.taken, 2);
}

void TestCountdownRule::slewsAroundEveryMinuteOfAnHour_data()
{
    QTest::addColumn<int>("slewMs");
    QTest::newRow("back half a second") << -500;
    QTest::newRow("forward half a second") << 500;
}

// Around every minute boundary of a whole hour the clock is stepped by half a second while a
// late tick and an on-time one arrive close together: every minute still counts once.
void TestCountdownRule::slewsAroundEveryMinuteOfAnHour()
{
    QFETCH(int, slewMs);
    Machine m(QTime(9, 0, 0, 600));
    QList<qint64> stepTimes;
    while (m.steps.taken < 60 && m.realMs < 2 * 3600 * 1000) {
        const qint64 intoMinute = ((m.clockMs % 60'000) + 60'000) % 60'000;
        bool stepped = false;
        if (slewMs < 0 && intoMinute >= 59'000) {
            // 59.6 -> 0.1 (step) -> stepped back to 59.8 -> 0.8
            stepped |= m.tick(500);
            stepped |= m.tick(200, slewMs);
            stepped |= m.tick(1000);
            m.tick(300);
        } else if (slewMs > 0 && intoMinute >= 59'000) {
            // 59.6 -> stepped forward to 0.2 -> 1.2
            stepped |= m.tick(100, slewMs);
            stepped |= m.tick(1000);
            m.tick(900);
        } else {
            stepped = m.tick(1000);
        }
        if (stepped)
            stepTimes << m.realMs;
    }
    QCOMPARE(m.steps.taken, 60);
    QCOMPARE(stepTimes.size(), 60);
    // Sixty minutes, each counted once: the last comes a little under an hour after the start
    // (the clock moved by 30 s over the hour), never two within one minute.
    for (int i = 1; i < stepTimes.size(); ++i)
        QVERIFY2(stepTimes.at(i) - stepTimes.at(i - 1) >= 59'000,
                 qPrintable(QString::number(stepTimes.at(i) - stepTimes.at(i - 1))));
    QVERIFY(m.realMs > 59 * 60'000 - 31'000 && m.realMs < 60 * 60'000 + 31'000);
    QCOMPARE(m.maxExcess, 0);
}

void TestCountdownRule::minuteWithoutOrWithTwoTicksAtSecondZeroCountsOnce()
{
    // The thread busy from second 59.5 to 1.5 of every minute: no tick in second 0.
    Machine skipped(QTime(9, 0, 10, 500));
    while (skipped.steps.taken < 60) {
        const bool atNine = skipped.clockMs % 60'000 == 59'500;
        skipped.tick(atNine ? 2000 : 1000);
    }
    QCOMPARE(skipped.realMs, qint64(60 * 60'000 - 10'000 + 1000));

    // A late tick at 0.02 followed closely by an on-time one at 0.98, every minute.
    Machine doubled(QTime(9, 0, 10));
    int stepsInSecondZero = 0;
    qint64 lastStep = 0;
    while (doubled.steps.taken < 60) {
        if (doubled.clockMs % 60'000 == 59'000) {
            for (const qint64 ms : {1020, 960, 20}) {
                if (doubled.tick(ms)) {
                    ++stepsInSecondZero;
                    lastStep = doubled.realMs;
                }
            }
        } else {
            doubled.tick(1000);
        }
    }
    QCOMPARE(stepsInSecondZero, 60);
    QCOMPARE(lastStep, qint64(60 * 60'000 - 10'000 + 20));
}

void TestCountdownRule::clockSetForwardOrBackCostsAtMostOneMinute_data()
{
    QTest::addColumn<int>("jumpSeconds");
    QTest::addColumn<int>("atSecond"); // of the minute in which the clock is set
    for (int at : {5, 30, 59}) {
        const QString when = QStringLiteral(" in second %1").arg(at);
        QTest::newRow(qPrintable("forward 1 h" + when)) << 3600 << at;
        QTest::newRow(qPrintable("back 1 h" + when)) << -3600 << at;
        QTest::newRow(qPrintable("forward 3 h" + when)) << 3 * 3600 << at;
        QTest::newRow(qPrintable("back 3 h" + when)) << -3 * 3600 << at;
        QTest::newRow(qPrintable("forward 30 s" + when)) << 30 << at;
        QTest::newRow(qPrintable("back 30 s" + when)) << -30 << at;
    }
    QTest::newRow("summer time, across midnight") << 3600 << 0;
}

void TestCountdownRule::clockSetForwardOrBackCostsAtMostOneMinute()
{
    QFETCH(int, jumpSeconds);
    QFETCH(int, atSecond);
    const QTime startAt = QTest::currentDataTag() == QByteArray("summer time, across midnight")
                              ? QTime(23, 40, 0, 300)
                              : QTime(14, 0, 0, 300);
    Machine m(startAt);
    // Twenty minutes, then the clock is set in the given second.
    for (int i = 0; i < 20 * 60 + atSecond; ++i)
        m.tick(1000);
    m.adjust(jumpSeconds * 1000LL);
    const qint64 end = m.runOut();
    QVERIFY(end > 0);
    // Straight, the countdown ends an hour after this start. Set forward, the student loses
    // at most a minute; set back, the clock's minutes are followed, at most a minute later.
    const qint64 straight = 60 * 60'000;
    QVERIFY2(end >= straight - 60'000 && end <= straight + 60'000,
             qPrintable(QString::number(end)));
    QCOMPARE(m.maxExcess, 0);
}

// A clock that leaps a minute ahead at every tick (a broken time source) cannot end the
// countdown faster than real time allows.
void TestCountdownRule::aRacingClockNeverOutrunsRealTime()
{
    Machine m(QTime(12, 0, 30));
    const qint64 end = m.runOut();
    QVERIFY(end > 0);
    Machine racing(QTime(12, 0, 30));
    while (racing.steps.taken < 60)
        racing.tick(1000, 60'000);
    QCOMPARE(racing.maxExcess, 0);
    QVERIFY(racing.realMs >= 59 * 60'000);
}

// A clock that gives no time takes no step; counting starts when it first answers.
void TestCountdownRule::noTimeOfDayTakesNoStep()
{
    Steps s = start(-1, 5'000);
    const auto step = [&s](int msOfDay, qint64 realMs) {
        const Tick t = tick(s, msOfDay, realMs);
        s = t.next;
        return t.stepped;
    };
    QVERIFY(!step(-1, 65'000));
    QVERIFY(!step(36'059'500, 125'000)); // 10:00:59.5
    // A pure function: the same state and readings, the same answer.
    QCOMPARE(tick(s, 36'060'500, 126'000).stepped, true);
    QVERIFY(step(36'060'500, 126'000));
    QVERIFY(!step(36'061'500, 127'000));
    QVERIFY(!step(-1, 200'000));
    QCOMPARE(s.taken, 1);
}

QTEST_GUILESS_MAIN(TestCountdownRule)
#include "tst_countdownrule.moc"

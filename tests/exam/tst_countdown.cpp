// The sixty-minute countdown on a clock the test controls, with the player recorded:
// whole countdowns with steady, jittered, skipped and doubled ticks in milliseconds.
#include "common/KelvoTest.h"
#include "common/RecordingDevice.h"
#include "controls/MciPlayer.h"
#include "exam/frmKelvo.h"

#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

using kelvo::test::RecordingDevice;

class TestCountdown : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { m_window.reset(); }

    void startShowsOneHour();
    void wholeCountdown_data();
    void wholeCountdown();
    void minuteWithoutTickAtSecondZeroStillCounts();
    void minuteWithTwoTicksAtSecondZeroCountsOnce();
    void startLateInSecond59();
    void clockSetForwardOrBackCostsOneMinute_data();
    void clockSetForwardOrBackCostsOneMinute();
    void timeUpKeepsZeroUntilScore();
    void scoreThenStartBeginsAgain();
    void documentEvents_data();
    void documentEvents();
    void realPlayerWithoutChimeDisturbsNothing();

private:
    void start(const QTime &at);
    // Delivers a tick as the window's timer would, at the given time of day.
    bool tickAt(const QTime &at);
    // Ticks every stepMs (plus jitter) until the countdown stops or limit is passed.
    int runUntilStopped(int stepMs, int jitterMs, quint32 seed, const QTime &limit);
    QString display() const { return m_time->text(); }
    int count(const QString &command) const
    {
        return int(std::count_if(m_log.cbegin(), m_log.cend(),
                                 [&](const QString &c) { return c.startsWith(command); }));
    }

    std::unique_ptr<frmKelvo> m_window;
    QLabel *m_time = nullptr;
    QPushButton *m_start = nullptr;
    QTime m_now;
    QStringList m_log;
    QStringList m_displays;
    QString m_chime;
};

void TestCountdown::init()
{
    m_window = std::make_unique<frmKelvo>();
    m_window->setClock([this] { return m_now; });
    m_log.clear();
    m_displays.clear();
    m_window->findChild<MciPlayer *>(QStringLiteral("MMControl1"))
        ->setDevice(std::make_unique<RecordingDevice>(&m_log));
    m_time = m_window->findChild<QLabel *>(QStringLiteral("lbl秒"));
    m_start = m_window->findChild<QPushButton *>(QStringLiteral("cmdスタート"));
    m_chime = QStringLiteral("Open ") + QCoreApplication::applicationDirPath() +
              QStringLiteral("/Zarav.wav");
    m_window->show();
}

void TestCountdown::start(const QTime &at)
{
    m_now = at;
    QTest::mouseClick(m_start, Qt::LeftButton);
}

bool TestCountdown::tickAt(const QTime &at)
{
    if (!m_window->tmr時間()->isActive())
        return false;
    m_now = at;
    m_window->tmr時間_Timer();
    if (m_displays.isEmpty() || m_displays.constLast() != display())
        m_displays << display();
    return true;
}

int TestCountdown::runUntilStopped(int stepMs, int jitterMs, quint32 seed, const QTime &limit)
{
    QRandomGenerator random(seed);
    int ticks = 0;
    QTime t = m_now;
    while (t < limit) {
        t = t.addMSecs(stepMs + (jitterMs ? random.bounded(-jitterMs, jitterMs + 1) : 0));
        if (!tickAt(t))
            break;
        ++ticks;
    }
    return ticks;
}

void TestCountdown::startShowsOneHour()
{
    start(QTime(10, 15, 30));
    QCOMPARE(display(), QStringLiteral("1:00"));
    QCOMPARE(m_window->minutes(), qint16(60));
    QCOMPARE(m_window->hours(), qint16(0));
    QCOMPARE(m_window->seconds(), qint16(0));
    QCOMPARE(m_window->remainingTime(), 3600.0 / 86400.0);
    QVERIFY(m_window->tmr時間()->isActive());
    QCOMPARE(m_window->tmr時間()->interval(), 1000);
    QVERIFY(!m_start->isEnabled());
    QVERIFY(m_log.isEmpty()); // the start button leaves the player alone
}

void TestCountdown::wholeCountdown_data()
{
    QTest::addColumn<int>("jitter");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("steady ticks") << 0 << 1u;
    QTest::newRow("jittered ticks, seed 7") << 300 << 7u;
    QTest::newRow("jittered ticks, seed 2026") << 450 << 2026u;
}

void TestCountdown::wholeCountdown()
{
    QFETCH(int, jitter);
    QFETCH(quint32, seed);
    start(QTime(10, 15, 30, 250));
    const int ticks = runUntilStopped(1000, jitter, seed, QTime(12, 0));

    QStringList expected;
    for (int m = 60; m >= 0; --m)
        expected << QTime(0, 0).addSecs(m * 60).toString(QStringLiteral("h:mm"));
    QCOMPARE(m_displays, expected);
    // Time is up in the first second of 11:15, within a tick of the full minute.
    QCOMPARE(m_now.hour(), 11);
    QCOMPARE(m_now.minute(), 15);
    QVERIFY(m_now.second() <= 1);
    QVERIFY(!m_window->tmr時間()->isActive());
    QCOMPARE(m_window->minutes(), qint16(0));
    // One "Open" of the chime per tick, "Prev" and "Play" once, after the last "Open".
    QCOMPARE(count(QStringLiteral("Open")), ticks);
    QCOMPARE(m_log.filter(QStringLiteral("Open")).removeDuplicates(), ticks - 1);
    QCOMPARE(m_log.constFirst(), m_chime);
    QCOMPARE(m_log.mid(m_log.size() - 3),
             (QStringList{m_chime, QStringLiteral("Prev"), QStringLiteral("Play")}));
    QCOMPARE(count(QStringLiteral("Prev")), 1);
    // Nothing ticks after time-up.
    QVERIFY(!tickAt(m_now.addSecs(1)));
    QCOMPARE(display(), QStringLiteral("0:00"));
}

void TestCountdown::minuteWithoutTickAtSecondZeroStillCounts()
{
    start(QTime(9, 0, 10));
    // Ticks at .5 of each second, except that every minute's second 0 is missed: the thread
    // was busy from 59.5 to 1.5.
    QTime t(9, 0, 10, 500);
    while (tickAt(t)) {
        t = t.addSecs(1);
        if (t.second() == 0)
            t = t.addSecs(1);
    }
    QCOMPARE(m_displays.size(), 61);
    QCOMPARE(m_now, QTime(10, 0, 1, 500));
}

void TestCountdown::minuteWithTwoTicksAtSecondZeroCountsOnce()
{
    start(QTime(9, 0, 10));
    // A late tick at 0.02 followed closely by an on-time one at 0.98, every minute.
    QTime t(9, 0, 11);
    while (t < QTime(11, 0)) {
        if (t.second() == 0) {
            tickAt(t.addMSecs(20));
            tickAt(t.addMSecs(980));
        } else if (!tickAt(t)) {
            break;
        }
        if (!m_window->tmr時間()->isActive())
            break;
        t = t.addSecs(1);
    }
    QCOMPARE(m_displays.size(), 61);
    QCOMPARE(m_now, QTime(10, 0, 0, 20));
}

void TestCountdown::startLateInSecond59()
{
    start(QTime(8, 59, 59, 700));
    QCOMPARE(display(), QStringLiteral("1:00"));
    tickAt(QTime(9, 0, 0, 700));
    QCOMPARE(display(), QStringLiteral("0:59"));
    runUntilStopped(1000, 0, 0, QTime(11, 0));
    QCOMPARE(m_now, QTime(9, 59, 0, 700));
}

void TestCountdown::clockSetForwardOrBackCostsOneMinute_data()
{
    QTest::addColumn<int>("jumpSeconds");
    QTest::newRow("forward three hours") << 3 * 3600;
    QTest::newRow("forward 90 seconds") << 90;
    QTest::newRow("back two hours") << -2 * 3600;
    QTest::newRow("back 30 seconds across a minute") << -30;
}

void TestCountdown::clockSetForwardOrBackCostsOneMinute()
{
    QFETCH(int, jumpSeconds);
    start(QTime(14, 0, 5));
    QTime t(14, 0, 6);
    for (int i = 0; i < 300; ++i, t = t.addSecs(1)) // five minutes: "0:55"
        tickAt(t);
    QCOMPARE(display(), QStringLiteral("0:55"));
    t = t.addSecs(jumpSeconds);
    tickAt(t);
    tickAt(t.addSecs(1));
    QVERIFY(display() == QStringLiteral("0:55") || display() == QStringLiteral("0:54"));
}

void TestCountdown::timeUpKeepsZeroUntilScore()
{
    start(QTime(23, 30, 0));
    runUntilStopped(1000, 0, 0, QTime(23, 59, 59, 999)); // runs across midnight
    QCOMPARE(display(), QStringLiteral("0:00"));
    QCOMPARE(m_now.hour(), 0);
    QVERIFY(!m_start->isEnabled());
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmd得点")),
                      Qt::LeftButton);
    QVERIFY(m_start->isEnabled());
    QVERIFY(display().isEmpty());
    QCOMPARE(count(QStringLiteral("Play")), 1);
}

void TestCountdown::scoreThenStartBeginsAgain()
{
    start(QTime(10, 0, 30));
    for (int s = 0; s < 200; ++s)
        tickAt(QTime(10, 0, 31).addSecs(s));
    QCOMPARE(display(), QStringLiteral("0:57"));
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmd得点")),
                      Qt::LeftButton);
    QVERIFY(!m_window->tmr時間()->isActive());
    QCOMPARE(m_window->minutes(), qint16(57)); // left as it was
    start(QTime(10, 10, 45));
    QCOMPARE(display(), QStringLiteral("1:00"));
    tickAt(QTime(10, 10, 46));
    QCOMPARE(display(), QStringLiteral("1:00"));
    tickAt(QTime(10, 11, 0, 10));
    QCOMPARE(display(), QStringLiteral("0:59"));
}

void TestCountdown::documentEvents_data()
{
    QTest::addColumn<int>("state"); // 0 before start, 1 running, 2 time up, 3 scored
    QTest::newRow("before the first start") << 0;
    QTest::newRow("while running") << 1;
    QTest::newRow("after time-up") << 2;
    QTest::newRow("after the score button") << 3;
}

void TestCountdown::documentEvents()
{
    QFETCH(int, state);
    if (state >= 1) {
        start(QTime(7, 0, 0));
        tickAt(QTime(7, 0, 1));
    }
    if (state == 2)
        runUntilStopped(1000, 0, 0, QTime(9, 0));
    if (state == 3)
        m_window->cmd得点_Click();
    const QString shown = display();
    const qsizetype before = m_log.size();
    m_window->Scriptlet1_DocumentEvent(QStringLiteral("anything"), QVariantMap{{"a", 1}});
    m_window->Scriptlet1_DocumentEvent(QString(), QVariant());
    QCOMPARE(m_log.mid(before), (QStringList{QStringLiteral("Prev"), QStringLiteral("Play"),
                                             QStringLiteral("Prev"), QStringLiteral("Play")}));
    QCOMPARE(display(), shown);
    QCOMPARE(m_window->tmr時間()->isActive(), state == 1);
    if (state == 1) { // the next tick opens the chime again
        tickAt(QTime(7, 0, 2));
        QCOMPARE(m_log.constLast(), m_chime);
    }
}

void TestCountdown::realPlayerWithoutChimeDisturbsNothing()
{
    auto *player = m_window->findChild<MciPlayer *>(QStringLiteral("MMControl1"));
    player->setDevice(nullptr); // nothing to play on at all
    m_window->Scriptlet1_DocumentEvent(QStringLiteral("early"), 1);
    QVERIFY(!player->lastError().isEmpty());
    start(QTime(12, 0, 0));
    runUntilStopped(1000, 0, 0, QTime(14, 0));
    QCOMPARE(display(), QStringLiteral("0:00"));
    QCOMPARE(m_now, QTime(13, 0, 0));
    QCOMPARE(player->command(), QStringLiteral("Play"));
}

KELVO_TEST_MAIN(TestCountdown)
#include "tst_countdown.moc"

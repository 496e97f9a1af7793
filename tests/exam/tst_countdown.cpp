// The sixty-minute countdown on clocks the test controls (the time of day and real time),
// with the player recorded: whole countdowns with steady, jittered and late ticks, a clock
// stepped back across a minute, time-up, the score button and document events.
#include "common/KelvoTest.h"
#include "common/RecordingDevice.h"
#include "controls/MciPlayer.h"
#include "controls/TabPanel.h"
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
    void strayKeysAfterStartDoNotEndTheAttempt_data();
    void strayKeysAfterStartDoNotEndTheAttempt();
    void wholeCountdown_data();
    void wholeCountdown();
    void startLateInSecond59();
    void clockSteppedBackAcrossAMinuteShowsNoChange();
    void timeUpKeepsZeroUntilScore();
    void scoreThenStartBeginsAgain();
    void documentEvents_data();
    void documentEvents();
    void realPlayerWithoutChimeDisturbsNothing();

private:
    void start(const QTime &at);
    // Delivers a tick as the window's timer would, realMs after the last one, when the clock
    // reads at.
    bool tick(qint64 realMs, const QTime &at);
    // A tick when the clock has run on straight to at.
    bool tickAt(const QTime &at) { return tick((m_now.msecsTo(at) + 86'400'000) % 86'400'000, at); }
    // Ticks every stepMs (plus jitter, and now and then a late tick) until the countdown
    // stops or limit is passed.
    int runUntilStopped(int stepMs, int jitterMs, quint32 seed, const QTime &limit,
                        bool lateTicks = false);
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
    qint64 m_realMs = 0;
    QStringList m_log;
    QStringList m_displays;
    QString m_chime;
};

void TestCountdown::init()
{
    m_window = std::make_unique<frmKelvo>(QString());
    m_window->setClock([this] { return m_now; });
    m_window->setMonotonicClock([this] { return m_realMs; });
    m_log.clear();
    m_displays.clear();
    m_window->findChild<MciPlayer *>(QStringLiteral("MMControl1"))
        ->setDevice(std::make_unique<RecordingDevice>(&m_log));
    m_time = m_window->findChild<QLabel *>(QStringLiteral("lbl秒"));
    m_start = m_window->findChild<QPushButton *>(QStringLiteral("cmdスタート"));
    m_chime = QStringLiteral("Open ") + QCoreApplication::applicationDirPath() +
              QStringLiteral("/" KELVO_CHIME);
    m_window->show();
}

void TestCountdown::start(const QTime &at)
{
    m_now = at;
    QTest::mouseClick(m_start, Qt::LeftButton);
    m_displays = QStringList{display()};
}

bool TestCountdown::tick(qint64 realMs, const QTime &at)
{
    if (!m_window->tmr時間()->isActive())
        return false;
    m_now = at;
    m_realMs += realMs;
    m_window->tmr時間_Timer();
    if (m_displays.isEmpty() || m_displays.constLast() != display())
        m_displays << display();
    return true;
}

int TestCountdown::runUntilStopped(int stepMs, int jitterMs, quint32 seed, const QTime &limit,
                                   bool lateTicks)
{
    QRandomGenerator random(seed);
    int ticks = 0;
    const qint64 limitMs = m_realMs + (m_now.msecsTo(limit) + 86'400'000) % 86'400'000;
    while (m_realMs < limitMs) {
        int step = stepMs + (jitterMs ? random.bounded(-jitterMs, jitterMs + 1) : 0);
        if (lateTicks && random.bounded(100) == 0)
            step += 1500; // a busy moment delays a tick
        if (!tick(step, m_now.addMSecs(step)))
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

void TestCountdown::strayKeysAfterStartDoNotEndTheAttempt_data()
{
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("focused"); // where the student types next
    QTest::newRow("mouse, first page") << false << 0 << QStringLiteral("Text_1");
    QTest::newRow("keyboard, first page") << true << 0 << QStringLiteral("Text_1");
    QTest::newRow("mouse, page 3-ﾄﾅ") << false << 35 << QStringLiteral("Text_135");
    QTest::newRow("keyboard, page 6-ｱ") << true << 49 << QStringLiteral("chkKelvo_1");
}

// After スタート the focus is where the student answers, not on 得　点: a stray Space or
// Enter types or ticks, and the countdown runs on.
void TestCountdown::strayKeysAfterStartDoNotEndTheAttempt()
{
    QFETCH(bool, byKeyboard);
    QFETCH(int, page);
    QFETCH(QString, focused);
    m_window->findChild<TabPanel *>(QStringLiteral("SSTab2"))->setCurrentIndex(page);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_now = QTime(10, 0, 5);
    if (byKeyboard) {
        m_start->setFocus(Qt::TabFocusReason);
        QTest::keyClick(m_start, Qt::Key_Space);
    } else {
        QTest::mouseClick(m_start, Qt::LeftButton);
    }
    QVERIFY(m_window->tmr時間()->isActive());
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QCOMPARE(focus->objectName(), focused);

    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        QTest::keyClick(QApplication::focusWidget(), key);
    QVERIFY(m_window->tmr時間()->isActive());
    QCOMPARE(display(), QStringLiteral("1:00"));
    QVERIFY(m_window->findChild<QLabel *>(QStringLiteral("lbl得点"))->text().isEmpty());
    QVERIFY(!m_start->isEnabled());
}

void TestCountdown::wholeCountdown_data()
{
    QTest::addColumn<QTime>("startAt");
    QTest::addColumn<int>("jitter");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("lateTicks");
    QTest::newRow("steady ticks") << QTime(10, 15, 30, 250) << 0 << 1u << false;
    QTest::newRow("jittered ticks, seed 7") << QTime(10, 15, 30, 250) << 300 << 7u << false;
    QTest::newRow("jittered ticks, seed 2026") << QTime(10, 15, 30, 250) << 450 << 2026u << false;
    QTest::newRow("small jitter, late ticks") << QTime(9, 0, 0, 0) << 50 << 1u << true;
    QTest::newRow("mid-second start, wide jitter, late ticks")
        << QTime(14, 27, 31, 640) << 450 << 2u << true;
    QTest::newRow("across midnight, late ticks") << QTime(23, 30, 59, 990) << 300 << 3u << true;
    QTest::newRow("last millisecond of a minute, late ticks")
        << QTime(6, 59, 59, 999) << 300 << 4u << true;
}

// 1:00, 0:59, ..., 0:00: each minute once, in order; "0:00" within the first moments of the
// sixtieth full minute of the clock, with one chime.
void TestCountdown::wholeCountdown()
{
    QFETCH(QTime, startAt);
    QFETCH(int, jitter);
    QFETCH(quint32, seed);
    QFETCH(bool, lateTicks);
    start(startAt);
    const int ticks = runUntilStopped(1000, jitter, seed, startAt.addSecs(2 * 3600), lateTicks);

    QStringList expected;
    for (int m = 60; m >= 0; --m)
        expected << QTime(0, 0).addSecs(m * 60).toString(QStringLiteral("h:mm"));
    QCOMPARE(m_displays.join(u' '), expected.join(u' '));
    const QTime due = QTime(startAt.hour(), startAt.minute()).addSecs(3600);
    const int late = due.msecsTo(m_now);
    QVERIFY2(late >= 0 && late < 1000 + jitter + (lateTicks ? 1500 : 0),
             qPrintable(m_now.toString(QStringLiteral("hh:mm:ss.zzz"))));
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

void TestCountdown::startLateInSecond59()
{
    start(QTime(8, 59, 59, 700));
    QCOMPARE(display(), QStringLiteral("1:00"));
    tickAt(QTime(9, 0, 0, 700));
    QCOMPARE(display(), QStringLiteral("0:59"));
    runUntilStopped(1000, 0, 0, QTime(11, 0));
    QCOMPARE(m_now, QTime(9, 59, 0, 700));
}

// Time synchronisation steps the clock back a little just after a minute began: the minute
// of 10:16 shows once.
void TestCountdown::clockSteppedBackAcrossAMinuteShowsNoChange()
{
    start(QTime(10, 15, 30));
    for (int s = 31; s < 60; ++s)
        tickAt(QTime(10, 15, s));
    QCOMPARE(display(), QStringLiteral("1:00"));
    tick(1100, QTime(10, 16, 0, 100));
    QCOMPARE(display(), QStringLiteral("0:59"));
    tick(700, QTime(10, 15, 59, 800));
    QCOMPARE(display(), QStringLiteral("0:59"));
    tick(1000, QTime(10, 16, 0, 800));
    QCOMPARE(display(), QStringLiteral("0:59"));
    tickAt(QTime(10, 17, 0, 800));
    QCOMPARE(display(), QStringLiteral("0:58"));
}

void TestCountdown::timeUpKeepsZeroUntilScore()
{
    start(QTime(23, 30, 0));
    runUntilStopped(1000, 0, 0, QTime(0, 40)); // runs across midnight
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

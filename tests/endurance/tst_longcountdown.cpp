// Whole sixty-minute countdowns on an injected clock, the timer's ticks arriving with random
// jitter and now and then late: every minute shows once, in order, and "0:00" comes exactly
// once, with one chime.
#include "common/KelvoTest.h"

#include "Endurance.h"
#include "app/WindowRegistry.h"
#include "exam/WindowCatalog.h"
#include "exam/frmKelvo.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

class TestLongCountdown : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { kelvo::test::quietLongRun(); }
    void sixtyMinutes_data();
    void sixtyMinutes();
};

void TestLongCountdown::sixtyMinutes_data()
{
    QTest::addColumn<QTime>("startAt");
    QTest::addColumn<int>("jitterMs");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("morning, small jitter") << QTime(9, 0, 0, 0) << 50 << 1u;
    QTest::newRow("mid-second start, wide jitter") << QTime(14, 27, 31, 640) << 450 << 2u;
    QTest::newRow("across midnight") << QTime(23, 30, 59, 990) << 300 << 3u;
    QTest::newRow("last second of a minute") << QTime(6, 59, 59, 999) << 300 << 4u;
}

void TestLongCountdown::sixtyMinutes()
{
    QFETCH(QTime, startAt);
    QFETCH(int, jitterMs);
    QFETCH(quint32, seed);

    WindowRegistry registry;
    kelvo::registerWindows(registry);
    auto *window = qobject_cast<frmKelvo *>(registry.show(QStringLiteral("frmKelvo")));
    QVERIFY(window);
    QStringList sounds;
    QVERIFY(kelvo::test::recordSound(window, &sounds));
    QTime now = startAt;
    window->setClock([&now] { return now; });
    auto *display = window->findChild<QLabel *>(QStringLiteral("lbl秒"));
    auto *start = window->findChild<QPushButton *>(QStringLiteral("cmdスタート"));
    QVERIFY(display && start);

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(display->text(), QStringLiteral("1:00"));

    QRandomGenerator random(seed);
    QStringList shown{display->text()};
    int ticks = 0;
    int zeroes = 0;
    qint64 elapsedMs = 0;
    // Two hours of ticks at most: the countdown must have ended long before.
    while (window->tmr時間()->isActive() && elapsedMs < 2 * 3600 * 1000) {
        int step = 1000 + int(random.bounded(2 * jitterMs + 1)) - jitterMs;
        if (random.bounded(100) == 0)
            step += 1500; // a busy moment delays a tick
        now = now.addMSecs(step);
        elapsedMs += step;
        window->tmr時間_Timer();
        ++ticks;
        if (display->text() != shown.constLast()) {
            shown << display->text();
            if (display->text() == QLatin1String("0:00"))
                ++zeroes;
        }
        if (ticks % 500 == 0)
            QCoreApplication::processEvents();
    }

    QVERIFY(!window->tmr時間()->isActive());
    QCOMPARE(zeroes, 1);
    QCOMPARE(display->text(), QStringLiteral("0:00"));
    // 1:00, 0:59, ..., 0:00: each minute once, in order.
    QCOMPARE(shown.size(), 61);
    for (int i = 1; i < shown.size(); ++i)
        QCOMPARE(shown.at(i), QTime(0, 0).addSecs((60 - i) * 60).toString(QStringLiteral("h:mm")));
    // It ends within the sixty-first minute of the clock after the start.
    QVERIFY2(elapsedMs > 59 * 60 * 1000 && elapsedMs <= 61 * 60 * 1000 + 2500,
             qPrintable(QString::number(elapsedMs)));
    // Every tick names and opens the chime; the one at "0:00" plays it, once.
    QCOMPARE(sounds.count(QStringLiteral("Play")), 1);
    QCOMPARE(sounds.count(QStringLiteral("Prev")), 1);
    QCOMPARE(sounds.size(), ticks + 2);
    QCOMPARE(sounds.constLast(), QStringLiteral("Play"));
    const qint64 ms = clock.elapsed();
    qInfo("%d ticks over %lld s of clock in %lld ms", ticks, elapsedMs / 1000, ms);
    QVERIFY(ms < 30000);
}

KELVO_TEST_MAIN(TestLongCountdown)
#include "tst_longcountdown.moc"

#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

namespace kelvo::test
{

// Runs the event loop until predicate() holds or timeoutMs have passed; whether it held.
// The loop sleeps until its next event. QTest::qWait, qWaitFor and the QTRY_ macros instead
// handle the events at hand and then sleep 10 ms, and the browser engine runs a navigation as
// a chain of tasks, each posted through the loop by the one before: there, one load of a
// document takes a second and a half instead of a few milliseconds.
template <typename Predicate> bool waitFor(Predicate &&predicate, int timeoutMs)
{
    if (predicate())
        return true;
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        // What the test's own code deleted later goes now, as it does in QTest::qWait.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (predicate() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    return predicate();
}

// Lets the event loop run for ms, as QTest::qWait does, but without its sleeps.
inline void settle(int ms)
{
    waitFor([] { return false; }, ms);
}

} // namespace kelvo::test

// QTRY_VERIFY_WITH_TIMEOUT and QTRY_COMPARE_WITH_TIMEOUT for what the browser engine does.
#define KELVO_TRY_VERIFY(expr, timeout)                                                            \
    QVERIFY2(kelvo::test::waitFor([&] { return bool(expr); }, timeout), #expr)

#define KELVO_TRY_COMPARE(actual, expected, timeout)                                               \
    do {                                                                                           \
        kelvo::test::waitFor([&] { return (actual) == (expected); }, timeout);                     \
        QCOMPARE(actual, expected);                                                                \
    } while (false)

#include "Countdown.h"

#include <cmath>

namespace kelvo::countdown
{

namespace
{

constexpr qint64 kDayMs = 86'400'000;
constexpr qint64 kMinuteMs = 60'000;

qint64 minuteOf(qint64 reading)
{
    return reading >= 0 ? reading / kMinuteMs : -((-reading + kMinuteMs - 1) / kMinuteMs);
}

} // namespace

Steps start(int msOfDay, qint64 realMs)
{
    Steps s;
    s.startedAt = realMs;
    if (msOfDay >= 0) {
        s.lastReading = msOfDay;
        s.lastRealMs = realMs;
        s.countedMinute = minuteOf(msOfDay);
    }
    return s;
}

Tick tick(Steps s, int msOfDay, qint64 realMs)
{
    if (msOfDay < 0)
        return {s, false};
    if (s.lastReading < 0) { // the first time the clock answers: the start of counting
        const qint64 startedAt = s.startedAt;
        s = start(msOfDay, realMs);
        s.startedAt = startedAt;
        return {s, false};
    }
    // The clock only tells the time of day: take the day that puts the reading nearest to
    // where the last reading and the real time since then say the clock should be.
    const qint64 expected = s.lastReading + (realMs - s.lastRealMs);
    const qint64 days = qint64(std::llround(double(expected - msOfDay) / double(kDayMs)));
    const qint64 reading = msOfDay + days * kDayMs;
    s.lastReading = reading;
    s.lastRealMs = realMs;

    const qint64 minute = minuteOf(reading);
    if (minute < s.countedMinute - 1) { // set back: count on from here
        s.countedMinute = minute;
        return {s, false};
    }
    if (minute <= s.countedMinute)
        return {s, false};
    s.countedMinute = minute;
    const qint64 allowed = qMax<qint64>(realMs - s.startedAt, 0) / kMinuteMs + 1;
    if (s.taken >= allowed)
        return {s, false};
    ++s.taken;
    return {s, true};
}

} // namespace kelvo::countdown

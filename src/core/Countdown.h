#pragma once

#include <QtGlobal>

// The countdown's minute step, a pure function of what it has counted so far and two clock
// readings at each tick: the time of day on the computer's clock, which the student sees and
// which may be adjusted, and real (monotonic) time, which nothing adjusts. The caller keeps
// the state from one tick to the next.
namespace kelvo::countdown
{

struct Steps {
    qint64 startedAt = 0;      // real milliseconds at the start
    qint64 lastReading = -1;   // the clock's last reading in ms, counted on across midnights
    qint64 lastRealMs = 0;     // real milliseconds at that reading
    qint64 countedMinute = -1; // the latest minute of the clock counted, or that of the start
    int taken = 0;             // minute steps since the start
};

// A countdown started when the clock read msOfDay (0..86'399'999, or -1 when the clock gave
// no time) at realMs.
Steps start(int msOfDay, qint64 realMs);

// What a tick after state makes of it.
struct Tick {
    Steps next;   // the state for the next tick
    bool stepped; // whether this tick takes a minute off
};

// The tick that reads msOfDay on the clock at realMs, after state. A minute is due at the first
// tick in a minute of the clock later than the latest one counted, so every minute of the clock
// counts once whether its second 0 got no tick, one or two, and a clock stepped back by a moment
// does not count a minute again. A clock set back by more than a minute starts counting afresh from
// where it now stands. Steps are taken only while they stay below the whole minutes of real time
// since the start plus one, so a clock set forward costs at most one minute and a racing clock
// cannot end the countdown early.
Tick tick(Steps state, int msOfDay, qint64 realMs);

} // namespace kelvo::countdown

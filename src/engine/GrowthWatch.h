#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Watches what this process holds in memory from a thread of its own while armed, and calls
// exceeded() on the thread the watch belongs to, once, when the process holds more than the
// limit it was armed with. It looks every IntervalMs near the limit and less often the further
// below it the process is, at most LongestIntervalMs apart: memory growing at up to
// FastestGrowthPerSecond does not pass the limit before the next look. (Each look wakes a
// thread: ten a second came to about a tenth of the program's CPU while a student sits.) The
// windows' thread is never woken to look, and an unarmed watch does not wake at all.
class GrowthWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMs = 100;
    static constexpr int LongestIntervalMs = 500;
    static constexpr qint64 FastestGrowthPerSecond = qint64(2) << 30;

    // How long the watch waits before its next look with headroom bytes left below the limit.
    static int lookAfterMs(qint64 headroom);

    explicit GrowthWatch(std::function<void()> exceeded, QObject *parent = nullptr);
    // Stops the watching thread and waits for it.
    ~GrowthWatch() override;

    // Watches from now on for more than limitBytes held; again after it was told once.
    void arm(qint64 limitBytes);
    // Watches no longer, until armed again.
    void disarm();

    // What this process holds in memory now (its resident set), in bytes; 0 where unknown.
    // Safe on any thread; a few microseconds.
    static qint64 residentBytes();

private:
    void run();

    std::function<void()> m_exceeded;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_limit = 0; // 0: unarmed
    bool m_quit = false;
    std::thread m_thread;
};

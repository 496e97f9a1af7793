#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Watches what this process holds in memory from a thread of its own, a reading every
// IntervalMs while armed, and calls exceeded() on the thread the watch belongs to, once, when
// the process holds more than the limit it was armed with. The windows' thread is never woken
// to look, and an unarmed watch does not wake at all.
class GrowthWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMs = 100;

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

#include "GrowthWatch.h"

#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

GrowthWatch::GrowthWatch(std::function<void()> exceeded, QObject *parent)
    : QObject(parent), m_exceeded(std::move(exceeded))
{
}

GrowthWatch::~GrowthWatch()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void GrowthWatch::arm(qint64 limitBytes)
{
    {
        const std::lock_guard lock(m_mutex);
        m_limit = qMax<qint64>(limitBytes, 1);
        if (!m_thread.joinable())
            m_thread = std::thread(&GrowthWatch::run, this);
    }
    m_changed.notify_all();
}

void GrowthWatch::disarm()
{
    const std::lock_guard lock(m_mutex);
    m_limit = 0;
}

qint64 GrowthWatch::residentBytes()
{
#ifdef Q_OS_LINUX
    // Opened once and read from its start each time: a fifth of the cost of opening it anew.
    static const int statm = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    static const long pageSize = sysconf(_SC_PAGESIZE);
    char text[128];
    const ssize_t read = statm >= 0 ? ::pread(statm, text, sizeof text - 1, 0) : -1;
    if (read <= 0)
        return 0;
    text[read] = '\0';
    // "size resident shared ...", in pages.
    char *end = nullptr;
    std::strtoll(text, &end, 10);
    return std::strtoll(end, nullptr, 10) * pageSize;
#else
    return 0;
#endif
}

int GrowthWatch::lookAfterMs(qint64 headroom)
{
    const qint64 ms = headroom > 0 ? headroom / (FastestGrowthPerSecond / 1000) : 0;
    return int(std::clamp<qint64>(ms, IntervalMs, LongestIntervalMs));
}

void GrowthWatch::run()
{
    std::unique_lock lock(m_mutex);
    qint64 held = residentBytes();
    while (!m_quit) {
        if (m_limit == 0) {
            m_changed.wait(lock, [this] { return m_quit || m_limit != 0; });
            held = residentBytes();
            continue;
        }
        m_changed.wait_for(lock, std::chrono::milliseconds(lookAfterMs(m_limit - held)),
                           [this] { return m_quit; });
        if (m_quit || m_limit == 0)
            continue;
        held = residentBytes();
        if (held <= m_limit)
            continue;
        m_limit = 0;
        // Told on the watch's own thread; not at all once the watch is gone.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_exceeded)
                    m_exceeded();
            },
            Qt::QueuedConnection);
    }
}

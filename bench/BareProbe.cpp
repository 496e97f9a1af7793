#include "BareProbe.h"

#include <QEvent>
#include <QFile>
#include <QWidget>

#include <cstdio>
#include <time.h>
#include <unistd.h>

namespace
{

double bootClockSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Field 22 of /proc/self/stat, counted from the closing ')' of the command name.
double processStartSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (close < 0 || fields.size() < 20)
        return -1;
    return double(fields[19].toULongLong()) / double(sysconf(_SC_CLK_TCK));
}

} // namespace

BareProbe::BareProbe(QObject *parent) : QObject(parent) {}

BareProbe::~BareProbe() = default;

void BareProbe::report(const char *what)
{
    const double now = bootClockSeconds();
    const double start = processStartSeconds();
    std::fprintf(stderr, "bare.startup: %s %.1f ms after process start (boottime %.6f)\n", what,
                 start < 0 ? -1.0 : (now - start) * 1000.0, now);
    std::fflush(stderr);
}

void BareProbe::watchPaint(QWidget *window)
{
    m_window = window;
    window->installEventFilter(this);
}

void BareProbe::loaded(bool ok)
{
    if (m_loadReported)
        return;
    m_loadReported = true;
    report(ok ? "questions loaded" : "questions failed to load");
}

bool BareProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == m_window) {
        m_window->removeEventFilter(this);
        report("first paint");
    }
    return QObject::eventFilter(watched, event);
}

#include "StartupProbe.h"

#include "controls/QuestionView.h"

#include <QEvent>
#include <QFile>
#include <QLoggingCategory>
#include <QWidget>

#ifdef Q_OS_LINUX
#include <time.h>
#include <unistd.h>
#else
#include <QElapsedTimer>
#endif

Q_LOGGING_CATEGORY(lcStartup, "kelvo.startup", QtWarningMsg)

namespace
{

#ifdef Q_OS_LINUX
// The process's start in seconds of the boot-time clock: field 22 of /proc/self/stat, in
// clock ticks. The command name before it may hold spaces, so count from its closing ')'.
double processStartSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // fields[0] is field 3 (state), so field 22 is fields[19].
    if (fields.size() < 20)
        return -1;
    bool ok = false;
    const qulonglong ticks = fields[19].toULongLong(&ok);
    return ok ? double(ticks) / double(sysconf(_SC_CLK_TCK)) : -1;
}
#else
// Elsewhere the earliest moment we can see: the static initialisation of this file.
const QElapsedTimer &sinceLoad()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}
[[maybe_unused]] const QElapsedTimer &loadTimer = sinceLoad();
#endif

} // namespace

StartupProbe::StartupProbe(QObject *parent) : QObject(parent) {}

StartupProbe::~StartupProbe() = default;

double StartupProbe::bootClockSeconds()
{
#ifdef Q_OS_LINUX
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
#else
    return double(sinceLoad().nsecsElapsed()) / 1e9;
#endif
}

double StartupProbe::msSinceProcessStart()
{
#ifdef Q_OS_LINUX
    const double start = processStartSeconds();
    return start < 0 ? -1 : (bootClockSeconds() - start) * 1000.0;
#else
    return double(sinceLoad().nsecsElapsed()) / 1e6;
#endif
}

void StartupProbe::report(const char *what)
{
    qCInfo(lcStartup, "%s %.1f ms after process start (boottime %.6f)", what, msSinceProcessStart(),
           bootClockSeconds());
}

void StartupProbe::mark(const char *what)
{
    if (lcStartup().isInfoEnabled())
        report(what);
}

void StartupProbe::watch(QWidget *window)
{
    if (!window || !lcStartup().isInfoEnabled())
        return;
    m_window = window;
    window->installEventFilter(this);
    if (auto *view = window->findChild<QuestionView *>(QStringLiteral("Scriptlet1"))) {
        connect(view, &QuestionView::loadFinished, this, [this](bool ok) {
            if (m_loadReported)
                return;
            m_loadReported = true;
            report(ok ? "questions loaded" : "questions failed to load");
        });
    }
}

bool StartupProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == m_window) {
        m_window->removeEventFilter(this);
        report("first paint");
    }
    return QObject::eventFilter(watched, event);
}

#include "RendererGuard.h"

#include "DocumentSchemeHandler.h"
#include "EngineLog.h"

#include <QTimer>

#include <csignal>
#include <utility>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

RendererGuard::RendererGuard(std::function<void(const QUrl &url)> showAgain, QObject *parent)
    : QObject(parent), m_showAgain(std::move(showAgain)),
      m_growth(new GrowthWatch([this] { grewTooMuch(); }, this))
{
}

void RendererGuard::watch(QWebEnginePage *page)
{
    m_page = page;
    // The engine does not always tell when the page moves to a new renderer: each load
    // looks, as it starts and as it ends, before and after the page's first script.
    connect(page, &QWebEnginePage::renderProcessPidChanged, this, &RendererGuard::limitShown);
    connect(page, &QWebEnginePage::loadingChanged, this, &RendererGuard::limitShown);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this, page](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                if (page == m_page)
                    rendererEnded(status, exitCode);
            });
}

RendererGuard::~RendererGuard() = default;

bool RendererGuard::limitRenderer(qint64 pid)
{
#ifdef Q_OS_LINUX
    const rlimit limit{rlim_t(RendererDataLimit), rlim_t(RendererDataLimit)};
    return ::prlimit(pid_t(pid), RLIMIT_DATA, &limit, nullptr) == 0;
#else
    Q_UNUSED(pid);
    return false;
#endif
}

void RendererGuard::limitShown()
{
    const qint64 pid = m_page ? m_page->renderProcessPid() : 0;
    if (pid <= 0 || pid == m_limited)
        return;
    m_limited = pid;
    qCDebug(lcEngine) << "limit renderer" << pid;
    if (!limitRenderer(pid))
        qCWarning(lcEngine) << "cannot cap the memory of the page's renderer" << pid;
}

void RendererGuard::documentShown()
{
    // The least the program has held with a document shown: a document shown again after its
    // renderer was ended finds the program still holding some of what that page made it
    // hold, and a page that allocates again must not be granted its growth twice over.
    const qint64 now = residentBytes();
    m_baseline = m_baseline > 0 ? qMin(m_baseline, now) : now;
    if (m_baseline > 0)
        m_growth->arm(m_baseline + MaxGrowth);
}

void RendererGuard::grewTooMuch()
{
    const qint64 pid = m_page ? m_page->renderProcessPid() : 0;
    static bool told = false;
    if (!std::exchange(told, true))
        qCWarning(lcEngine) << "the question document made the program grow by more than"
                            << (MaxGrowth >> 20) << "MiB; its renderer is ended";
    if (pid > 0)
        ::kill(pid_t(pid), SIGKILL);
}

void RendererGuard::rendererEnded(QWebEnginePage::RenderProcessTerminationStatus status,
                                  int exitCode)
{
    m_growth->disarm();
    static bool told = false;
    if (!std::exchange(told, true))
        qCWarning(lcEngine) << "the renderer of the question document ended:" << status << exitCode;
    else
        qCDebug(lcEngine) << "the renderer of the question document ended:" << status << exitCode;
    const bool again =
        !m_sinceAutomaticShow.isValid() || m_sinceAutomaticShow.elapsed() >= CrashLoopMs;
    if (again)
        m_sinceAutomaticShow.start();
    // Not from inside the engine's own report of the end.
    QTimer::singleShot(0, this, [this, again] {
        m_showAgain(again ? DocumentSchemeHandler::documentUrl()
                          : DocumentSchemeHandler::stoppedUrl());
    });
}

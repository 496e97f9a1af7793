#include "EngineTrace.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#ifdef Q_OS_LINUX
#include <time.h>
#else
#include <QElapsedTimer>
#endif

Q_LOGGING_CATEGORY(lcEngineTrace, "kelvo.engine.trace", QtWarningMsg)

namespace
{

double bootClockSeconds()
{
#ifdef Q_OS_LINUX
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
#else
    return double(QElapsedTimer::msecsSinceReference()) / 1e3;
#endif
}

void report(const QString &step, double boottime)
{
    qCInfo(lcEngineTrace, "%s (boottime %.6f)", qUtf8Printable(step), boottime);
}

// The page's own record of its load, in milliseconds of the wall clock: the navigation's
// steps, the paints, and the marks of our script (the channel's start).
constexpr char kTimings[] = R"((function () {
    var out = {};
    var origin = performance.timeOrigin;
    var nav = performance.getEntriesByType('navigation')[0];
    if (nav) {
        ['fetchStart', 'responseStart', 'responseEnd', 'domInteractive',
         'domContentLoadedEventEnd', 'loadEventEnd'].forEach(function (k) {
            if (nav[k] > 0) out['page ' + k] = origin + nav[k];
        });
    }
    performance.getEntriesByType('paint').concat(performance.getEntriesByType('mark'))
        .forEach(function (e) { out['page ' + e.name] = origin + e.startTime; });
    return JSON.stringify(out);
})())";

// How long after the load the page is asked: its first paints come after the load's end.
constexpr int AskAfterMs = 300;

} // namespace

void EngineTrace::mark(const char *step)
{
    if (enabled())
        report(QString::fromLatin1(step), bootClockSeconds());
}

void EngineTrace::settings(const QStringList &lines)
{
    if (!enabled())
        return;
    for (const QString &line : lines)
        qCInfo(lcEngineTrace).noquote() << "engine setting:" << line;
}

void EngineTrace::markPageTimings(QWebEnginePage *page)
{
    if (!enabled() || !page)
        return;
    QTimer::singleShot(AskAfterMs, page, [page] {
        page->runJavaScript(QString::fromLatin1(kTimings), QWebEngineScript::ApplicationWorld,
                            [](const QVariant &result) {
                                // The wall clock's moments, told in the boot-time clock.
                                const double offset =
                                    bootClockSeconds() -
                                    double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
                                const QJsonObject timings =
                                    QJsonDocument::fromJson(result.toString().toUtf8()).object();
                                for (auto it = timings.begin(); it != timings.end(); ++it)
                                    report(it.key(), it.value().toDouble() / 1000.0 + offset);
                                mark("engine page timings told");
                            });
    });
}

#pragma once

#include <QLoggingCategory>
#include <QStringList>

class QWebEnginePage;

// The steps of the engine's start, each with the moment it was reached, for those who time the
// question view (scripts/bench with KELVO_BENCH_TRACE). Off unless the logging category
// "kelvo.engine.trace" is on for information ("kelvo.engine.trace.info=true"); while it is
// off, nothing is measured and the page is not asked anything.
//
// Each line reads "<step> (boottime <seconds>)", the clock a launcher reads before it starts
// the process.
Q_DECLARE_LOGGING_CATEGORY(lcEngineTrace)

class EngineTrace
{
public:
    static bool enabled() { return lcEngineTrace().isInfoEnabled(); }

    // Reports that step was reached now.
    static void mark(const char *step);
    // Reports the engine's settings in force, one line each ("engine setting: <line>").
    static void settings(const QStringList &lines);

    // Asks the page, which has just loaded, when its navigation began, its first bytes
    // arrived, its channel came up and it first painted anything and any text, and reports
    // each at the moment it happened; then the step "engine page timings told".
    static void markPageTimings(QWebEnginePage *page);
};

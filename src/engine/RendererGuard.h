#pragma once

#include "GrowthWatch.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWebEnginePage>

#include <functional>

// Keeps the question view's page from costing the student the exam window, and brings the
// questions back when their renderer ends:
//
// - each renderer of the page may hold at most RendererDataLimit of memory of its own (what
//   it writes to; address space it only reserves does not count), so a page that allocates
//   without end fails its allocations or ends its renderer long before the machine is full;
// - what the page makes the program itself hold (blobs live in this process) is watched:
//   when this process grows by more than MaxGrowth over what it held with the document
//   shown, the page's renderer is ended, and what it held goes with it;
// - when a renderer ends, for whatever reason, the document is shown again at once, unless
//   the renderer of the last such showing ended too within CrashLoopMs: then a page of ours
//   says that the questions stopped and offers to show them again. Either is shown in a new
//   page, since the engine does not give the page's scripts to the renderer that takes over
//   from one that ended.
//
// The answers and the countdown live in the exam window and are never touched.
class RendererGuard : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 RendererDataLimit = qint64(2) << 30;
    static constexpr qint64 MaxGrowth = qint64(1) << 30;
    static constexpr int CrashLoopMs = 30000;

    // showAgain(url) shows url in a new page, which the guard is then to watch().
    explicit RendererGuard(std::function<void(const QUrl &url)> showAgain,
                           QObject *parent = nullptr);
    ~RendererGuard() override;

    // Watches page, the one shown from now on.
    void watch(QWebEnginePage *page);

    // What this process holds in memory now (its resident set), in bytes; 0 where unknown.
    static qint64 residentBytes() { return GrowthWatch::residentBytes(); }
    // Caps the memory the process pid may write to; whether it could.
    static bool limitRenderer(qint64 pid);

    // To be told when the document has been shown: what the process holds then is the
    // measure of its growth.
    void documentShown();

private:
    void rendererEnded(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode);
    void grewTooMuch();
    // Caps the renderer that shows the page now, unless it is capped already.
    void limitShown();

    std::function<void(const QUrl &url)> m_showAgain;
    QPointer<QWebEnginePage> m_page;
    QElapsedTimer m_sinceAutomaticShow;
    // A page can add blobs of this process at more than a gigabyte a second: the watch looks
    // ten times a second, from a thread of its own.
    GrowthWatch *m_growth;
    qint64 m_baseline = 0;
    qint64 m_limited = 0;
};

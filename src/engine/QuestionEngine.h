#pragma once

#include "controls/QuestionEngineInterface.h"

#include "RefusalLog.h"

#include <QObject>

class DocumentSchemeHandler;
class QuestionEventBridge;
class QWebEnginePage;
class RendererGuard;
class QWebEngineProfile;
class QWebEngineView;

// The browser engine of the question view: an off-the-record profile that serves the document
// and the files of its folder through its own scheme, keeps the page off the network and the
// rest of the file system, and carries window.external.raiseEvent calls back over a web
// channel. A document that cannot be read shows a page of our own that says so and where it
// belongs; the engine's own error pages, in English, never show. When the page's renderer
// ends, the document comes back in a new page (see RendererGuard).
class QuestionEngine : public QObject, public QuestionEngineInterface
{
    Q_OBJECT
public:
    // An engine whose view is a child of host; everything the browser engine needs before
    // its first object (the document's URL scheme, the shared OpenGL context) is made on the
    // first call.
    static QuestionEngineInterface *create(QWidget *host, const Callbacks &callbacks);
    ~QuestionEngine() override;

    QWidget *widget() const override;
    void load(const QString &localPath) override;

private:
    QuestionEngine(QWidget *host, const Callbacks &callbacks);
    // The document's scheme is registered before the first profile exists.
    static void registerUrlScheme();
    static void makeSharedGraphicsContext();
    void createProfile(const Callbacks &callbacks);
    // A page on the document's profile, with the script and channel of raiseEvent, watched by
    // the renderer guard.
    QWebEnginePage *makePage();
    // Shows url in a new page in place of the one whose renderer ended.
    void showInNewPage(const QUrl &url);
    // The engine's start frees a few MiB that the allocator keeps, in the arenas of its many
    // threads; once the first document is shown they go back to the system, from a thread of
    // the pool.
    void handBackStartMemory();

    // Declared first: the page, the guard and the scheme handler log to it until they go.
    RefusalLog m_refusals;
    QWebEngineProfile *m_profile = nullptr;
    DocumentSchemeHandler *m_scheme = nullptr;
    QWebEngineView *m_view = nullptr;
    QuestionEventBridge *m_bridge = nullptr;
    RendererGuard *m_guard = nullptr;
    std::function<void(bool ok)> m_loadFinished;
    bool m_startMemoryHandedBack = false;
};

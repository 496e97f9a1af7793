#include "QuestionEngine.h"

#include "DocumentSchemeHandler.h"
#include "EngineFonts.h"
#include "EngineLog.h"
#include "EngineProcess.h"
#include "EngineTrace.h"
#include "QuestionEventBridge.h"
#include "QuestionPage.h"
#include "QuestionRequestGuard.h"
#include "RendererGuard.h"
#include "TabOutOfPage.h"

#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QOpenGLContext>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

#include <utility>
#ifdef __GLIBC__
#include <QThreadPool>
#include <QTimer>
#include <malloc.h>
#endif

namespace
{

// How long after the document's load its first frames have surely been drawn.
constexpr int StartSettledMs = 300;

QByteArray readResource(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcEngine) << "missing resource" << name;
        return {};
    }
    return file.readAll();
}

// qwebchannel.js and our raiseEvent inside one function, so that neither adds page globals.
QWebEngineScript raiseEventScript()
{
    // kelvoMark(name) marks a step of the page's start on its timeline when the start is
    // traced (see EngineTrace), and does nothing otherwise.
    QByteArray source = "(function () {\n";
    source += EngineTrace::enabled()
                  ? "var kelvoMark = function (name) { performance.mark(name); };\n"
                  : "var kelvoMark = function () {};\n";
    source += readResource(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    source += "\n";
    source += readResource(QStringLiteral(":/engine/raise-event.js"));
    source += "\n})();\n";

    QWebEngineScript script;
    script.setName(QStringLiteral("kelvo-raise-event"));
    script.setSourceCode(QString::fromUtf8(source));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

// What the pages of the profile may do, where it is not the engine's default or must not
// change with it.
struct PageAttribute {
    QWebEngineSettings::WebAttribute attribute;
    bool on;
    const char *name;
};

constexpr PageAttribute kPageAttributes[] = {
    {QWebEngineSettings::LocalContentCanAccessRemoteUrls, false, "LocalContentCanAccessRemoteUrls"},
    {QWebEngineSettings::LocalContentCanAccessFileUrls, false, "LocalContentCanAccessFileUrls"},
    {QWebEngineSettings::JavascriptCanOpenWindows, false, "JavascriptCanOpenWindows"},
    {QWebEngineSettings::JavascriptCanAccessClipboard, false, "JavascriptCanAccessClipboard"},
    {QWebEngineSettings::PluginsEnabled, false, "PluginsEnabled"},
    {QWebEngineSettings::PdfViewerEnabled, false, "PdfViewerEnabled"},
    {QWebEngineSettings::ScreenCaptureEnabled, false, "ScreenCaptureEnabled"},
    {QWebEngineSettings::WebRTCPublicInterfacesOnly, true, "WebRTCPublicInterfacesOnly"},
    {QWebEngineSettings::DnsPrefetchEnabled, false, "DnsPrefetchEnabled"},
    {QWebEngineSettings::ShowScrollBars, true, "ShowScrollBars"},
    // A file of the folder that fails leaves its frame or picture empty; a document that
    // cannot be read gets our page.
    {QWebEngineSettings::ErrorPageEnabled, false, "ErrorPageEnabled"},
    // Nothing shows the page's icon, so /favicon.ico is never asked for.
    {QWebEngineSettings::AutoLoadIconsForPage, false, "AutoLoadIconsForPage"},
};

// The settings in force, as the start's trace describes them: the profile's, then the pages'.
QStringList describeSettings(const QWebEngineProfile *profile)
{
    const QWebEngineSettings *settings = profile->settings();
    QStringList pages;
    for (const PageAttribute &a : kPageAttributes) {
        pages << QLatin1String(a.name) +
                     QLatin1String(settings->testAttribute(a.attribute) ? "=on" : "=off");
    }
    pages << QStringLiteral("default text encoding ") + settings->defaultTextEncoding();
    return {QStringLiteral("profile: %1, HTTP cache %2, persistent cookies %3, spell checking %4")
                .arg(QLatin1String(profile->isOffTheRecord() ? "off the record" : "on disk"),
                     QLatin1String(profile->httpCacheType() == QWebEngineProfile::NoCache ? "none"
                                   : profile->httpCacheType() == QWebEngineProfile::MemoryHttpCache
                                       ? "in memory"
                                       : "on disk"),
                     QLatin1String(profile->persistentCookiesPolicy() ==
                                           QWebEngineProfile::NoPersistentCookies
                                       ? "none"
                                       : "kept"),
                     QLatin1String(profile->isSpellCheckEnabled() ? "on" : "off")),
            QStringLiteral("pages: ") + pages.join(QStringLiteral(", "))};
}

} // namespace

QuestionEngine::QuestionEngine(QWidget *host, const Callbacks &callbacks)
{
    createProfile(callbacks);
    EngineTrace::mark("engine profile made");
    EngineTrace::settings(describeSettings(m_profile));

    m_bridge = new QuestionEventBridge(this);
    connect(m_bridge, &QuestionEventBridge::eventRaised, this,
            [event = callbacks.documentEvent](const QString &name, const QVariant &data) {
                if (event)
                    event(name, data);
            });
    m_loadFinished = callbacks.loadFinished;
    m_guard = new RendererGuard([this](const QUrl &url) { showInNewPage(url); }, this);

    m_view = new QWebEngineView(host);
    m_view->setObjectName(QStringLiteral("questionEngine"));
    m_view->setPage(makePage());
    EngineTrace::mark("engine page made");
    new TabOutOfPage(m_view);
    // The engine's own menu speaks English and offers to navigate, save and view the source;
    // the student needs only to copy.
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, m_view, [view = m_view](QPoint at) {
        QWebEnginePage *shown = view->page();
        QMenu menu(view);
        menu.addAction(QStringLiteral("コピー(&C)"), shown,
                       [shown] { shown->triggerAction(QWebEnginePage::Copy); })
            ->setEnabled(shown->hasSelection());
        menu.addAction(QStringLiteral("すべてを選択(&A)"), shown,
                       [shown] { shown->triggerAction(QWebEnginePage::SelectAll); });
        menu.exec(view->mapToGlobal(at));
    });
}

QWebEnginePage *QuestionEngine::makePage()
{
    auto *page = new QuestionPage(m_profile, &m_refusals, m_view);
    page->scripts().insert(raiseEventScript());
    auto *channel = new QWebChannel(page);
    channel->registerObject(QStringLiteral("questionEvents"), m_bridge);
    page->setWebChannel(channel, QWebEngineScript::MainWorld);
    m_guard->watch(page);
    // Only loads of the document count: a navigation elsewhere that the page refuses starts
    // and stops a load of its own, while the document stays. The page that stands in for a
    // document that cannot be read loads fine, but the document did not: the view's users
    // (the start-up probe among them) hear that it failed.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        const QUrl url = info.url().adjusted(QUrl::RemoveFragment);
        if (url != DocumentSchemeHandler::documentUrl())
            return;
        const bool succeeded = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
        if (succeeded) {
            m_guard->documentShown();
            EngineTrace::mark("engine load finished");
            handBackStartMemory();
            EngineTrace::markPageTimings(m_view->page());
        }
        if (!m_loadFinished)
            return;
        if (succeeded)
            m_loadFinished(m_scheme->documentShown());
        else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
            m_loadFinished(false);
    });
    return page;
}

void QuestionEngine::handBackStartMemory()
{
#ifdef __GLIBC__
    if (std::exchange(m_startMemoryHandedBack, true))
        return;
    // After the page's first frames, which come within a fraction of a second of its load.
    QTimer::singleShot(StartSettledMs, this,
                       [] { QThreadPool::globalInstance()->start([] { malloc_trim(0); }); });
#endif
}

void QuestionEngine::showInNewPage(const QUrl &url)
{
    QWebEnginePage *ended = m_view->page();
    m_view->setPage(makePage());
    ended->deleteLater();
    m_view->page()->load(url);
}

// The page must go before its profile.
QuestionEngine::~QuestionEngine()
{
    delete m_view;
    delete m_profile;
}

void QuestionEngine::registerUrlScheme()
{
    const QByteArray name = DocumentSchemeHandler::schemeName();
    if (QWebEngineUrlScheme::schemeByName(name).name() == name)
        return;
    // Neither local nor allowed local access: the document is an ordinary page that cannot
    // reach file: URLs. Its scripts may read the files of its folder with XMLHttpRequest,
    // which works only for schemes that take part in CORS (fetch() reaches a program's own
    // schemes only from Qt 6.6 on).
    QWebEngineUrlScheme scheme(name);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    scheme.setFlags(QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QWidget *QuestionEngine::widget() const
{
    return m_view;
}

void QuestionEngine::load(const QString &localPath)
{
    // The view asks for a document when it starts and when its path changes: news again.
    m_refusals.clear();
    m_scheme->setFilePath(localPath);
    m_view->page()->load(DocumentSchemeHandler::documentUrl());
    EngineTrace::mark("engine load asked");
}

void QuestionEngine::createProfile(const Callbacks &callbacks)
{
    // A profile without a storage name is off the record: nothing is written to disk.
    m_profile = new QWebEngineProfile;
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->setSpellCheckEnabled(false);

    QWebEngineSettings *settings = m_profile->settings();
    for (const PageAttribute &a : kPageAttributes)
        settings->setAttribute(a.attribute, a.on);
    settings->setDefaultTextEncoding(QStringLiteral("Shift_JIS"));
    EngineFonts::setDefaultFaces(settings);

    m_scheme = new DocumentSchemeHandler(&m_refusals, m_profile);
    m_profile->installUrlSchemeHandler(DocumentSchemeHandler::schemeName(), m_scheme);

    auto *guard = new QuestionRequestGuard(&m_refusals, m_profile);
    connect(guard, &QuestionRequestGuard::requestBlocked, this,
            [blocked = callbacks.requestBlocked](const QUrl &url) {
                if (blocked)
                    blocked(url);
            });
    m_profile->setUrlRequestInterceptor(guard);
}

// The program puts the shared context in place at its start but leaves it unmade, since
// making it delays the first paint; made here, before the first browser object, as
// QGuiApplication would have made it: in the default format.
void QuestionEngine::makeSharedGraphicsContext()
{
#if QT_CONFIG(opengl)
    QOpenGLContext *context = QOpenGLContext::globalShareContext();
    if (!context || context->isValid())
        return;
    context->setScreen(QGuiApplication::primaryScreen());
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (!context->create())
        qCWarning(lcEngine) << "cannot create the shared OpenGL context";
#endif
}

QuestionEngineInterface *QuestionEngine::create(QWidget *host, const Callbacks &callbacks)
{
    EngineTrace::mark("engine start");
    EngineProcess::prepare();
    EngineTrace::mark("engine process settings made");
    registerUrlScheme();
    makeSharedGraphicsContext();
    EngineTrace::mark("engine shared OpenGL context made");
    auto *engine = new QuestionEngine(host, callbacks);
    EngineTrace::mark("engine view made");
    return engine;
}

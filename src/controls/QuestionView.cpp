#include "QuestionView.h"

#include "DocumentPath.h"
#include "DocumentSchemeHandler.h"
#include "QuestionEventBridge.h"
#include "QuestionPage.h"
#include "QuestionRequestGuard.h"

#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QTimer>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

#if QT_CONFIG(opengl)
QT_BEGIN_NAMESPACE
// Qt's own way to set the global share context before the application makes one.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE
#endif

Q_LOGGING_CATEGORY(lcQuestionView, "kelvo.questionview")

namespace
{

// How long a shown view waits for its first paint before it starts the engine regardless.
constexpr int StartWithoutPaintMs = 500;

QByteArray readResource(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcQuestionView) << "missing resource" << name;
        return {};
    }
    return file.readAll();
}

// qwebchannel.js and our raiseEvent inside one function, so that neither adds page globals.
QWebEngineScript raiseEventScript()
{
    QByteArray source = "(function () {\n";
    source += readResource(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    source += "\n";
    source += readResource(QStringLiteral(":/questionview/raise-event.js"));
    source += "\n})();\n";

    QWebEngineScript script;
    script.setName(QStringLiteral("kelvo-raise-event"));
    script.setSourceCode(QString::fromUtf8(source));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

} // namespace

QuestionView::QuestionView(QWidget *parent) : QWidget(parent) {}

// The page must go before its profile.
QuestionView::~QuestionView()
{
    delete m_engine;
    m_engine = nullptr;
    delete m_profile;
    m_profile = nullptr;
}

void QuestionView::registerUrlScheme()
{
    const QByteArray name = DocumentSchemeHandler::schemeName();
    if (QWebEngineUrlScheme::schemeByName(name).name() == name)
        return;
    // Neither local nor allowed local access: the document is an ordinary page that cannot
    // reach file: URLs.
    QWebEngineUrlScheme scheme(name);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    scheme.setFlags({});
    QWebEngineUrlScheme::registerScheme(scheme);
}

void QuestionView::deferSharedGraphicsContext()
{
#if QT_CONFIG(opengl)
    // With a share context already set, neither QGuiApplication nor the browser engine's
    // start-up routine makes one of its own.
    if (QOpenGLContext::globalShareContext())
        return;
    qt_gl_set_global_share_context(new QOpenGLContext);
    qAddPostRoutine([] {
        QOpenGLContext *context = QOpenGLContext::globalShareContext();
        qt_gl_set_global_share_context(nullptr);
        delete context;
    });
#endif
}

// What QGuiApplication would have done at its start: a context in the default format.
void QuestionView::createSharedGraphicsContext()
{
#if QT_CONFIG(opengl)
    QOpenGLContext *context = QOpenGLContext::globalShareContext();
    if (!context || context->isValid())
        return;
    // Made before the application, it knows no screen yet.
    context->setScreen(QGuiApplication::primaryScreen());
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (!context->create())
        qCWarning(lcQuestionView) << "cannot create the shared OpenGL context";
#endif
}

void QuestionView::setDocumentPath(const QString &storedPath)
{
    if (storedPath == m_storedPath)
        return;
    m_storedPath = storedPath;
    if (m_engine)
        loadDocument();
}

QString QuestionView::localDocumentPath() const
{
    return DocumentPath::toLocal(m_storedPath);
}

void QuestionView::createProfile()
{
    // A profile without a storage name is off the record: nothing is written to disk.
    m_profile = new QWebEngineProfile(this);
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->setSpellCheckEnabled(false);

    QWebEngineSettings *settings = m_profile->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, true);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    settings->setDefaultTextEncoding(QStringLiteral("Shift_JIS"));

    m_scheme = new DocumentSchemeHandler(this);
    m_profile->installUrlSchemeHandler(DocumentSchemeHandler::schemeName(), m_scheme);

    m_guard = new QuestionRequestGuard(this);
    connect(m_guard, &QuestionRequestGuard::requestBlocked, this, &QuestionView::requestBlocked);
    m_profile->setUrlRequestInterceptor(m_guard);

    m_profile->scripts()->insert(raiseEventScript());
}

void QuestionView::startEngine()
{
    if (m_engine)
        return;
    createSharedGraphicsContext();
    createProfile();

    m_bridge = new QuestionEventBridge(this);
    connect(m_bridge, &QuestionEventBridge::eventRaised, this, &QuestionView::documentEvent);

    m_engine = new QWebEngineView(this);
    m_engine->setObjectName(QStringLiteral("questionEngine"));
    auto *page = new QuestionPage(m_profile, m_engine);
    m_channel = new QWebChannel(page);
    m_channel->registerObject(QStringLiteral("questionEvents"), m_bridge);
    page->setWebChannel(m_channel, QWebEngineScript::MainWorld);
    m_engine->setPage(page);
    connect(page, &QWebEnginePage::loadFinished, this, &QuestionView::loadFinished);

    m_engine->setGeometry(rect());
    m_engine->show();
    loadDocument();
}

void QuestionView::loadDocument()
{
    m_scheme->setFilePath(localDocumentPath());
    m_engine->page()->load(DocumentSchemeHandler::documentUrl());
}

// The engine's start holds the thread for a good part of a second, so it waits for the
// view's first paint: the window around it is on the screen first. A view that is shown but
// not painted soon (a window opened minimised) starts it anyway.
void QuestionView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_engine && !m_startQueued) {
        m_startQueued = true;
        QTimer::singleShot(StartWithoutPaintMs, this, &QuestionView::startEngine);
    }
}

void QuestionView::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!m_engine && !m_paintSeen) {
        m_paintSeen = true;
        // Queued, so that the whole window is painted and on the screen before it runs.
        QTimer::singleShot(0, this, &QuestionView::startEngine);
    }
}

void QuestionView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_engine)
        m_engine->setGeometry(rect());
}

#include "QuestionView.h"

#include "QuestionEngineInterface.h"
#include "core/DocumentPath.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QOpenGLWidget>
#include <QPluginLoader>
#include <QResizeEvent>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <time.h>
#else
#include <QElapsedTimer>
#endif

Q_LOGGING_CATEGORY(lcQuestionView, "kelvo.questionview", QtWarningMsg)

namespace
{

// How long a shown view waits for its first paint before it starts the engine regardless.
constexpr int StartWithoutPaintMs = 500;

// How long at most a started engine's view keeps from painting while its first document loads.
constexpr int HoldPaintMs = 500;

// Reports a step of the engine's start with its moment on the boot-time clock, for those who
// time it ("kelvo.questionview.info=true"; the engine's own steps are "kelvo.engine.trace").
void traceStep(const char *step)
{
    if (!lcQuestionView().isInfoEnabled())
        return;
#ifdef Q_OS_LINUX
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double seconds = double(now.tv_sec) + double(now.tv_nsec) / 1e9;
#else
    const double seconds = double(QElapsedTimer::msecsSinceReference()) / 1e3;
#endif
    qCInfo(lcQuestionView, "%s (boottime %.6f)", step, seconds);
}

QuestionEngineFactory *g_factory = nullptr;
QString g_pluginFolder;

// The engine plugin of folder, loaded once and kept for the life of the process (the browser
// engine cannot be unloaded); nullptr, with one warning per folder, when there is none that
// speaks this program's interface.
QuestionEngineFactory *pluginFactory(const QString &folder)
{
    static QHash<QString, QuestionEngineFactory *> loaded;
    const auto known = loaded.constFind(folder);
    if (known != loaded.cend())
        return *known;

    QPluginLoader loader(folder + QLatin1Char('/') + QLatin1String(kQuestionEnginePlugin));
    QuestionEngineFactory *factory = nullptr;
    const QString iid = loader.metaData().value(QLatin1String("IID")).toString();
    if (iid.isEmpty()) {
        qCWarning(lcQuestionView).noquote()
            << "no browser engine plugin in" << folder << "-" << loader.errorString();
    } else if (iid != QLatin1String(KelvoQuestionEngineFactory_iid)) {
        qCWarning(lcQuestionView).noquote()
            << "the browser engine plugin" << loader.fileName() << "speaks" << iid
            << "but this program needs" << KelvoQuestionEngineFactory_iid;
    } else {
        factory = qobject_cast<QuestionEngineFactory *>(loader.instance());
        if (!factory)
            qCWarning(lcQuestionView).noquote() << "cannot load the browser engine plugin"
                                                << loader.fileName() << "-" << loader.errorString();
    }
    loaded.insert(folder, factory);
    return factory;
}

} // namespace

QuestionView::QuestionView(QWidget *parent) : QWidget(parent)
{
    // The browser engine draws the page into a texture that the window composes with
    // OpenGL. A window already on the screen when such a child joins it is made again as a
    // new native window: it flickers, the window manager frames it anew, and a key or a click
    // of that moment is lost. A hidden child of that kind, there from the start, has the
    // window made for it at once. Only for the engine of the plugin (a test's engine draws
    // nothing of the kind) and only on a screen: Qt's platforms without one (offscreen,
    // minimal) cannot compose a window with OpenGL and fail at its first paint.
    const QString platform = QGuiApplication::platformName();
    if (!g_factory && platform != QLatin1String("offscreen") &&
        platform != QLatin1String("minimal")) {
        auto *composed = new QOpenGLWidget(this);
        composed->setObjectName(QStringLiteral("composedWithEngine"));
        composed->hide();
    }
}

QuestionView::~QuestionView() = default;

QWidget *QuestionView::engineWidget() const
{
    return m_engine ? m_engine->widget() : nullptr;
}

void QuestionView::setEngineFactory(QuestionEngineFactory *factory)
{
    g_factory = factory;
}

void QuestionView::setPluginFolder(const QString &folder)
{
    g_pluginFolder = folder;
}

void QuestionView::setDocumentPath(const QString &storedPath)
{
    if (storedPath == m_storedPath)
        return;
    m_storedPath = storedPath;
    if (m_engine)
        m_engine->load(localDocumentPath());
}

QString QuestionView::localDocumentPath() const
{
    return DocumentPath::toLocal(m_storedPath);
}

void QuestionView::startEngine()
{
    if (m_engine || m_engineMissing)
        return;
    traceStep("view engine start");
    QuestionEngineFactory *factory = g_factory;
    if (!factory) {
        factory = pluginFactory(g_pluginFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                         : g_pluginFolder);
        traceStep("view plugin loaded");
    }
    if (!factory) {
        m_engineMissing = true;
        Q_EMIT loadFinished(false);
        return;
    }
    QuestionEngineInterface::Callbacks callbacks;
    callbacks.documentEvent = [this](const QString &name, const QVariant &value) {
        Q_EMIT documentEvent(name, value);
    };
    callbacks.loadFinished = [this](bool ok) {
        releasePaint();
        Q_EMIT loadFinished(ok);
    };
    callbacks.requestBlocked = [this](const QUrl &url) { Q_EMIT requestBlocked(url); };
    m_engine.reset(factory->createEngine(this, callbacks));

    QWidget *view = m_engine->widget();
    view->setGeometry(rect());
    // Until its first document is in, the engine's view has only an empty page to draw, and
    // composing that frame into the window holds up the load, whose every step needs this
    // thread: the view shows what the window painted there until the load ends, or for
    // HoldPaintMs at most, so that a document that never finishes loading shows all the same.
    view->setUpdatesEnabled(false);
    QTimer::singleShot(HoldPaintMs, this, &QuestionView::releasePaint);
    view->show();
    m_engine->load(localDocumentPath());
}

void QuestionView::releasePaint()
{
    QWidget *view = engineWidget();
    if (!view || view->updatesEnabled())
        return;
    view->setUpdatesEnabled(true);
    traceStep("view paints");
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
        m_engine->widget()->setGeometry(rect());
}

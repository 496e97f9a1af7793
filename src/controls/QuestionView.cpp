#include "QuestionView.h"

#include "DocumentPath.h"
#include "QuestionEngineInterface.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibrary>
#include <QLoggingCategory>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <dlfcn.h>
#endif

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

// The engine's entry point: already in the process when the module is linked in (the
// tests), otherwise from the module next to the executable.
CreateQuestionEngine resolveEngine()
{
#ifdef Q_OS_UNIX
    if (void *symbol = dlsym(RTLD_DEFAULT, kCreateQuestionEngineSymbol))
        return reinterpret_cast<CreateQuestionEngine>(symbol);
#endif
    QLibrary module(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                    QLatin1String(kQuestionEngineModule));
    const auto create =
        reinterpret_cast<CreateQuestionEngine>(module.resolve(kCreateQuestionEngineSymbol));
    if (!create)
        qCWarning(lcQuestionView) << "cannot load the browser engine:" << module.errorString();
    return create;
}

} // namespace

QuestionView::QuestionView(QWidget *parent) : QWidget(parent) {}

QuestionView::~QuestionView() = default;

QWidget *QuestionView::engineWidget() const
{
    return m_engine ? m_engine->widget() : nullptr;
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
    const CreateQuestionEngine create = resolveEngine();
    if (!create) {
        m_engineMissing = true;
        Q_EMIT loadFinished(false);
        return;
    }
    createSharedGraphicsContext();
    QuestionEngineInterface::Callbacks callbacks;
    callbacks.documentEvent = [this](const QString &name, const QVariant &data) {
        Q_EMIT documentEvent(name, data);
    };
    callbacks.loadFinished = [this](bool ok) { Q_EMIT loadFinished(ok); };
    callbacks.requestBlocked = [this](const QUrl &url) { Q_EMIT requestBlocked(url); };
    m_engine.reset(create(this, callbacks));

    QWidget *view = m_engine->widget();
    view->setGeometry(rect());
    view->show();
    m_engine->load(localDocumentPath());
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

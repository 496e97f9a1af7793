#include "Startup.h"

#include "controls/Fonts.h"
#include "rtf/RtfReader.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QOpenGLContext>
#include <QTranslator>

#if QT_CONFIG(opengl)
QT_BEGIN_NAMESPACE
// Qt's own way to set the global share context before the application makes one.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE
#endif

namespace kelvo
{

namespace
{

// The browser engine wants one OpenGL context that all its views share, made before its
// first view. QGuiApplication makes it in its constructor when asked to share contexts,
// which costs the start a good tenth of a second before any window can paint. With a share
// context already in place it makes none; the engine plugin makes this one when it first
// starts.
void deferSharedGraphicsContext()
{
#if QT_CONFIG(opengl)
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
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

} // namespace

void prepareBeforeApplication()
{
    deferSharedGraphicsContext();
}

void prepareApplication(QApplication &app)
{
    // The window class on X11, which the desktop entry's StartupWMClass names.
    QCoreApplication::setApplicationName(QStringLiteral("kelvo"));
    loadFontsInBackground();
    installFontSubstitutions();
    // The build makes sure of the code-page-932 decoder; a Qt without it at run time (built
    // without ICU) would show every line of the documents as replacement characters.
    if (!RtfReader::decoderAvailable())
        qCritical("kelvo: Qt cannot decode code page 932 (windows-31j) here; the pass-line and "
                  "help documents cannot be shown. Qt Core needs ICU.");
    app.setWindowIcon(QIcon(QStringLiteral(":/images/maru.ico")));
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.bralden.Kelvo"));

    // The program speaks Japanese whatever the desktop's language: Qt's own texts too (the
    // context menus of the answer blanks and the documents).
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

} // namespace kelvo

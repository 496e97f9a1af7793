// The baseline of the first paint: a Qt Widgets window of the exam window's size with one
// label, and nothing else of the program. Built three times:
// - bare_window: the plain window, drawn and shown without OpenGL;
// - bare_window_composed (BARE_COMPOSED_WITH_OPENGL): the same window made, as every window
//   that hosts a browser view must be, to compose its content with OpenGL from its first
//   frame (a hidden OpenGL child widget, and the shared OpenGL context of the browser engine
//   put in place but left unmade, as the program does);
// - bare_window_linked (BARE_WITH_PROGRAM_LIBRARIES): the plain window with the program's Qt
//   libraries loaded at start and its OpenGL set-up, to tell the cost of loading those
//   libraries from the cost of the program's own start.
#include "BareProbe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#if defined(BARE_WITH_PROGRAM_LIBRARIES) || defined(BARE_COMPOSED_WITH_OPENGL)
#define BARE_SHARED_CONTEXT
#include <QOpenGLContext>
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE
#endif
#ifdef BARE_COMPOSED_WITH_OPENGL
#include <QOpenGLWidget>
#endif

int main(int argc, char *argv[])
{
#ifdef BARE_SHARED_CONTEXT
    // As the program does: the share context is set but made only when the engine starts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qt_gl_set_global_share_context(new QOpenGLContext);
#endif
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Kelvo"), &window));
#ifdef BARE_COMPOSED_WITH_OPENGL
    (new QOpenGLWidget(&window))->hide();
#endif
    window.resize(792, 575);
    BareProbe probe;
    probe.watchPaint(&window);
    window.show();
    return app.exec();
}

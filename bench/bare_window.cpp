// The baseline of the first paint: a Qt Widgets window of the exam window's size with one
// label, and nothing else of the program. Built a second time as bare_window_linked, with
// the program's Qt libraries loaded at start and its OpenGL set-up, to tell the cost of
// loading those libraries from the cost of the program's own start.
#include "BareProbe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#ifdef BARE_WITH_PROGRAM_LIBRARIES
#include <QOpenGLContext>
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE
#endif

int main(int argc, char *argv[])
{
#ifdef BARE_WITH_PROGRAM_LIBRARIES
    // As the program does: the share context is set but made only when the engine starts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qt_gl_set_global_share_context(new QOpenGLContext);
#endif
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Kelvo"), &window));
    window.resize(792, 575);
    BareProbe probe;
    probe.watchPaint(&window);
    window.show();
    return app.exec();
}

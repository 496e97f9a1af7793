// The baseline of the first paint: a Qt Widgets window of the exam window's size with one
// label, and nothing else of the program.
#include "BareProbe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Kelvo"), &window));
    window.resize(792, 575);
    BareProbe probe;
    probe.watchPaint(&window);
    window.show();
    return app.exec();
}

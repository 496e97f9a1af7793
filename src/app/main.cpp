#include "app/Startup.h"
#include "app/WindowRegistry.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    kelvo::prepareBeforeApplication();
    QApplication app(argc, argv);
    kelvo::prepareApplication(app);

    WindowRegistry registry;
    registry.registerWindow(QStringLiteral("frmKelvo"), [] {
        auto *w = new QLabel(QStringLiteral("問題 （Kelvo）"));
        w->setWindowTitle(QStringLiteral("問題 （Kelvo）"));
        w->resize(792, 554);
        return w;
    });
    registry.show(QStringLiteral("frmKelvo"));
    return app.exec();
}

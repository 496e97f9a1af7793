#include "app/Startup.h"
#include "app/StartupProbe.h"
#include "app/WindowCatalog.h"
#include "app/WindowRegistry.h"
#include "core/DocumentPath.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    kelvo::prepareBeforeApplication();
    QApplication app(argc, argv);
    kelvo::prepareApplication(app);

    WindowRegistry registry;
    kelvo::registerWindows(registry, DocumentPath::stored());
    StartupProbe probe;
    probe.watch(registry.show(QStringLiteral("frmKelvo")));
    return app.exec();
}

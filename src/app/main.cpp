#include "app/Startup.h"
#include "app/StartupProbe.h"
#include "app/WindowCatalog.h"
#include "app/WindowRegistry.h"
#include "core/DocumentPath.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    StartupProbe::mark("main");
    kelvo::prepareBeforeApplication();
    QApplication app(argc, argv);
    StartupProbe::mark("application made");
    kelvo::prepareApplication(app);
    StartupProbe::mark("application prepared");

    WindowRegistry registry;
    kelvo::registerWindows(registry, DocumentPath::stored());
    StartupProbe probe;
    probe.watch(registry.show(QStringLiteral("frmKelvo")));
    StartupProbe::mark("exam window shown");
    return app.exec();
}

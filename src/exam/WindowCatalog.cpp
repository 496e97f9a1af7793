#include "WindowCatalog.h"

#include "app/WindowRegistry.h"
#include "frmKelvo.h"
#include "windows/HelpWindow.h"
#include "windows/PassLineWindow.h"

namespace kelvo
{

void registerWindows(WindowRegistry &registry)
{
    registry.registerWindow(QStringLiteral("frmKelvo"),
                            [&registry] { return new frmKelvo(&registry); });
    for (int band = 1; band <= 6; ++band) {
        registry.registerWindow(QStringLiteral("frm合格ライン%1").arg(band),
                                [band] { return new PassLineWindow(band); });
    }
    registry.registerWindow(QStringLiteral("frmヘルプ"), [] { return new HelpWindow; });
}

} // namespace kelvo

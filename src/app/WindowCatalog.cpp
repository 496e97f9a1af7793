#include "WindowCatalog.h"

#include "WindowRegistry.h"
#include "exam/frmKelvo.h"
#include "windows/HelpWindow.h"
#include "windows/PassLineWindow.h"

namespace kelvo
{

void registerWindows(WindowRegistry &registry, const QString &questionDocument)
{
    registry.registerWindow(QStringLiteral("frmKelvo"), [&registry, questionDocument] {
        auto *exam = new frmKelvo(questionDocument);
        QObject::connect(exam, &frmKelvo::passLineWindowRequested, &registry,
                         [&registry](const QString &name) { registry.show(name); });
        QObject::connect(exam, &frmKelvo::helpRequested, &registry,
                         [&registry] { registry.show(QStringLiteral("frmヘルプ")); });
        QObject::connect(exam, &frmKelvo::exitRequested, &registry, &WindowRegistry::exitAll);
        return exam;
    });
    for (int band = 1; band <= PassLineWindow::kBands; ++band) {
        registry.registerWindow(QStringLiteral("frm合格ライン%1").arg(band),
                                [band] { return new PassLineWindow(band); });
    }
    registry.registerWindow(QStringLiteral("frmヘルプ"), [] { return new HelpWindow; });
}

} // namespace kelvo

#include "WindowCatalog.h"

#include "WindowRegistry.h"
#include "core/PassRate.h"
#include "exam/frmKelvo.h"
#include "windows/HelpWindow.h"
#include "windows/PassLineWindow.h"

namespace kelvo
{

QList<WindowEntry> windowCatalog(WindowRegistry &registry, const QString &questionDocument)
{
    const QString help = QStringLiteral("frmヘルプ");
    QList<WindowEntry> windows;
    windows.append({QStringLiteral("frmKelvo"),
                    [&registry, questionDocument, help] {
                        auto *exam = new frmKelvo(questionDocument);
                        QObject::connect(exam, &frmKelvo::passLineWindowRequested, &registry,
                                         [&registry](int band) {
                                             registry.show(PassLineWindow::nameFor(band));
                                         });
                        QObject::connect(exam, &frmKelvo::helpRequested, &registry,
                                         [&registry, help] { registry.show(help); });
                        QObject::connect(exam, &frmKelvo::exitRequested, &registry,
                                         &WindowRegistry::exitAll);
                        return exam;
                    },
                    0});
    // The pass-line windows close in the order of their bands.
    for (int band = 1; band <= passrate::kBandCount; ++band)
        windows.append(
            {PassLineWindow::nameFor(band), [band] { return new PassLineWindow(band); }, band});
    windows.append({help, [] { return new HelpWindow; }, passrate::kBandCount + 1});
    return windows;
}

void registerWindows(WindowRegistry &registry, const QString &questionDocument)
{
    for (WindowEntry &w : windowCatalog(registry, questionDocument))
        registry.registerWindow(w.name, std::move(w.make), w.exitRank);
}

} // namespace kelvo

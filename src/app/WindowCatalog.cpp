#include "WindowCatalog.h"

#include "WindowRegistry.h"
#include "core/PassRate.h"
#include "exam/frmKelvo.h"
#include "windows/HelpWindow.h"
#include "windows/PassLineWindow.h"

namespace kelvo
{

namespace
{

const QString kHelp = QStringLiteral("frmヘルプ");

// The exam window, its requests for other windows and for the exit served by registry.
QWidget *makeExamWindow(WindowRegistry &registry, const QString &questionDocument)
{
    auto *exam = new frmKelvo(questionDocument);
    QObject::connect(exam, &frmKelvo::passLineWindowRequested, &registry,
                     [&registry](int band) { registry.show(PassLineWindow::nameFor(band)); });
    QObject::connect(exam, &frmKelvo::helpRequested, &registry,
                     [&registry] { registry.show(kHelp); });
    QObject::connect(exam, &frmKelvo::exitRequested, &registry, &WindowRegistry::exitAll);
    return exam;
}

} // namespace

QList<WindowEntry> windowCatalog(WindowRegistry &registry, const QString &questionDocument)
{
    // Name, exit rank, maker: the exam window first, the pass-line windows band by band, the
    // help window last.
    QList<WindowEntry> windows{{QStringLiteral("frmKelvo"), 0, [&registry, questionDocument] {
                                    return makeExamWindow(registry, questionDocument);
                                }}};
    for (int band = 1; band <= passrate::kBandCount; ++band)
        windows.append(
            {PassLineWindow::nameFor(band), band, [band] { return new PassLineWindow(band); }});
    windows.append({kHelp, passrate::kBandCount + 1, [] { return new HelpWindow; }});
    return windows;
}

void registerWindows(WindowRegistry &registry, const QString &questionDocument)
{
    for (WindowEntry &w : windowCatalog(registry, questionDocument))
        registry.registerWindow(w.name, w.exitRank, std::move(w.make));
}

} // namespace kelvo

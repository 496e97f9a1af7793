#include "Startup.h"

#include "controls/Fonts.h"
#include "controls/QuestionView.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kelvo
{

void prepareBeforeApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QuestionView::deferSharedGraphicsContext();
}

void prepareApplication(QApplication &app)
{
    installFontSubstitutions();
    app.setWindowIcon(QIcon(QStringLiteral(":/images/maru.ico")));
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.bralden.Kelvo"));

    // The program speaks Japanese whatever the desktop's language: Qt's own texts too (the
    // context menus of the answer blanks and the documents).
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

} // namespace kelvo

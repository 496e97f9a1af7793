#include "Startup.h"

#include "controls/Fonts.h"
#include "controls/QuestionView.h"

#include <QApplication>

namespace kelvo
{

void prepareBeforeApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QuestionView::deferSharedGraphicsContext();
}

void prepareApplication(QApplication &app)
{
    Q_UNUSED(app);
    installFontSubstitutions();
}

} // namespace kelvo

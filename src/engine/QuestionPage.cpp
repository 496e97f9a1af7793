#include "QuestionPage.h"
#include "EngineLog.h"

#include "DocumentSchemeHandler.h"

QuestionPage::QuestionPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
}

QuestionPage::~QuestionPage() = default;

bool QuestionPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    QUrl target = url;
    target.setFragment({});
    if (target == DocumentSchemeHandler::documentUrl())
        return true;
    qCInfo(lcEngine) << "refused navigation to" << url << type
                     << (isMainFrame ? "main frame" : "sub-frame");
    return false;
}

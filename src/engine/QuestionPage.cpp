#include "QuestionPage.h"

#include "DocumentSchemeHandler.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcQuestionPage, "kelvo.questionview.page")

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
    qCInfo(lcQuestionPage) << "refused navigation to" << url << type
                           << (isMainFrame ? "main frame" : "sub-frame");
    return false;
}

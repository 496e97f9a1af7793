#include "QuestionPage.h"
#include "EngineLog.h"

#include "DocumentSchemeHandler.h"
#include "RefusalLog.h"

QuestionPage::QuestionPage(QWebEngineProfile *profile, RefusalLog *log, QObject *parent)
    : QWebEnginePage(profile, parent), m_log(log)
{
}

QuestionPage::~QuestionPage() = default;

bool QuestionPage::isAllowed(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // A form has nowhere to go: the page reaches no server, and the scheme only reads.
    if (type == NavigationTypeFormSubmitted)
        return false;
    if (isMainFrame) {
        QUrl target = url;
        target.setFragment({});
        return target == DocumentSchemeHandler::documentUrl();
    }
    return DocumentSchemeHandler::isInDocumentFolder(url);
}

bool QuestionPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (isAllowed(url, type, isMainFrame))
        return true;
    const QString target = url.toString(QUrl::FullyEncoded);
    m_log->warnOnce(target,
                    QStringLiteral("refused navigation of the %1 to %2")
                        .arg(isMainFrame ? QLatin1String("page") : QLatin1String("frame"), target));
    return false;
}

void QuestionPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                            const QString &message, int lineNumber,
                                            const QString &sourceId)
{
    qCDebug(lcEngine).noquote() << "console" << level
                                << sourceId + QLatin1Char(':') + QString::number(lineNumber)
                                << message;
}

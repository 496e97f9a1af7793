#include "QuestionRequestGuard.h"

#include "DocumentSchemeHandler.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRequestGuard, "kelvo.questionview.guard")

QuestionRequestGuard::QuestionRequestGuard(QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
{
}

QuestionRequestGuard::~QuestionRequestGuard() = default;

bool QuestionRequestGuard::isAllowed(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String(DocumentSchemeHandler::schemeName()) ||
           scheme == QLatin1String("data") || scheme == QLatin1String("blob");
}

void QuestionRequestGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (isAllowed(info.requestUrl()))
        return;
    qCInfo(lcRequestGuard) << "blocked" << info.requestMethod() << info.requestUrl();
    info.block(true);
    Q_EMIT requestBlocked(info.requestUrl());
}

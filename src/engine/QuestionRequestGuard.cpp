#include "QuestionRequestGuard.h"
#include "EngineLog.h"

#include "DocumentSchemeHandler.h"

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
    qCInfo(lcEngine) << "blocked" << info.requestMethod() << info.requestUrl();
    info.block(true);
    Q_EMIT requestBlocked(info.requestUrl());
}

#include "QuestionRequestGuard.h"

#include "DocumentSchemeHandler.h"
#include "RefusalLog.h"

QuestionRequestGuard::QuestionRequestGuard(RefusalLog *log, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent), m_log(log)
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
    const QString url = info.requestUrl().toString(QUrl::FullyEncoded);
    m_log->warnOnce(
        url, QStringLiteral("blocked %1 %2").arg(QString::fromLatin1(info.requestMethod()), url));
    info.block(true);
    Q_EMIT requestBlocked(info.requestUrl());
}

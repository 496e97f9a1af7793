#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// Keeps the question view off the network and the file system: every request of its profile
// is blocked except those for the document's own scheme and in-page data: and blob: URLs.
class QuestionRequestGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    explicit QuestionRequestGuard(QObject *parent = nullptr);
    ~QuestionRequestGuard() override;

    static bool isAllowed(const QUrl &url);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

Q_SIGNALS:
    void requestBlocked(const QUrl &url);
};

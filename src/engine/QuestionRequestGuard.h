#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

class RefusalLog;

// Keeps the question view off the network and the file system: every request of its profile
// is blocked except those for the document's own scheme and in-page data: and blob: URLs.
class QuestionRequestGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    // Blocked requests go to log, which must outlive the guard.
    explicit QuestionRequestGuard(RefusalLog *log, QObject *parent = nullptr);
    ~QuestionRequestGuard() override;

    static bool isAllowed(const QUrl &url);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

Q_SIGNALS:
    // Every blocked request, however often the same URL is asked for.
    void requestBlocked(const QUrl &url);

private:
    RefusalLog *m_log;
};

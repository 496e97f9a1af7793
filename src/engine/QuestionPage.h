#pragma once

#include <QWebEnginePage>

class RefusalLog;

// The question view's page: it stays on the question document and refuses to navigate
// anywhere else, whether by a link, a script, a form or a frame. Frames may show the files
// of the document's folder. What the page writes to its console is logged at debug level.
class QuestionPage : public QWebEnginePage
{
    Q_OBJECT
public:
    // Refused navigations go to log, which must outlive the page.
    QuestionPage(QWebEngineProfile *profile, RefusalLog *log, QObject *parent = nullptr);
    ~QuestionPage() override;

    // Whether the main frame (or else a frame inside it) may go to url by a navigation of
    // the given type.
    static bool isAllowed(const QUrl &url, NavigationType type, bool isMainFrame);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceId) override;

private:
    RefusalLog *m_log;
};

#pragma once

#include <QWebEnginePage>

class RefusalLog;

// The question view's page: it stays on the question document and refuses to navigate
// anywhere else, whether by a link, a script, a form or a frame. Frames may show the files
// of the document's folder. What the page writes to its console is logged at debug level.
// Nothing the page asks for opens a window over the exam: its alert, confirm, prompt and
// leave-page boxes answer at once without showing (confirm no, prompt nothing), a file input
// chooses no file, and every permission and full screen are refused.
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
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                          const QString &defaultValue, QString *result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;

private:
    RefusalLog *m_log;
};

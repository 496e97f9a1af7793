#pragma once

#include <QWebEnginePage>

// The question view's page: it stays on the question document and refuses to navigate
// anywhere else, whether by a link, a script, a form or a frame.
class QuestionPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit QuestionPage(QWebEngineProfile *profile, QObject *parent = nullptr);
    ~QuestionPage() override;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
};

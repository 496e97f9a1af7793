#pragma once

#include "controls/QuestionEngineInterface.h"

#include <QObject>

class DocumentSchemeHandler;
class QWebEngineProfile;
class QWebEngineView;

// The browser engine of the question view: an off-the-record profile that serves the one
// document through its own scheme, keeps the page off the network and the file system,
// and carries window.external.raiseEvent calls back over a web channel.
class QuestionEngine : public QObject, public QuestionEngineInterface
{
    Q_OBJECT
public:
    QuestionEngine(QWidget *host, const Callbacks &callbacks);
    ~QuestionEngine() override;

    // The scheme must be registered before the first profile exists.
    static void registerUrlScheme();

    QWidget *widget() const override;
    void load(const QString &localPath) override;

private:
    void createProfile(const Callbacks &callbacks);

    QWebEngineProfile *m_profile = nullptr;
    DocumentSchemeHandler *m_scheme = nullptr;
    QWebEngineView *m_view = nullptr;
};

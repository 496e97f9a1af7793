#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QtPlugin>

#include <functional>

class QWidget;

// The browser engine behind the question view. It lives in a plugin of its own
// (kelvo_questionengine), loaded when the view first paints, so that the program starts and
// paints its windows without loading the browser engine's libraries.
class QuestionEngineInterface
{
public:
    struct Callbacks {
        std::function<void(const QString &name, const QVariant &data)> documentEvent;
        std::function<void(bool ok)> loadFinished;
        std::function<void(const QUrl &url)> requestBlocked;
    };

    virtual ~QuestionEngineInterface() = default;

    // The browser view, a child of the host widget.
    virtual QWidget *widget() const = 0;

    // Shows the local file as the question document, and the files of its folder to it; a
    // path with no readable document shows a page of ours that says so and where the document
    // belongs, and its load is reported as failed.
    virtual void load(const QString &localPath) = 0;
};

// What the plugin's root object offers: engines whose view is a child of host.
class QuestionEngineFactory
{
public:
    virtual ~QuestionEngineFactory() = default;
    virtual QuestionEngineInterface *
    createEngine(QWidget *host, const QuestionEngineInterface::Callbacks &callbacks) = 0;
};

// The interface id carries its version: a plugin built against another version of the
// interface is refused before any of its code runs.
#define KelvoQuestionEngineFactory_iid "jp.bralden.Kelvo.QuestionEngineFactory/1"
Q_DECLARE_INTERFACE(QuestionEngineFactory, KelvoQuestionEngineFactory_iid)

// The plugin's file name without prefix and suffix, looked for in the program's folder.
inline constexpr char kQuestionEnginePlugin[] = "kelvo_questionengine";

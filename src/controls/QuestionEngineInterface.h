#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QWidget;

// The browser engine behind the question view. It lives in a module of its own
// (kelvo_questionengine), loaded when the view first paints, so that the program starts
// and paints its windows without loading the browser engine's libraries.
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

    // Shows the local file as the question document; an empty path shows the error page.
    virtual void load(const QString &localPath) = 0;
};

// The module's one entry point: an engine whose view is a child of host.
using CreateQuestionEngine =
    QuestionEngineInterface *(*)(QWidget *host, const QuestionEngineInterface::Callbacks &);
inline constexpr char kCreateQuestionEngineSymbol[] = "kelvo_create_question_engine";
inline constexpr char kQuestionEngineModule[] = "kelvo_questionengine";

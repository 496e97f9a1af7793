#pragma once

#include "common/WebPage.h"

#include "controls/QuestionView.h"

#include <QSignalSpy>
#include <QWebEngineView>

#include <memory>

namespace kelvo::test
{

// A question view shown on a document, with its signals recorded from the start.
class OpenedView
{
public:
    explicit OpenedView(const QString &path)
    {
        view->setObjectName(QStringLiteral("Scriptlet1"));
        view->setDocumentPath(path);
        view->resize(625, 369);
        view->show();
    }

    // Waits for the first load to finish; whether it did.
    bool waitForLoad()
    {
        return waitFor([&] { return loads.count() > 0; }, EngineTimeout);
    }
    bool loadedOk() const { return !loads.isEmpty() && loads.first().first().toBool(); }

    // Shows another document in the same view, with the signals recorded afresh; whether it
    // finished loading.
    bool show(const QString &path)
    {
        loads.clear();
        documentEvents.clear();
        view->setDocumentPath(path);
        return waitForLoad();
    }

    QWebEnginePage *page() const
    {
        auto *web = qobject_cast<QWebEngineView *>(view->engineWidget());
        return web ? web->page() : nullptr;
    }

    // The data of the events called name, in order.
    QVariantList events(const QString &name) const
    {
        QVariantList data;
        for (const QList<QVariant> &event : documentEvents)
            if (event.at(0).toString() == name)
                data << event.at(1);
        return data;
    }

    const std::unique_ptr<QuestionView> view = std::make_unique<QuestionView>();
    QSignalSpy loads{view.get(), &QuestionView::loadFinished};
    QSignalSpy documentEvents{view.get(), &QuestionView::documentEvent};
};

} // namespace kelvo::test

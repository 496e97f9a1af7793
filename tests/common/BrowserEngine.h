#pragma once

#include "common/Wait.h"
#include "controls/QuestionView.h"
#include "engine/QuestionEngine.h"

namespace kelvo::test
{

// The real browser engine, linked into the test rather than loaded as the plugin.
class BrowserEngineFactory : public QuestionEngineFactory
{
public:
    QuestionEngineInterface *
    createEngine(QWidget *host, const QuestionEngineInterface::Callbacks &callbacks) override
    {
        return QuestionEngine::create(host, callbacks);
    }
};

// Question views started from now on run the real browser engine.
inline void useBrowserEngine()
{
    static BrowserEngineFactory factory;
    QuestionView::setEngineFactory(&factory);
}

} // namespace kelvo::test

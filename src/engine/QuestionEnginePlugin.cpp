#include "QuestionEnginePlugin.h"

#include "QuestionEngine.h"

QuestionEnginePlugin::QuestionEnginePlugin(QObject *parent) : QObject(parent) {}

QuestionEnginePlugin::~QuestionEnginePlugin() = default;

QuestionEngineInterface *
QuestionEnginePlugin::createEngine(QWidget *host,
                                   const QuestionEngineInterface::Callbacks &callbacks)
{
    return QuestionEngine::create(host, callbacks);
}

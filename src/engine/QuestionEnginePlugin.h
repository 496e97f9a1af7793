#pragma once

#include "controls/QuestionEngineInterface.h"

#include <QObject>

// The plugin's root object: it makes the question view's browser engines.
class QuestionEnginePlugin : public QObject, public QuestionEngineFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID KelvoQuestionEngineFactory_iid)
    Q_INTERFACES(QuestionEngineFactory)
public:
    explicit QuestionEnginePlugin(QObject *parent = nullptr);
    ~QuestionEnginePlugin() override;

    QuestionEngineInterface *
    createEngine(QWidget *host, const QuestionEngineInterface::Callbacks &callbacks) override;
};

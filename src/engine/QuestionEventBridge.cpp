#include "QuestionEventBridge.h"

QuestionEventBridge::QuestionEventBridge(QObject *parent) : QObject(parent) {}

QuestionEventBridge::~QuestionEventBridge() = default;

void QuestionEventBridge::raiseEvent(const QString &name, const QVariant &data)
{
    Q_EMIT eventRaised(name, data);
}

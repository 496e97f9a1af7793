#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// The object the page's window.external.raiseEvent reaches over the web channel.
class QuestionEventBridge : public QObject
{
    Q_OBJECT
public:
    explicit QuestionEventBridge(QObject *parent = nullptr);
    ~QuestionEventBridge() override;

    // Called by the page, once per window.external.raiseEvent(name, data), in call order.
    Q_INVOKABLE void raiseEvent(const QString &name, const QVariant &data);

Q_SIGNALS:
    void eventRaised(const QString &name, const QVariant &data);
};

#pragma once

#include "SoundDevice.h"

#include <QWidget>

#include <memory>

// MMControl1: an invisible multimedia player driven by two properties, FileName and
// Command ("Open", "Prev", "Play"). A command that cannot be carried out is recorded in
// lastError() and the log, never raised.
class MciPlayer : public QWidget
{
    Q_OBJECT
public:
    explicit MciPlayer(QWidget *parent = nullptr);
    ~MciPlayer() override;

    // Replaces the device the commands reach (tests install a recording one).
    void setDevice(std::unique_ptr<SoundDevice> device);
    SoundDevice *device() const { return m_device.get(); }

    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }

    // Carries out one command; the property keeps the last command sent.
    void setCommand(const QString &command);
    QString command() const { return m_command; }

    QString lastError() const { return m_lastError; }

private:
    void fail(const QString &message);

    std::unique_ptr<SoundDevice> m_device;
    QString m_fileName;
    QString m_command;
    QString m_lastError;
};

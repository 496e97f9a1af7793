#pragma once

#include "SoundDevice.h"

#include <QWidget>

#include <memory>

// MMControl1: an invisible multimedia player driven by two properties, FileName and
// Command ("Open", "Prev", "Play"). A command that cannot be carried out is recorded in
// lastError() and the log category "kelvo.player", never raised.
class MciPlayer : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName)
    Q_PROPERTY(QString Command READ command WRITE setCommand)
public:
    explicit MciPlayer(QWidget *parent = nullptr);
    ~MciPlayer() override;

    // Replaces the device the commands reach (tests install a recording one). Without a
    // call, the first command creates a SoundEffectDevice; a null device stays null, and
    // every command then fails calmly.
    void setDevice(std::unique_ptr<SoundDevice> device);
    SoundDevice *device() const { return m_device.get(); }

    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }

    // Carries out one command; the property keeps the last command sent. Only "Open",
    // "Prev" and "Play" reach the device.
    void setCommand(const QString &command);
    QString command() const { return m_command; }

    // The last failure, including one the device found after its command had returned.
    QString lastError() const { return m_lastError; }

private:
    void fail(const QString &message);

    std::unique_ptr<SoundDevice> m_device;
    bool m_deviceChosen = false;
    QString m_fileName;
    QString m_command;
    QString m_lastError;
};

#include "MciPlayer.h"

#include "SoundEffectDevice.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPlayer, "kelvo.player")

MciPlayer::MciPlayer(QWidget *parent) : QWidget(parent)
{
    setVisible(false);
}

MciPlayer::~MciPlayer() = default;

void MciPlayer::setDevice(std::unique_ptr<SoundDevice> device)
{
    m_deviceChosen = true;
    m_device = std::move(device);
    if (m_device)
        m_device->setFailureHandler([this](const QString &message) { fail(message); });
}

void MciPlayer::setCommand(const QString &command)
{
    m_command = command;
    const bool known = command == QLatin1String("Open") || command == QLatin1String("Prev") ||
                       command == QLatin1String("Play");
    if (!known) {
        fail(QStringLiteral("unknown command \"%1\"").arg(command));
        return;
    }
    // Created on the first command, so that a window that never plays sets up no audio.
    if (!m_deviceChosen)
        setDevice(std::make_unique<SoundEffectDevice>());
    if (!m_device) {
        fail(QStringLiteral("no sound device for \"%1\"").arg(command));
        return;
    }
    QString error;
    bool ok = false;
    if (command == QLatin1String("Open"))
        ok = m_device->open(m_fileName, &error);
    else if (command == QLatin1String("Prev"))
        ok = m_device->rewind(&error);
    else
        ok = m_device->play(&error);
    if (!ok)
        fail(error);
}

void MciPlayer::fail(const QString &message)
{
    m_lastError = message;
    qCDebug(lcPlayer) << m_command << m_fileName << message;
}

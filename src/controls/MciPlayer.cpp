#include "MciPlayer.h"

#include "SoundEffectDevice.h"

#include <QLoggingCategory>

// Warnings only unless asked for: a chime file that cannot be opened is a fault of the
// installation, told once; commands to a player that holds nothing are what a document event
// before the first tick sends, and a missing chime fails once a second.
Q_LOGGING_CATEGORY(lcPlayer, "kelvo.player", QtWarningMsg)

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
    // A new failure is told once; its repeats on later ticks only at debug level.
    if (message == m_lastError)
        qCDebug(lcPlayer).noquote() << m_command << m_fileName << "failed:" << message;
    else if (m_command == QLatin1String("Open"))
        qCWarning(lcPlayer).noquote() << m_command << m_fileName << "failed:" << message;
    else
        qCInfo(lcPlayer).noquote() << m_command << m_fileName << "failed:" << message;
    m_lastError = message;
}

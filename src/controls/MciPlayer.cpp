#include "MciPlayer.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPlayer, "kelvo.player")

MciPlayer::MciPlayer(QWidget *parent) : QWidget(parent)
{
    setVisible(false);
}

MciPlayer::~MciPlayer() = default;

void MciPlayer::setDevice(std::unique_ptr<SoundDevice> device)
{
    m_device = std::move(device);
}

void MciPlayer::setCommand(const QString &command)
{
    m_command = command;
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
    else if (command == QLatin1String("Play"))
        ok = m_device->play(&error);
    else
        error = QStringLiteral("unknown command \"%1\"").arg(command);
    if (!ok)
        fail(error);
}

void MciPlayer::fail(const QString &message)
{
    m_lastError = message;
    qCDebug(lcPlayer) << m_command << m_fileName << message;
}

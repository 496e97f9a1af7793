#pragma once

#include "controls/MciPlayer.h"
#include "controls/SoundDevice.h"

#include <QStringList>
#include <QWidget>

#include <memory>

namespace kelvo::test
{

// A sound device that writes down every command reaching it, so long runs cost no audio.
class RecordingDevice : public SoundDevice
{
public:
    explicit RecordingDevice(QStringList *log) : m_log(log) {}
    bool open(const QString &fileName, QString *) override
    {
        m_log->append(QStringLiteral("Open ") + fileName);
        return true;
    }
    bool rewind(QString *) override
    {
        m_log->append(QStringLiteral("Prev"));
        return true;
    }
    bool play(QString *) override
    {
        m_log->append(QStringLiteral("Play"));
        return true;
    }

private:
    QStringList *m_log;
};

// Puts a recording device on the window's player; false when the window has none.
inline bool recordSound(QWidget *window, QStringList *log)
{
    auto *player = window->findChild<MciPlayer *>(QStringLiteral("MMControl1"));
    if (!player)
        return false;
    player->setDevice(std::make_unique<RecordingDevice>(log));
    return true;
}

} // namespace kelvo::test

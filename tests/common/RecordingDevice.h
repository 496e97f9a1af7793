#pragma once

#include "controls/MciPlayer.h"
#include "controls/SoundDevice.h"

#include <QStringList>
#include <QWidget>

#include <memory>

namespace kelvo::test
{

// A sound device that writes down every command reaching it ("Open <file>", "Prev", "Play"),
// so long runs cost no audio; it fails with failWith when that is set.
class RecordingDevice : public SoundDevice
{
public:
    explicit RecordingDevice(QStringList *log) : m_log(log) {}
    bool open(const QString &fileName, QString *error) override
    {
        return record(QStringLiteral("Open ") + fileName, error);
    }
    bool rewind(QString *error) override { return record(QStringLiteral("Prev"), error); }
    bool play(QString *error) override { return record(QStringLiteral("Play"), error); }
    void setFailureHandler(FailureHandler handler) override { report = std::move(handler); }

    QString failWith;
    FailureHandler report; // where the player wants failures found later

private:
    bool record(const QString &command, QString *error)
    {
        m_log->append(command);
        if (failWith.isEmpty())
            return true;
        *error = failWith;
        return false;
    }

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

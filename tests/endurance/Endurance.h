#pragma once

#include "controls/MciPlayer.h"
#include "controls/SoundDevice.h"

#include <QLoggingCategory>
#include <QStringList>
#include <QWidget>
#include <QtGlobal>

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

// Drops what a long run would repeat thousands of times: the offscreen platform's notes
// that it cannot raise windows or pass on size hints, and the question view's note on each
// document it serves or misses. Everything else goes on to Qt Test.
inline void quietLongRun()
{
    QLoggingCategory::setFilterRules(QStringLiteral("kelvo.questionview.scheme.info=false\n"
                                                    "kelvo.questionview.scheme.debug=false"));
    static QtMessageHandler next = nullptr;
    next = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtWarningMsg &&
                message.startsWith(QLatin1String("This plugin does not support")))
                return;
            next(type, context, message);
        });
}

} // namespace kelvo::test

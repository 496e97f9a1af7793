#pragma once

#include "common/RecordingDevice.h"

#include <QStringList>
#include <QWidget>
#include <QtGlobal>

#include <memory>

namespace kelvo::test
{

// Drops what a long run would repeat thousands of times: the offscreen platform's notes
// that it cannot raise windows or pass on size hints. Everything else goes on to Qt Test.
inline void quietLongRun()
{
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

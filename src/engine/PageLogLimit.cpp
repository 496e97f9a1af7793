#include "PageLogLimit.h"

#include <QMutex>
#include <QSet>

#include <cstring>

namespace
{

QtMessageHandler g_previous = nullptr;
QMutex g_mutex;
QSet<QString> g_written;

void limitPageMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString kind = PageLogLimit::kindOf(context.category, message);
    // The libraries warn; what is only debug or information is the program's or a
    // developer's own.
    if (!kind.isEmpty() && (type == QtWarningMsg || type == QtCriticalMsg)) {
        QMutexLocker lock(&g_mutex);
        if (g_written.contains(kind) || g_written.size() >= PageLogLimit::MaxKinds)
            return;
        g_written.insert(kind);
    }
    if (g_previous)
        g_previous(type, context, message);
}

} // namespace

QString PageLogLimit::kindOf(const char *category, const QString &message)
{
    if (!category)
        return {};
    // Messages the transport cannot read at all, whatever they hold.
    if (std::strcmp(category, "qt.webengine.webchanneltransport") == 0)
        return QString::fromLatin1(category);
    if (std::strcmp(category, "default") != 0)
        return {};
    // The words before the first value: a number, a quoted name, a dump of the message.
    qsizetype end = 0;
    while (end < message.size() && end < 80) {
        const QChar c = message.at(end);
        if (c.isDigit() || c == QLatin1Char('"') || c == QLatin1Char('\'') ||
            c == QLatin1Char(':') || c == QLatin1Char('{') || c == QLatin1Char('(') ||
            c == QLatin1Char('\n'))
            break;
        ++end;
    }
    return QLatin1String("default: ") + message.first(end).trimmed();
}

void PageLogLimit::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    g_previous = qInstallMessageHandler(limitPageMessages);
}

#include "RefusalLog.h"
#include "EngineLog.h"

void RefusalLog::warnOnce(const QString &key, const QString &line)
{
    if (m_full || m_logged.contains(key))
        return;
    if (m_logged.size() >= MaxKeys) {
        m_full = true;
        qCWarning(lcEngine, "the page was refused %lld things; further refusals are not logged",
                  qlonglong(MaxKeys));
        return;
    }
    m_logged.insert(key);
    // A URL may carry a whole document in its query; the start says which one it was.
    constexpr qsizetype MaxLine = 400;
    if (line.size() > MaxLine)
        qCWarning(lcEngine).noquote() << line.first(MaxLine) + QStringLiteral("...");
    else
        qCWarning(lcEngine).noquote() << line;
}

void RefusalLog::clear()
{
    m_logged.clear();
    m_full = false;
}

#include "RefusalLog.h"
#include "EngineLog.h"

#include <QCryptographicHash>

void RefusalLog::warnOnce(const QString &key, const QString &line)
{
    if (m_full)
        return;
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(reinterpret_cast<const char *>(key.constData()),
                                                key.size() * qsizetype(sizeof(QChar))),
                                 QCryptographicHash::Sha256)
            .left(16);
    if (m_logged.contains(digest))
        return;
    if (m_logged.size() >= MaxKeys) {
        m_full = true;
        qCWarning(lcEngine, "the page was refused %lld things; further refusals are not logged",
                  qlonglong(MaxKeys));
        return;
    }
    m_logged.insert(digest);
    // A URL may carry a whole document in its query; the start says which one it was.
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

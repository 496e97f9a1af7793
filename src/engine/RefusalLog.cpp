#include "RefusalLog.h"
#include "EngineLog.h"

#include <QHash>
#include <QRandomGenerator>

RefusalLog::RefusalLog()
    : m_seeds{size_t(QRandomGenerator::system()->generate64()),
              size_t(QRandomGenerator::system()->generate64())}
{
}

// Qt's own string hash, twice: it reads megabytes in a fraction of a millisecond, where a
// cryptographic digest of a made-up URL of megabytes held the windows' thread for tens.
RefusalLog::Digest RefusalLog::digestOf(const QString &key) const
{
    return {qHash(QStringView(key), m_seeds[0]), qHash(QStringView(key), m_seeds[1])};
}

void RefusalLog::warnOnce(const QString &key, const QString &line)
{
    if (m_full)
        return;
    const Digest digest = digestOf(key);
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

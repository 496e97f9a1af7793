#pragma once

#include <QSet>
#include <QString>

#include <utility>

// One warning line under "kelvo.engine" for each thing the page was refused, however often
// it asks for it again: a page that retries a missing figure, or reloads, says nothing new
// by asking twice, and must not fill the log. One log serves a whole engine, so a URL that
// is refused as a request and as a frame's navigation is still logged once. It keeps a short
// digest of each key, never the key: a page may make up URLs of megabytes.
class RefusalLog
{
public:
    RefusalLog();

    // Logs line unless key has been logged before. Past MaxKeys keys, one last line says
    // that further refusals go unlogged, so that a page making up new URLs cannot flood
    // the log either.
    void warnOnce(const QString &key, const QString &line);

    // Forgets what was logged: a new document's refusals are news again.
    void clear();

    static constexpr qsizetype MaxKeys = 200;
    // The longest line written; a longer one is cut and ends in "...".
    static constexpr qsizetype MaxLine = 400;

private:
    using Digest = std::pair<size_t, size_t>;
    Digest digestOf(const QString &key) const;

    // Two seeds of this run, drawn afresh for each log: a page cannot make up two keys
    // that meet, to have a refusal go unlogged.
    const size_t m_seeds[2];
    QSet<Digest> m_logged;
    bool m_full = false;
};

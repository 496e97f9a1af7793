#pragma once

#include "DocumentFolder.h"

#include <QByteArray>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QThreadPool>
#include <QUrl>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>

class RefusalLog;

// Serves the question document through the view's own URL scheme, and the files of its
// folder below it, read-only. The document is always served as HTML whatever its file name,
// in its own character set when it names one and in code page 932 otherwise. A document that
// cannot be read is replaced by a page of our own that says so; a file of the folder that
// cannot be served fails the request, and is logged once.
//
// Files are opened and checked on threads of the handler's own, never on the thread of the
// windows, and their bytes are streamed to the browser a piece at a time as it reads them.
// At most MaxOpenReplies replies stream at once; further requests wait their turn, so the
// bytes in memory for the page stay bounded however many it asks for at once.
class DocumentSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    // Refusals go to log, which must outlive the handler.
    explicit DocumentSchemeHandler(RefusalLog *log, QObject *parent = nullptr);
    ~DocumentSchemeHandler() override;

    static QByteArray schemeName();
    // The URL under which the document is served; the files of its folder are below it.
    static QUrl documentUrl();
    // The URL of the page of ours shown when the page's renderer has ended: it says that the
    // questions stopped, and links back to the document.
    static QUrl stoppedUrl();
    // Whether url names the document or a file of its folder by a path that stays inside it
    // (whether there is such a file is not looked at).
    static bool isInDocumentFolder(const QUrl &url);

    // The local file served as the document, whose folder serves the other files; empty
    // serves none.
    void setFilePath(const QString &filePath);
    QString filePath() const { return m_filePath; }

    // Whether the document itself was served at its last request, rather than the page
    // that says it cannot be.
    bool documentShown() const { return m_documentShown; }

    // The content type to serve the document's bytes with: plain "text/html" when the bytes
    // carry a byte order mark or a <meta> charset declaration (so that the browser follows
    // them), otherwise "text/html;charset=Shift_JIS".
    static QByteArray contentTypeFor(const QByteArray &document);

    // The charset that the document's byte order mark or <meta> declaration names, as
    // written; empty when it names none that is known.
    static QByteArray declaredCharset(const QByteArray &document);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

    // Replies that stream at once, and so (with the browser's buffer of each) the bound of
    // what the page's reads hold in this process.
    static constexpr int MaxOpenReplies = 16;

private:
    struct Request {
        QPointer<QWebEngineUrlRequestJob> job;
        QString relativePath; // empty for the document
    };
    struct Result {
        DocumentFolder::Opened opened;
        QByteArray head; // the document's first bytes, for its charset
    };

    void startNext();
    void open(const Request &request);
    void opened(const Request &request, Result &result);
    void serveDocument(QWebEngineUrlRequestJob *job, Result &result);
    void serveFolderFile(QWebEngineUrlRequestJob *job, const QString &relativePath, Result &result);
    void refuse(QWebEngineUrlRequestJob *job, QWebEngineUrlRequestJob::Error error,
                const char *reason);
    // A reply streams until its job goes; then the next waiting request starts.
    void stream(QWebEngineUrlRequestJob *job, const QByteArray &contentType,
                DocumentFolder::Opened &opened);

    RefusalLog *m_log;
    QString m_filePath;
    QString m_folder;
    bool m_documentShown = false;
    QQueue<Request> m_waiting;
    int m_busy = 0; // requests being opened, or streaming
    QThreadPool m_openers;
};

#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

// Serves the question document, and nothing else, through the view's own URL scheme. The
// document is always served as HTML whatever its file name, in its own character set when it
// names one and in code page 932 otherwise.
class DocumentSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    explicit DocumentSchemeHandler(QObject *parent = nullptr);
    ~DocumentSchemeHandler() override;

    static QByteArray schemeName();
    // The one URL under which the document is served.
    static QUrl documentUrl();

    // The local file served as the document; empty serves nothing.
    void setFilePath(const QString &filePath) { m_filePath = filePath; }
    QString filePath() const { return m_filePath; }

    // The content type to serve the document's bytes with: plain "text/html" when the bytes
    // carry a byte order mark or a <meta> charset declaration (so that the browser follows
    // them), otherwise "text/html;charset=Shift_JIS".
    static QByteArray contentTypeFor(const QByteArray &document);

    // The charset that the document's byte order mark or <meta> declaration names, as
    // written; empty when it names none that is known.
    static QByteArray declaredCharset(const QByteArray &document);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    QString m_filePath;
};

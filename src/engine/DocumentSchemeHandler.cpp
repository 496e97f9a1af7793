#include "DocumentSchemeHandler.h"
#include "EngineLog.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QWebEngineUrlRequestJob>

namespace
{

// The browser looks for a <meta> charset only near the start, before the body; so do we.
constexpr qsizetype MetaScanLimit = 8192;

// Question documents are small; anything much larger is not one.
constexpr qint64 MaxDocumentSize = 64 * 1024 * 1024;

} // namespace

DocumentSchemeHandler::DocumentSchemeHandler(QObject *parent) : QWebEngineUrlSchemeHandler(parent)
{
}

DocumentSchemeHandler::~DocumentSchemeHandler() = default;

QByteArray DocumentSchemeHandler::schemeName()
{
    return QByteArrayLiteral("kelvo-question");
}

QUrl DocumentSchemeHandler::documentUrl()
{
    return QUrl(QString::fromLatin1(schemeName() + "://document/"));
}

QByteArray DocumentSchemeHandler::declaredCharset(const QByteArray &document)
{
    if (document.startsWith("\xEF\xBB\xBF"))
        return QByteArrayLiteral("UTF-8");
    if (document.startsWith("\xFF\xFE"))
        return QByteArrayLiteral("UTF-16LE");
    if (document.startsWith("\xFE\xFF"))
        return QByteArrayLiteral("UTF-16BE");

    QByteArray head = document.left(MetaScanLimit);
    static const QRegularExpression bodyStart(QStringLiteral("<body[\\s>]"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    // <meta charset="x"> and <meta http-equiv="Content-Type" content="text/html; charset=x">
    static const QRegularExpression meta(
        QStringLiteral("<meta\\b[^>]*?\\bcharset\\s*=\\s*[\"']?\\s*([A-Za-z0-9._:\\-]+)"),
        QRegularExpression::CaseInsensitiveOption);

    QString text = QString::fromLatin1(head);
    const QRegularExpressionMatch body = bodyStart.match(text);
    if (body.hasMatch())
        text.truncate(body.capturedStart());
    text.remove(comment);

    QRegularExpressionMatchIterator it = meta.globalMatch(text);
    while (it.hasNext()) {
        const QByteArray label = it.next().captured(1).toLatin1();
        // An unknown label is ignored by the browser too; the next declaration may still count.
        if (QStringDecoder(label.constData()).isValid())
            return label;
    }
    return {};
}

QByteArray DocumentSchemeHandler::contentTypeFor(const QByteArray &document)
{
    if (!declaredCharset(document).isEmpty())
        return QByteArrayLiteral("text/html");
    // The browser's Shift_JIS is the Microsoft code page 932 (0x8160 is U+FF5E, 0x8740 U+2460).
    return QByteArrayLiteral("text/html;charset=Shift_JIS");
}

void DocumentSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    QUrl requested = job->requestUrl();
    requested.setFragment({});
    if (requested != documentUrl() || job->requestMethod() != "GET") {
        qCInfo(lcEngine) << "refused" << job->requestMethod() << job->requestUrl();
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }

    QFile file(m_filePath);
    if (m_filePath.isEmpty() || !QFileInfo(file).isFile()) {
        qCInfo(lcEngine) << "no document at" << m_filePath;
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    if (file.size() > MaxDocumentSize || !file.open(QIODevice::ReadOnly)) {
        qCWarning(lcEngine) << "cannot read the document" << m_filePath;
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }

    const QByteArray bytes = file.readAll();
    auto *buffer = new QBuffer(job);
    buffer->setData(bytes);
    qCDebug(lcEngine) << "serving" << m_filePath << bytes.size() << "bytes";
    job->reply(contentTypeFor(bytes), buffer);
}

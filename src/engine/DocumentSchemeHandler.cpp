#include "DocumentSchemeHandler.h"
#include "DocumentFolder.h"
#include "EngineLog.h"
#include "MissingDocumentPage.h"
#include "RefusalLog.h"

#include <QBuffer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QWebEngineUrlRequestJob>

namespace
{

// The browser looks for a <meta> charset only near the start, before the body; so do we.
constexpr qsizetype MetaScanLimit = 8192;

void reply(QWebEngineUrlRequestJob *job, const QByteArray &contentType, const QByteArray &bytes)
{
    auto *buffer = new QBuffer(job);
    buffer->setData(bytes);
    job->reply(contentType, buffer);
}

} // namespace

DocumentSchemeHandler::DocumentSchemeHandler(RefusalLog *log, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent), m_log(log)
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

bool DocumentSchemeHandler::isInDocumentFolder(const QUrl &url)
{
    const QUrl document = documentUrl();
    return url.scheme() == document.scheme() && url.authority() == document.authority() &&
           DocumentFolder::relativePath(url.path(QUrl::FullyEncoded).toLatin1()).has_value();
}

void DocumentSchemeHandler::setFilePath(const QString &filePath)
{
    m_filePath = filePath;
    m_folder = filePath.isEmpty() ? QString() : QFileInfo(filePath).absolutePath();
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
    const QUrl url = job->requestUrl();
    if (url.authority() != documentUrl().authority())
        return refuse(job, QWebEngineUrlRequestJob::RequestDenied, "not the document's host");
    if (job->requestMethod() != "GET")
        return refuse(job, QWebEngineUrlRequestJob::RequestDenied, "only GET is served");
    // The query and the fragment name no file.
    const std::optional<QString> relative =
        DocumentFolder::relativePath(url.path(QUrl::FullyEncoded).toLatin1());
    if (!relative)
        return refuse(job, QWebEngineUrlRequestJob::RequestDenied,
                      "not a name inside the document's folder");
    if (relative->isEmpty())
        serveDocument(job);
    else
        serveFolderFile(job, *relative);
}

void DocumentSchemeHandler::serveDocument(QWebEngineUrlRequestJob *job)
{
    const DocumentFolder::Contents document = DocumentFolder::read(m_filePath);
    m_documentShown = document.status == DocumentFolder::Status::Ok;
    if (m_documentShown) {
        reply(job, contentTypeFor(document.bytes), document.bytes);
        return;
    }
    if (m_filePath.isEmpty()) {
        m_log->warnOnce(QStringLiteral("document"),
                        QStringLiteral("no question document: its stored path has no place on "
                                       "this system"));
    } else {
        m_log->warnOnce(
            QLatin1String("document ") + m_filePath,
            QStringLiteral("no question document at \"%1\": %2")
                .arg(m_filePath, QLatin1String(DocumentFolder::describe(document.status))));
    }
    reply(job, MissingDocumentPage::contentType(),
          MissingDocumentPage::html(m_filePath, document.status));
}

void DocumentSchemeHandler::serveFolderFile(QWebEngineUrlRequestJob *job,
                                            const QString &relativePath)
{
    const DocumentFolder::Located file = DocumentFolder::locate(m_folder, relativePath);
    DocumentFolder::Contents contents{file.status, {}};
    if (file.status == DocumentFolder::Status::Ok)
        contents = DocumentFolder::read(file.filePath);
    if (contents.status == DocumentFolder::Status::NotFound)
        return refuse(job, QWebEngineUrlRequestJob::UrlNotFound, "no such file");
    if (contents.status != DocumentFolder::Status::Ok)
        return refuse(job, QWebEngineUrlRequestJob::RequestDenied,
                      DocumentFolder::describe(contents.status));

    QByteArray type = DocumentFolder::mimeTypeFor(relativePath);
    if (type == "text/html")
        type = contentTypeFor(contents.bytes);
    reply(job, type, contents.bytes);
}

void DocumentSchemeHandler::refuse(QWebEngineUrlRequestJob *job,
                                   QWebEngineUrlRequestJob::Error error, const char *reason)
{
    const QString url = job->requestUrl().toString(QUrl::FullyEncoded);
    m_log->warnOnce(
        url, QStringLiteral("refused %1 %2: %3")
                 .arg(QString::fromLatin1(job->requestMethod()), url, QLatin1String(reason)));
    job->fail(error);
}

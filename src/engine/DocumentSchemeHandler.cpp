#include "DocumentSchemeHandler.h"
#include "DocumentFolder.h"
#include "EngineLog.h"
#include "EngineTrace.h"
#include "MissingDocumentPage.h"
#include "RefusalLog.h"

#include "FolderFileDevice.h"

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
    m_openers.setMaxThreadCount(2);
    // A document opens a few files at a time, now and then: no thread waits idle for more.
    m_openers.setExpiryTimeout(0);
}

// What is being opened is handed back to this handler: wait for it before going.
DocumentSchemeHandler::~DocumentSchemeHandler()
{
    m_openers.waitForDone();
}

QByteArray DocumentSchemeHandler::schemeName()
{
    return QByteArrayLiteral("kelvo-question");
}

QUrl DocumentSchemeHandler::documentUrl()
{
    return QUrl(QString::fromLatin1(schemeName() + "://document/"));
}

QUrl DocumentSchemeHandler::stoppedUrl()
{
    // On the document's own host, so that showing it and then the document again keeps to
    // one renderer, as the document's own reloads do.
    return QUrl(QString::fromLatin1(schemeName() + "://document/?stopped"));
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
    EngineTrace::mark("engine request started");
    if (url.adjusted(QUrl::RemoveFragment) == stoppedUrl())
        return reply(job, MissingDocumentPage::contentType(), MissingDocumentPage::stoppedHtml());
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
    m_waiting.enqueue({job, *relative});
    startNext();
}

void DocumentSchemeHandler::startNext()
{
    while (m_busy < MaxOpenReplies && !m_waiting.isEmpty()) {
        const Request request = m_waiting.dequeue();
        // A request the page gave up while it waited is forgotten.
        if (request.job)
            open(request);
    }
}

void DocumentSchemeHandler::open(const Request &request)
{
    ++m_busy;
    const QString path = request.relativePath.isEmpty() ? m_filePath : QString();
    const QString folder = m_folder;
    m_openers.start([this, request, path, folder] {
        auto result = std::make_shared<Result>();
        if (request.relativePath.isEmpty()) {
            result->opened = DocumentFolder::openFile(path);
            if (result->opened.status == DocumentFolder::Status::Ok) {
                result->head = result->opened.file->read(MetaScanLimit);
                result->opened.file->seek(0);
            }
        } else {
            result->opened = DocumentFolder::open(folder, request.relativePath);
            if (result->opened.status == DocumentFolder::Status::Ok &&
                DocumentFolder::mimeTypeFor(request.relativePath) == "text/html") {
                result->head = result->opened.file->read(MetaScanLimit);
                result->opened.file->seek(0);
            }
        }
        QMetaObject::invokeMethod(
            this, [this, request, result] { opened(request, *result); }, Qt::QueuedConnection);
    });
}

void DocumentSchemeHandler::opened(const Request &request, Result &result)
{
    --m_busy;
    if (request.job) {
        if (request.relativePath.isEmpty())
            serveDocument(request.job, result);
        else
            serveFolderFile(request.job, request.relativePath, result);
    }
    startNext();
}

void DocumentSchemeHandler::stream(QWebEngineUrlRequestJob *job, const QByteArray &contentType,
                                   DocumentFolder::Opened &opened)
{
    ++m_busy;
    auto *device = new FolderFileDevice(std::move(opened.file), opened.size, job);
    connect(job, &QObject::destroyed, this, [this] {
        --m_busy;
        startNext();
    });
    job->reply(contentType, device);
}

void DocumentSchemeHandler::serveDocument(QWebEngineUrlRequestJob *job, Result &result)
{
    const DocumentFolder::Status status = result.opened.status;
    m_documentShown = status == DocumentFolder::Status::Ok;
    EngineTrace::mark("engine document replied");
    if (m_documentShown)
        return stream(job, contentTypeFor(result.head), result.opened);
    if (m_filePath.isEmpty()) {
        m_log->warnOnce(QStringLiteral("document"),
                        QStringLiteral("no question document: its stored path has no place on "
                                       "this system"));
    } else {
        m_log->warnOnce(QLatin1String("document ") + m_filePath,
                        QStringLiteral("no question document at \"%1\": %2")
                            .arg(m_filePath, QLatin1String(DocumentFolder::describe(status))));
    }
    reply(job, MissingDocumentPage::contentType(), MissingDocumentPage::html(m_filePath, status));
}

void DocumentSchemeHandler::serveFolderFile(QWebEngineUrlRequestJob *job,
                                            const QString &relativePath, Result &result)
{
    const DocumentFolder::Status status = result.opened.status;
    if (status == DocumentFolder::Status::NotFound)
        return refuse(job, QWebEngineUrlRequestJob::UrlNotFound, "no such file");
    if (status != DocumentFolder::Status::Ok)
        return refuse(job, QWebEngineUrlRequestJob::RequestDenied,
                      DocumentFolder::describe(status));

    QByteArray type = DocumentFolder::mimeTypeFor(relativePath);
    if (type == "text/html")
        type = contentTypeFor(result.head);
    stream(job, type, result.opened);
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

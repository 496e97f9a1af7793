#include "MissingDocumentPage.h"
#include "EngineLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace
{

// One template for our pages, so that they look alike: the missing document's and the stopped
// questions', each kept by its section.
QString pageTemplate()
{
    QFile file(QStringLiteral(":/engine/missing-document.html"));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcEngine) << "missing resource" << file.fileName();
        return QStringLiteral("<!DOCTYPE html><meta charset=\"utf-8\">"
                              "<h1>{{title}}</h1><!--if:path--><pre>{{path}}</pre>"
                              "<pre>{{install}}</pre><!--end:path--><!--if:stopped--><a "
                              "href=\"kelvo-question://document/\">問題をもう一度表示する</a>"
                              "<!--end:stopped-->");
    }
    return QString::fromUtf8(file.readAll());
}

// The template with the parts between <!--if:name--> and <!--end:name--> kept or dropped.
QString withSection(QString text, const QString &name, bool keep)
{
    const QString open = QStringLiteral("<!--if:%1-->").arg(name);
    const QString close = QStringLiteral("<!--end:%1-->").arg(name);
    qsizetype start;
    while ((start = text.indexOf(open)) >= 0) {
        const qsizetype end = text.indexOf(close, start);
        if (end < 0)
            break;
        if (keep) {
            text.remove(end, close.size());
            text.remove(start, open.size());
        } else {
            text.remove(start, end + close.size() - start);
        }
    }
    return text;
}

// Each {{key}} replaced by its value, HTML-escaped, in one pass, so that a value which holds
// "{{...}}" itself is shown as it is.
QString substituted(const QString &text, const QHash<QString, QString> &values)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{\\{([a-z]+)\\}\\}"));
    QString result;
    qsizetype done = 0;
    QRegularExpressionMatchIterator it = placeholder.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(text).sliced(done, match.capturedStart() - done);
        result += values.value(match.captured(1)).toHtmlEscaped();
        done = match.capturedEnd();
    }
    result += QStringView(text).sliced(done);
    return result;
}

QString shellQuoted(const QString &argument)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+,:=@%-]+$"));
    if (plain.match(argument).hasMatch())
        return argument;
    QString quoted = argument;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString fileNameOf(const QString &localPath)
{
    return QFileInfo(QDir::cleanPath(localPath)).fileName();
}

QString reasonText(DocumentFolder::Status reason)
{
    switch (reason) {
    case DocumentFolder::Status::Folder:
        return QStringLiteral("その場所にあるのは、ファイルではなくフォルダーです。");
    case DocumentFolder::Status::NotAFile:
        return QStringLiteral("その場所にあるのは、普通のファイルではありません。");
    case DocumentFolder::Status::TooLarge:
        return QStringLiteral("その場所にあるファイルは、問題文書としては大きすぎます。");
    case DocumentFolder::Status::Unreadable:
        return QStringLiteral("その場所にあるファイルを読み込めません。");
    default:
        return QStringLiteral("その場所にファイルがありません。");
    }
}

} // namespace

QString MissingDocumentPage::installCommand(const QString &localPath)
{
    QString source = fileNameOf(localPath);
    // A name that begins with a dash would be taken for an option.
    if (source.startsWith(QLatin1Char('-')))
        source.prepend(QLatin1String("./"));
    return QStringLiteral("sudo install -D -m 644 %1 %2")
        .arg(shellQuoted(source), shellQuoted(localPath));
}

QByteArray MissingDocumentPage::html(const QString &localPath, DocumentFolder::Status reason)
{
    const bool hasPath = !localPath.isEmpty();
    QString page = withSection(pageTemplate(), QStringLiteral("path"), hasPath);
    page = withSection(page, QStringLiteral("nopath"), !hasPath);
    page = withSection(page, QStringLiteral("stopped"), false);
    const QHash<QString, QString> values{
        {QStringLiteral("title"), QStringLiteral("問題文書が見つかりません")},
        {QStringLiteral("path"), localPath},
        {QStringLiteral("name"), fileNameOf(localPath)},
        {QStringLiteral("reason"), reasonText(reason)},
        {QStringLiteral("install"), hasPath ? installCommand(localPath) : QString()},
    };
    return substituted(page, values).toUtf8();
}

QByteArray MissingDocumentPage::stoppedHtml()
{
    QString page = withSection(pageTemplate(), QStringLiteral("path"), false);
    page = withSection(page, QStringLiteral("nopath"), false);
    page = withSection(page, QStringLiteral("stopped"), true);
    return substituted(page,
                       {{QStringLiteral("title"), QStringLiteral("問題の表示が止まりました")}})
        .toUtf8();
}

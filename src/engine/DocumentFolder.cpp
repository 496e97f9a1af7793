#include "DocumentFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace
{

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A segment of the path, decoded; nothing when it could name anything but a child of the
// folder it is in, here or on Windows (which ignores trailing dots and spaces, so that "..."
// and ".. " are the parent folder there).
std::optional<QString> decodeSegment(QByteArrayView raw)
{
    QByteArray bytes;
    bytes.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '%') {
            bytes += raw[i];
            continue;
        }
        if (i + 2 >= raw.size())
            return std::nullopt;
        const int high = hexValue(raw[i + 1]);
        const int low = hexValue(raw[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += char(high * 16 + low);
        i += 2;
    }

    bool onlyDotsAndSpaces = true;
    for (const char c : std::as_const(bytes)) {
        const auto byte = uchar(c);
        if (byte < 0x20 || byte == 0x7f || c == '/' || c == '\\' || c == ':')
            return std::nullopt;
        if (c != '.' && c != ' ')
            onlyDotsAndSpaces = false;
    }
    if (onlyDotsAndSpaces)
        return std::nullopt;

    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

bool isBelow(const QString &path, const QString &folder)
{
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity sensitivity = Qt::CaseSensitive;
#endif
    return path.size() > folder.size() + 1 && path.startsWith(folder, sensitivity) &&
           path.at(folder.size()) == QLatin1Char('/');
}

struct TypeByExtension {
    const char *extension;
    const char *type;
};

constexpr TypeByExtension Types[] = {
    {"html", "text/html"},    {"htm", "text/html"},      {"dat", "text/html"},
    {"css", "text/css"},      {"js", "text/javascript"}, {"gif", "image/gif"},
    {"png", "image/png"},     {"jpg", "image/jpeg"},     {"jpeg", "image/jpeg"},
    {"svg", "image/svg+xml"}, {"webp", "image/webp"},    {"bmp", "image/bmp"},
    {"ico", "image/x-icon"},  {"txt", "text/plain"},     {"json", "application/json"},
    {"woff", "font/woff"},    {"woff2", "font/woff2"},   {"ttf", "font/ttf"},
    {"otf", "font/otf"},
};

} // namespace

const char *DocumentFolder::describe(Status status)
{
    switch (status) {
    case Status::Ok:
        return "readable";
    case Status::NotFound:
        return "no such file";
    case Status::OutsideFolder:
        return "outside the document's folder";
    case Status::Folder:
        return "a folder";
    case Status::NotAFile:
        return "not a plain file";
    case Status::TooLarge:
        return "larger than 64 MiB";
    case Status::Unreadable:
        return "cannot be read";
    }
    return "refused";
}

std::optional<QString> DocumentFolder::relativePath(QByteArrayView encodedPath)
{
    if (!encodedPath.startsWith('/'))
        return std::nullopt;
    if (encodedPath.size() == 1)
        return QString();

    QString relative;
    QByteArrayView rest = encodedPath.sliced(1);
    while (true) {
        const qsizetype slash = rest.indexOf('/');
        const std::optional<QString> segment = decodeSegment(slash < 0 ? rest : rest.first(slash));
        if (!segment)
            return std::nullopt;
        relative += *segment;
        if (slash < 0)
            return relative;
        relative += QLatin1Char('/');
        rest = rest.sliced(slash + 1);
    }
}

DocumentFolder::Located DocumentFolder::locate(const QString &folder, const QString &relativePath)
{
    if (folder.isEmpty() || relativePath.isEmpty())
        return {Status::NotFound, {}};
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return {Status::NotFound, {}};
    // Everything is below the root of a file system: it is no folder of one document.
    if (QDir(root).isRoot())
        return {Status::OutsideFolder, {}};

    const QFileInfo info(root + QLatin1Char('/') + relativePath);
    // A symbolic link that leads nowhere does not exist either.
    if (!info.exists())
        return {Status::NotFound, {}};
    const QString canonical = info.canonicalFilePath();
    if (!isBelow(canonical, root))
        return {Status::OutsideFolder, {}};
    if (info.isDir())
        return {Status::Folder, {}};
    if (!info.isFile())
        return {Status::NotAFile, {}};
    if (info.size() > MaxFileSize)
        return {Status::TooLarge, {}};
    return {Status::Ok, canonical};
}

DocumentFolder::Contents DocumentFolder::read(const QString &filePath)
{
    if (filePath.isEmpty())
        return {Status::NotFound, {}};
    const QFileInfo info(filePath);
    if (!info.exists())
        return {Status::NotFound, {}};
    if (info.isDir())
        return {Status::Folder, {}};
    if (!info.isFile())
        return {Status::NotAFile, {}};
    if (info.size() > MaxFileSize)
        return {Status::TooLarge, {}};

    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::Unreadable, {}};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {Status::Unreadable, {}};
    // The file may have grown since its size was looked at.
    if (bytes.size() > MaxFileSize)
        return {Status::TooLarge, {}};
    return {Status::Ok, std::move(bytes)};
}

QByteArray DocumentFolder::mimeTypeFor(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    if (dot > slash + 1) {
        const QString extension = fileName.sliced(dot + 1);
        for (const TypeByExtension &entry : Types) {
            if (extension.compare(QLatin1String(entry.extension), Qt::CaseInsensitive) == 0)
                return QByteArray(entry.type);
        }
    }
    return QByteArrayLiteral("application/octet-stream");
}

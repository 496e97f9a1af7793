#include "DocumentFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <linux/openat2.h>
#include <sys/syscall.h>
#endif

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

namespace
{

using Opened = DocumentFolder::Opened;
using Status = DocumentFolder::Status;

Status statusOfOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Status::NotFound;
    case EXDEV: // resolved to somewhere outside the folder
    case ELOOP:
        return Status::OutsideFolder;
    default:
        return Status::Unreadable;
    }
}

#ifdef Q_OS_LINUX
// The path of what fd holds open, as the kernel knows it: canonical, links resolved.
QString pathOf(int fd)
{
    return QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget();
}

// fd, opened with flags, for name resolved beneath the folder held open by folderFd; -1
// with errno ENOSYS where the kernel cannot resolve beneath a folder.
int openBeneath(int folderFd, const QByteArray &name, int flags)
{
#ifdef SYS_openat2
    open_how how{};
    how.flags = quint64(flags);
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    return int(syscall(SYS_openat2, folderFd, name.constData(), &how, sizeof how));
#else
    Q_UNUSED(folderFd);
    Q_UNUSED(name);
    Q_UNUSED(flags);
    errno = ENOSYS;
    return -1;
#endif
}
#endif

constexpr int ReadFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

// Checks the file held open by fd (closing it on any refusal) and hands it over.
Opened checked(int fd, const QString &root)
{
    struct stat info {
    };
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return {Status::Unreadable, {}, 0, {}};
    }
    QString canonical;
#ifdef Q_OS_LINUX
    canonical = pathOf(fd);
#endif
    const auto refuse = [fd](Status status) {
        ::close(fd);
        return Opened{status, {}, 0, {}};
    };
    if (!root.isEmpty() && (canonical.isEmpty() || !isBelow(canonical, root)))
        return refuse(Status::OutsideFolder);
    if (S_ISDIR(info.st_mode))
        return refuse(Status::Folder);
    if (!S_ISREG(info.st_mode))
        return refuse(Status::NotAFile);
    if (info.st_size > DocumentFolder::MaxFileSize)
        return refuse(Status::TooLarge);
    // A plain file never blocks; its reads are plain blocking reads.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return refuse(Status::Unreadable);
    return {Status::Ok, canonical, qint64(info.st_size), std::move(file)};
}

} // namespace

DocumentFolder::Opened DocumentFolder::open(const QString &folder, const QString &relativePath)
{
    if (folder.isEmpty() || relativePath.isEmpty())
        return {Status::NotFound, {}, 0, {}};
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return {Status::NotFound, {}, 0, {}};
    // Everything is below the root of a file system: it is no folder of one document.
    if (QDir(root).isRoot())
        return {Status::OutsideFolder, {}, 0, {}};

    int fd = -1;
#ifdef Q_OS_LINUX
    const int folderFd =
        ::open(QFile::encodeName(root).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return {statusOfOpenError(errno), {}, 0, {}};
    fd = openBeneath(folderFd, QFile::encodeName(relativePath), ReadFlags);
    const int error = errno;
    ::close(folderFd);
    if (fd < 0 && error != ENOSYS && error != EPERM)
        return {statusOfOpenError(error), {}, 0, {}};
#endif
    // Elsewhere the name is resolved as any other, and only the check below keeps the read
    // inside the folder.
    if (fd < 0)
        fd = ::open(QFile::encodeName(root + QLatin1Char('/') + relativePath).constData(),
                    ReadFlags);
    if (fd < 0)
        return {statusOfOpenError(errno), {}, 0, {}};
    return checked(fd, root);
}

DocumentFolder::Opened DocumentFolder::openFile(const QString &filePath)
{
    if (filePath.isEmpty())
        return {Status::NotFound, {}, 0, {}};
    const int fd = ::open(QFile::encodeName(filePath).constData(), ReadFlags);
    if (fd < 0)
        return {statusOfOpenError(errno), {}, 0, {}};
    return checked(fd, {});
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

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

// The question document's folder as its page sees it: which request paths name a file in the
// folder or below it, where that file is, how it is read and what type it is served as. The
// page reads these files, never writes them, and reaches nothing outside the folder.
class DocumentFolder
{
public:
    // Question documents and their figures are small; anything much larger is not one of them.
    static constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

    enum class Status {
        Ok,
        NotFound,
        OutsideFolder, // the name leads out of the folder, through a symbolic link
        Folder,
        NotAFile, // a device, a pipe or a socket: reading it could block forever
        TooLarge,
        Unreadable,
    };

    // What a status means, in a few words for the log.
    static const char *describe(Status status);

    // The file a request path names, relative to the folder with '/' between its segments.
    // The path is the URL's path as sent, percent-encoded, starting with '/'; "/" itself gives
    // an empty path, the document. Nothing is returned for a path that is not the plain name
    // of something below the folder on every system: dot segments, empty segments, slashes or
    // backslashes in any encoding, NUL and other control characters, drive colons, malformed
    // percent escapes or UTF-8. The file system is not consulted.
    static std::optional<QString> relativePath(QByteArrayView encodedPath);

    // A file opened for reading, with what was found when it was opened. The handle reads
    // the file that was checked, whatever is renamed or linked in its place afterwards.
    struct Opened {
        Status status = Status::NotFound;
        QString filePath; // the canonical path of the opened file, when status is Ok
        qint64 size = 0;
        std::unique_ptr<QFile> file; // open, unbuffered, when status is Ok
    };

    // Opens the file that a relative path from relativePath() names in folder. The file is
    // opened first and then checked (a plain file, no larger than MaxFileSize, that is still
    // inside the folder by its own canonical path), so a link or a folder swapped in between
    // cannot lead the read elsewhere. Where the system can (Linux), the name is resolved by
    // the kernel beneath the folder, so that nothing outside it is even opened: links inside
    // the folder that lead inside it by a relative path are followed, others are outside. A
    // folder that is the root of a file system holds nothing that is served. Neither opening
    // nor checking can block: a pipe or a device is refused without waiting for it.
    static Opened open(const QString &folder, const QString &relativePath);

    // Opens the document itself by its path, without the folder's rule, and checks it as
    // open() does; an empty path is NotFound.
    static Opened openFile(const QString &filePath);

    // The content type of a file by its name's extension, in any case. HTML, and the .dat of the
    // question documents, is plain "text/html": the caller adds the document's charset.
    static QByteArray mimeTypeFor(const QString &fileName);
};

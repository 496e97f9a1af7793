#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

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

    struct Located {
        Status status = Status::NotFound;
        QString filePath; // canonical, when status is Ok
    };
    // The file that a relative path from relativePath() names in folder. Symbolic links are
    // followed, and the file counts only if where they lead is still inside the folder. A folder
    // that is the root of a file system holds nothing that is served.
    static Located locate(const QString &folder, const QString &relativePath);

    struct Contents {
        Status status = Status::NotFound;
        QByteArray bytes;
    };
    // The whole of a plain file of at most MaxFileSize bytes; an empty path is NotFound.
    static Contents read(const QString &filePath);

    // The content type of a file by its name's extension, in any case. HTML, and the .dat of the
    // question documents, is plain "text/html": the caller adds the document's charset.
    static QByteArray mimeTypeFor(const QString &fileName);
};

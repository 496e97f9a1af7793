#pragma once

#include <QString>

// Where the question document's stored path points on the running system. The path is stored
// as a Windows path; other systems keep the document under a fixed absolute path instead.
class DocumentPath
{
public:
    // Where the program keeps its question document, as the window description stores it.
    static QString stored()
    {
        return QStringLiteral(R"(c:\Program Files\Bralden\2000\00Kelvo.dat)");
    }

    // The stored path as a file path of this system: unchanged on Windows, otherwise
    // posixFromWindows().
    static QString toLocal(const QString &storedPath);

    // Maps a Windows path to a fixed absolute POSIX path: a drive's "Program Files" folder
    // becomes /opt, any other folder of a drive hangs off /, backslashes become slashes.
    // Drive letters and "Program Files" match in any case. A path that is already an absolute
    // POSIX path is returned as it is. Network (UNC) paths and relative paths have no fixed
    // place and map to an empty string.
    static QString posixFromWindows(const QString &windowsPath);
};

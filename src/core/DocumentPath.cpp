#include "DocumentPath.h"

#include <QDir>

QString DocumentPath::toLocal(const QString &storedPath)
{
#ifdef Q_OS_WIN
    return storedPath;
#else
    return posixFromWindows(storedPath);
#endif
}

QString DocumentPath::posixFromWindows(const QString &windowsPath)
{
    if (windowsPath.startsWith(u'/') && !windowsPath.startsWith(QLatin1String("//")))
        return windowsPath;

    QString path = windowsPath;
    path.replace(u'\\', u'/');

    // "c:/rest" and "/rest" (the root of the current drive) both become "/rest".
    const bool hasDrive = path.size() >= 2 && path.at(0).isLetter() && path.at(0).unicode() < 128 &&
                          path.at(1) == u':';
    if (hasDrive)
        path.remove(0, 2);
    else if (path.startsWith(QLatin1String("//")))
        return {}; // a network share
    if (!path.startsWith(u'/'))
        return {};

    // Only a whole first folder named "Program Files" moves to /opt.
    static const QString programFiles = QStringLiteral("/Program Files");
    if (path.startsWith(programFiles, Qt::CaseInsensitive) &&
        (path.size() == programFiles.size() || path.at(programFiles.size()) == u'/'))
        path.replace(0, programFiles.size(), QStringLiteral("/opt"));

    return QDir::cleanPath(path);
}

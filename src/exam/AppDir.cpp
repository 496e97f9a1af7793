#include "AppDir.h"

#include <QCoreApplication>
#include <QDir>

namespace kelvo
{

namespace
{

bool isWindowsForm(const QString &path)
{
    const bool driveLetter = path.size() >= 2 && path.at(1) == QLatin1Char(':') &&
                             path.at(0).isLetter() && path.at(0).unicode() < 128;
    return driveLetter || path.contains(QLatin1Char('\\'));
}

} // namespace

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    if (isWindowsForm(folder)) {
        // Windows also accepts "/", as in Qt's own form "C:/exam/".
        if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
            return folder;
        return folder + QLatin1Char('\\');
    }
    if (folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString appDir()
{
    return withTrailingSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

} // namespace kelvo

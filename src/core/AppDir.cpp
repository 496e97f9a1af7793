#include "AppDir.h"

#include <QCoreApplication>
#include <QDir>

namespace kelvo
{

QString withTrailingSeparator(const QString &folder, QChar separator)
{
    if (folder.isEmpty() || folder.endsWith(separator))
        return folder;
    return folder + separator;
}

QString appDir()
{
    return withTrailingSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                                 QDir::separator());
}

} // namespace kelvo

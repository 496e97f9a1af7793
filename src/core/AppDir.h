#pragma once

#include <QChar>
#include <QString>

namespace kelvo
{

// The folder ending in exactly one separator, so that a file name can be appended: a folder
// that already ends in the separator (a root such as "C:\" or "/") comes back unchanged, any
// other gains one. Only the given separator counts: on Linux a folder whose name ends in a
// backslash still gains a "/". An empty folder stays empty.
QString withTrailingSeparator(const QString &folder, QChar separator);

// The folder of the program's executable (not the working folder), in the platform's native
// form, ending in the platform's separator.
QString appDir();

} // namespace kelvo

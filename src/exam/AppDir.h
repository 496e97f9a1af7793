#pragma once

#include <QString>

namespace kelvo
{

// The folder ending in exactly one separator, so that a file name can be appended: a folder
// that already ends in its separator (a root such as "C:\" or "/") comes back unchanged,
// any other gains one. Windows-form paths (with a backslash or a drive letter) take "\",
// all others "/". An empty folder stays empty.
QString withTrailingSeparator(const QString &folder);

// The folder of the program's executable (not the working folder), in the platform's
// native form, ending in its separator.
QString appDir();

} // namespace kelvo

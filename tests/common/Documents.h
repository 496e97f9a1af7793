#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace kelvo::test
{

// One of the program's stored documents ("passline.rtf", "readme.rtf"), as it is compiled in.
inline QByteArray storedDocument(const char *name)
{
    QFile file(QStringLiteral(":/documents/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes bytes to path, making its folders; the path, or an empty string if it failed.
inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly) ||
        file.write(bytes) != bytes.size())
        return {};
    return path;
}

// The cells a character takes in the fixed-pitch face: one for ASCII and half-width katakana,
// two for everything else.
inline int cellWidth(QChar ch)
{
    const char16_t u = ch.unicode();
    return u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F) ? 1 : 2;
}

inline int cellsOf(const QString &text)
{
    int cells = 0;
    for (const QChar ch : text)
        cells += cellWidth(ch);
    return cells;
}

} // namespace kelvo::test

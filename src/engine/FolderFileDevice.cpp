#include "FolderFileDevice.h"

FolderFileDevice::FolderFileDevice(std::unique_ptr<QFile> file, qint64 size, QObject *parent)
    : QIODevice(parent), m_file(std::move(file)), m_size(size)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

FolderFileDevice::~FolderFileDevice() = default;

bool FolderFileDevice::atEnd() const
{
    return m_ended || pos() >= m_size;
}

bool FolderFileDevice::seek(qint64 pos)
{
    if (pos < 0 || pos > m_size || !m_file->seek(pos))
        return false;
    m_ended = false;
    return QIODevice::seek(pos);
}

qint64 FolderFileDevice::readData(char *data, qint64 maxSize)
{
    const qint64 wanted = qMin(qMin(maxSize, MaxPiece), m_size - pos());
    if (wanted <= 0) {
        m_ended = true;
        return 0;
    }
    const qint64 read = m_file->read(data, wanted);
    // A file that shrank since it was opened ends where it ends now.
    if (read <= 0)
        m_ended = true;
    return read < 0 ? -1 : read;
}

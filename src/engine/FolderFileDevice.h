#pragma once

#include <QFile>
#include <QIODevice>

#include <memory>

// The body of one reply of the question document's scheme: a file already opened and
// checked, read as the browser asks for it, a piece at a time, never more than the size it
// had when it was opened. The browser reads it on its own I/O thread; nothing else touches it
// once it is handed over.
class FolderFileDevice : public QIODevice
{
    Q_OBJECT
public:
    // The most one read takes from the file.
    static constexpr qint64 MaxPiece = 64 * 1024;

    FolderFileDevice(std::unique_ptr<QFile> file, qint64 size, QObject *parent = nullptr);
    ~FolderFileDevice() override;

    qint64 size() const override { return m_size; }
    bool atEnd() const override;
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    std::unique_ptr<QFile> m_file;
    qint64 m_size;
    bool m_ended = false;
};

#pragma once

#include <QFile>
#include <QString>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace kelvo::test
{

// Makes a file unreadable to the calling thread while it lives, even when the tests run as
// root: the file's mode is cleared, and the thread puts down the capabilities that read past
// file modes (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) until the guard goes. Capabilities
// belong to a thread on Linux, so only the GUI thread and the threads it starts while the
// guard lives (the scheme handler opens each file on a thread started for it) are affected;
// the engine's other threads keep theirs.
class UnreadableFile
{
public:
    explicit UnreadableFile(const QString &path) : m_path(path)
    {
        QFile::setPermissions(m_path, {});
#ifdef Q_OS_LINUX
        if (syscall(SYS_capget, &m_header, m_saved) == 0) {
            __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
            lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            m_lowered = syscall(SYS_capset, &m_header, lowered) == 0;
        }
#endif
    }

    ~UnreadableFile()
    {
#ifdef Q_OS_LINUX
        if (m_lowered)
            syscall(SYS_capset, &m_header, m_saved);
#endif
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }

    UnreadableFile(const UnreadableFile &) = delete;
    UnreadableFile &operator=(const UnreadableFile &) = delete;

    // Whether this thread indeed cannot open the file now; tests skip when it can.
    bool holds() const
    {
        QFile file(m_path);
        return file.exists() && !file.open(QIODevice::ReadOnly);
    }

private:
    QString m_path;
#ifdef Q_OS_LINUX
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
#endif
};

} // namespace kelvo::test

// The Unix lock of a copy: flock() on its folder.
#include "CopyLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace copylock {

Lock::Lock(const QString& copyFolder, Mode mode, int waitMilliseconds) {
    const int fd = ::open(QFile::encodeName(copyFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const int operation = (mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const QDeadlineTimer deadline(waitMilliseconds);
    for (;;) {
        if (::flock(fd, operation) == 0) {
            m_handle = fd;
            return;
        }
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK || deadline.hasExpired()) {
            // Held by another program all the while; or a file system without such locks (some
            // network file systems), which then goes on as before.
            m_busy = error == EWOULDBLOCK;
            ::close(fd);
            return;
        }
        QThread::msleep(20);
    }
}

Lock::~Lock() {
    if (m_handle != kNone)
        ::close(int(m_handle)); // which ends the lock
}

} // namespace copylock

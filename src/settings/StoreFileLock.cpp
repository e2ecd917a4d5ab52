#include "settings/StoreFileLock.h"

#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TStoreFileLock::TStoreFileLock(const QString& lockFileName, int timeoutMilliseconds) {
    const QByteArray path = QFile::encodeName(lockFileName);
    FDescriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (FDescriptor < 0) // a lock file that another user created may still be locked read-only
        FDescriptor = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (FDescriptor < 0) {
        FError = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    constexpr int PollMilliseconds = 5;
    for (int waited = 0;; waited += PollMilliseconds) {
        if (::flock(FDescriptor, LOCK_EX | LOCK_NB) == 0) {
            FLocked = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            FError = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        if (waited >= timeoutMilliseconds) {
            FError = QStringLiteral("another instance holds the settings lock");
            return;
        }
        QThread::msleep(PollMilliseconds);
    }
}

TStoreFileLock::~TStoreFileLock() {
    if (FDescriptor >= 0)
        ::close(FDescriptor); // closing releases the lock
}

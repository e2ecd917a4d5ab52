#include "testsupport/PageCache.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

bool DropFromPageCache(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool dropped =
        ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
}

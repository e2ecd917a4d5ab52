#include "fixing/StaleTemporaryFiles.h"

#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QStringView Prefix = u".varnholm-";
constexpr QStringView Suffix = u".tmp";
constexpr int UniquePartLength = 6;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

bool IsTagTemporaryFileName(const QString& name) {
    return name.size() == Prefix.size() + UniquePartLength + Suffix.size() &&
           name.startsWith(Prefix) && name.endsWith(Suffix);
}

int RemoveStaleTemporaryFiles(const QString& folder) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(QFile::encodeName(folder).constData()));
    if (!dir)
        return 0;
    const int dirFd = ::dirfd(dir.get());
    int removed = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!IsTagTemporaryFileName(QFile::decodeName(entry->d_name)))
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // Only a regular file that no writer holds is left over.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

void TStaleTemporaryFiles::CleanFolder(const QString& folder) {
    if (FCleaned.contains(folder))
        return;
    FCleaned.insert(folder);
    RemoveStaleTemporaryFiles(folder);
}

#include "fixing/FileTimes.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>

std::optional<timespec> GetLastWriteTime(const QString& fileName) {
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return std::nullopt;
    return st.st_mtim;
}

bool SetLastWriteTime(const QString& fileName, const timespec& time) {
    const timespec times[2] = {{0, UTIME_OMIT}, time};
    return ::utimensat(AT_FDCWD, QFile::encodeName(fileName).constData(), times, 0) == 0;
}

TPreservedFileTime::TPreservedFileTime(const QString& fileName, bool preserve) {
    if (preserve)
        FTime = GetLastWriteTime(fileName);
}

bool TPreservedFileTime::Restore(const QString& fileName) const {
    return FTime && SetLastWriteTime(fileName, *FTime);
}

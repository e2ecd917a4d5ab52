#pragma once

#include <QString>
#include <optional>
#include <time.h>

// A file's last-write time exactly as the file system holds it (nanoseconds included), so that
// putting it back after writing the tags leaves the file's time as it was.
std::optional<timespec> GetLastWriteTime(const QString& fileName);
// Sets the last-write time and leaves the last-access time alone; false when it cannot be set.
bool SetLastWriteTime(const QString& fileName, const timespec& time);

// Remembers a file's last-write time when PreserveFileDateTime asks for it, and puts it back on
// the file (under the name it has by then).
class TPreservedFileTime {
public:
    TPreservedFileTime(const QString& fileName, bool preserve);
    // True when the time was put back, that is when the file changed.
    bool Restore(const QString& fileName) const;

private:
    std::optional<timespec> FTime;
};

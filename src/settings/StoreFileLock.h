#pragma once

#include <QString>

// An advisory lock (flock) on a lock file beside the settings file, held while one instance
// re-reads, changes and replaces the settings file, so that instances running at the same time
// never lose each other's writes. The lock goes away with the object, or with the process.
class TStoreFileLock {
public:
    // Waits a bounded time for the lock: a hung instance must not freeze this one.
    explicit TStoreFileLock(const QString& lockFileName, int timeoutMilliseconds = 10000);
    ~TStoreFileLock();
    TStoreFileLock(const TStoreFileLock&) = delete;
    TStoreFileLock& operator=(const TStoreFileLock&) = delete;

    bool IsLocked() const { return FLocked; }
    const QString& ErrorString() const { return FError; }

private:
    int FDescriptor = -1;
    bool FLocked = false;
    QString FError;
};

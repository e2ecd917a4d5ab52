#pragma once

#include "support/Error.h"

#include <QByteArray>
#include <QString>
#include <sys/types.h>

// Plain system calls for the tag files: reading a library of 100,000 files counts every call,
// and writing needs control over locking, flushing and renaming that QFile does not give.
namespace ID3FileIO {

// A failure of the file system, with the operating system's reason in its message.
class TFileError : public TError {
public:
    TFileError(QString message, int errorCode) : TError(std::move(message)), FCode(errorCode) {}
    int ErrorCode() const { return FCode; }

private:
    int FCode;
};

enum class Operation { Open, Create, Read, Write, Rename };

// Throws TFileError for the operation on the path with errno's reason (or the reason given).
[[noreturn]] void Fail(Operation operation, const QString& path, int errorCode,
                       const QString& reason = QString());

// A file descriptor that closes itself.
class TFile {
public:
    TFile() = default;
    explicit TFile(int fd) : FFd(fd) {}
    ~TFile() { Close(); }
    TFile(TFile&& other) noexcept : FFd(other.Release()) {}
    TFile& operator=(TFile&& other) noexcept;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Opens for reading; nothing (an invalid TFile with errno set) on failure. Non-blocking, so
    // that a FIFO named .mp3 cannot hang the caller.
    static TFile OpenForReading(const QString& path);
    // Opens for reading and writing and takes the advisory exclusive lock; throws TFileError.
    // The file's size goes to size when given (it is looked up anyway).
    static TFile OpenExclusive(const QString& path, qint64* size = nullptr);

    bool IsOpen() const { return FFd >= 0; }
    int Fd() const { return FFd; }
    int Release() {
        const int fd = FFd;
        FFd = -1;
        return fd;
    }
    // Closes and reports whether the close succeeded (a delayed write error shows here).
    bool Close();

private:
    int FFd = -1;
};

// A temporary file beside the file it will replace (".varnholm-XXXXXX.tmp", see
// fixing/StaleTemporaryFiles.h); removed again unless it took that file's place. Throws
// TFileError when it cannot be created.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const QString& folder);
    ~TTemporaryFile();
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    int Fd() const { return FFile.Fd(); }
    QString Path() const;
    const QByteArray& NativePath() const { return FName; }
    bool Close() { return FFile.Close(); }
    void Keep() { FKept = true; }

private:
    TFile FFile;
    TFile FLock;
    QByteArray FName;
    bool FKept = false;
};

// Reads count bytes at offset; the number read, which is smaller at the end of the file, or -1
// with errno set.
qint64 ReadAt(int fd, char* data, qint64 count, qint64 offset);
// The same, and whether the bytes had to come from the storage: uncached is set when the system
// could not serve all of them from its cache at once, or cannot tell.
qint64 ReadAt(int fd, char* data, qint64 count, qint64 offset, bool& uncached);
// Writes all bytes at offset; false with errno set.
bool WriteAt(int fd, const char* data, qint64 count, qint64 offset);

// The size of the open file, -1 with errno set when it is not a regular file.
qint64 RegularFileSize(int fd);

// The whole contents of a file; throws TFileError.
QByteArray ReadWholeFile(const QString& path);

} // namespace ID3FileIO

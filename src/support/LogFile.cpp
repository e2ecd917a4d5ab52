#include "support/LogFile.h"

#include "support/PlatformFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString LoggedOnUserName() {
    // The password database knows the user even when the environment has been cleaned.
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

void CreateFolderOf(const QString& fileName) {
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QFileInfo(folder).isDir())
        QDir().mkpath(folder);
}

int Flock(int fd, int operation) {
    int result;
    do
        result = ::flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

TKelmLogFile::TKelmLogFile(const QString& fileName, bool enabled)
    : FEnabled(enabled), FDateTimeFormat(QLocale().dateFormat(QLocale::ShortFormat) + u' ' +
                                         QLocale().timeFormat(QLocale::LongFormat)) {
    SetFileName(fileName);
}

TKelmLogFile::~TKelmLogFile() {
    Unlock();
}

QString TKelmLogFile::DefaultFileName() {
    return PlatformFolders::StateFolder() + QStringLiteral("/Quenlor.log");
}

void TKelmLogFile::SetFileName(const QString& fileName) {
    FFileName = fileName.isEmpty() ? DefaultFileName() : fileName;
    if (!FEnabled)
        return;
    CreateFolderOf(FFileName);
    const bool alone = LockForThisInstance();
    if (FDeleteOnChangeName && alone && QFileInfo(FFileName).isFile())
        QFile::remove(FFileName);
    // The exclusive lock becomes a shared one only now, so that no other instance starting at
    // this moment deletes the log after this one has begun writing to it.
    if (FLock >= 0)
        Flock(FLock, LOCK_SH);
}

bool TKelmLogFile::LockForThisInstance() {
    Unlock();
    FLock = ::open(QFile::encodeName(FFileName + QStringLiteral(".lock")).constData(),
                   O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // Without a lock file nobody can tell whether the log is in use; it is treated as the
    // previous run's, as it always was.
    return FLock < 0 || Flock(FLock, LOCK_EX | LOCK_NB) == 0;
}

void TKelmLogFile::Unlock() {
    if (FLock >= 0)
        ::close(FLock);
    FLock = -1;
}

QString TKelmLogFile::BuildPrefix(const QString& userName, const QString& computerName) const {
    QString prefix;
    if (FTimeStamp)
        prefix = QLocale().toString(QDateTime::currentDateTime(), FDateTimeFormat) +
                 QStringLiteral(" :");
    if (!FPrefixText.isEmpty()) {
        if (!prefix.isEmpty())
            prefix += u' ';
        prefix += FPrefixText + QStringLiteral(" -");
    }
    const QString user = FUserName ? userName : QString();
    const QString computer = FComputerName ? computerName : QString();
    if (!user.isEmpty() || !computer.isEmpty()) {
        if (!prefix.isEmpty())
            prefix += u' ';
        prefix += u'(';
        if (!user.isEmpty()) {
            prefix += user;
            if (!computer.isEmpty())
                prefix += u'@' + computer;
        } else {
            prefix += computer;
        }
        prefix += u')';
    }
    return prefix;
}

void TKelmLogFile::SetLogText(const QString& message) {
    if (FFileName.isEmpty() || !FEnabled)
        return;
    const QString prefix = BuildPrefix(FUserName ? LoggedOnUserName() : QString(),
                                       FComputerName ? QSysInfo::machineHostName() : QString());
    const QString line = prefix.isEmpty() ? message : prefix + u' ' + message;
    FLogText = line;
    // Three calls a line: a run may log thousands of lines. The folder may have gone since the
    // name was set; a log that cannot be written is lost.
    const QByteArray name = QFile::encodeName(FFileName);
    const auto open = [&name] {
        return ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    };
    int fd = open();
    if (fd < 0 && errno == ENOENT) {
        CreateFolderOf(FFileName);
        fd = open();
    }
    if (fd < 0)
        return;
    const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
}

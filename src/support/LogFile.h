#pragma once

#include <QString>

// The activity log: one line per noteworthy event of a run (genre mismatches, unregistered
// genres, read-only cover pictures). Each line is appended with CR LF as UTF-8 and the file is
// opened and closed for every line. Every failure is silent: a log must never stop the work
// that writes to it.
//
// The window and quenlor-cli share one log, and a run must not erase the lines another running
// instance has written (and may point the user to): each instance holds a shared lock on
// "<log>.lock" while it uses the log, and the previous run's log is deleted only by an instance
// that can take that lock exclusively, that is, when no other instance is running.
class TKelmLogFile {
public:
    // Sets the file name at once, so that the previous run's log is deleted. An empty name
    // stands for DefaultFileName(). A log made disabled (a dry run's) neither touches the
    // previous run's log nor writes a line.
    explicit TKelmLogFile(const QString& fileName = {}, bool enabled = true);
    ~TKelmLogFile();
    TKelmLogFile(const TKelmLogFile&) = delete;
    TKelmLogFile& operator=(const TKelmLogFile&) = delete;

    // Quenlor.log in the per-user state folder.
    static QString DefaultFileName();

    const QString& FileName() const { return FFileName; }
    // While Enabled: creates the file's folder when missing, takes the shared lock of the new
    // name (giving up that of the old one) and, with DeleteOnChangeName, deletes an existing
    // file of that name unless another instance holds its lock.
    void SetFileName(const QString& fileName);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled) { FEnabled = enabled; }
    bool DeleteOnChangeName() const { return FDeleteOnChangeName; }
    void SetDeleteOnChangeName(bool deleteOnChangeName) {
        FDeleteOnChangeName = deleteOnChangeName;
    }
    bool TimeStamp() const { return FTimeStamp; }
    void SetTimeStamp(bool timeStamp) { FTimeStamp = timeStamp; }
    const QString& PrefixText() const { return FPrefixText; }
    void SetPrefixText(const QString& prefixText) { FPrefixText = prefixText; }
    bool UserName() const { return FUserName; }
    void SetUserName(bool userName) { FUserName = userName; }
    bool ComputerName() const { return FComputerName; }
    void SetComputerName(bool computerName) { FComputerName = computerName; }
    // A QDateTime format; at creation the locale's short date, a space and its long time.
    const QString& DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const QString& format) { FDateTimeFormat = format; }

    // The last line written, prefixes included.
    const QString& LogText() const { return FLogText; }
    // Appends one line holding the message, after the prefixes that are switched on.
    void SetLogText(const QString& message);

    // The prefix that goes before each message; empty when every prefix is off. The names are
    // parameters so that the rules can be checked without depending on the machine.
    QString BuildPrefix(const QString& userName, const QString& computerName) const;

private:
    // Locks the log of FFileName for this instance; whether no other instance holds it.
    bool LockForThisInstance();
    void Unlock();

    QString FFileName;
    int FLock = -1; // the open lock file, -1 when none is held
    bool FEnabled = true;
    bool FDeleteOnChangeName = true;
    bool FTimeStamp = false;
    QString FPrefixText;
    bool FUserName = false;
    bool FComputerName = false;
    QString FDateTimeFormat;
    QString FLogText;
};

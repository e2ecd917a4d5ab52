#include "tools/KelmAppExec.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The start failures, numbered as the error texts below.
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int InvalidExecutable = 11;
constexpr int Started = 32;

// How often a waiting run looks at the program and lets the window handle events.
constexpr int PollMilliseconds = 20;

QStringList SplitLines(const QByteArray& bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

bool IsWindowsProgram(const QString& path) {
    return path.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive);
}

} // namespace

void TKelmAppExec::SetExePath(const QString& path) {
    FExePath = path;
    if (FExePath.size() > 1 && FExePath.endsWith(u'/'))
        FExePath.chop(1);
}

QString TKelmAppExec::ErrorString(int number) {
    switch (number) {
    case 0:
        return QStringLiteral(
            "System was out of memory, executable file was corrupt, or relocations were invalid");
    case 2:
        return QStringLiteral("File was not found");
    case 3:
        return QStringLiteral("Path was not found");
    case 5:
        return QStringLiteral("Attempt was made to dynamically link to a task, or there was a "
                              "sharing or network-protection error");
    case 6:
        return QStringLiteral("Library required separate data segments for each task");
    case 8:
        return QStringLiteral("There was insufficient memory to start the application");
    case 10:
        return QStringLiteral("Windows version was incorrect");
    case 11:
        return QStringLiteral("Executable file was invalid. Either it was not a Windows "
                              "application or there was an error in the .EXE image");
    case 12:
        return QStringLiteral("Application was designed for a different operating system");
    case 13:
        return QStringLiteral("Application was designed for MS-DOS 4.0");
    case 14:
        return QStringLiteral("Type of executable file was unknown");
    case 15:
        return QStringLiteral("Attempt was made to load a real-mode application (developed for "
                              "an earlier version of Windows)");
    case 16:
        return QStringLiteral("Attempt to load second instance of an executable containing "
                              "multiple data segments not marked read-only");
    case 19:
        return QStringLiteral("Attempt was made to load a compressed executable file. The file "
                              "must be decompressed before it can be loaded");
    case 20:
        return QStringLiteral("Dynamic-link library (DLL) file was invalid. One of the DLLs "
                              "required to run this application was corrupt");
    case 21:
        return QStringLiteral("Application requires 32-bit extensions");
    default:
        return number >= Started ? QStringLiteral("No error") : QString();
    }
}

QString TKelmAppExec::WorkingFolder() const {
    return ChangeDir ? FExePath : QString();
}

QStringList TKelmAppExec::Resolve(int& error) const {
    error = 0;
    QString program;
    if (!FExePath.isEmpty()) {
        if (!QFileInfo(FExePath).isDir()) {
            error = PathNotFound;
            return {};
        }
        program = QDir(FExePath).filePath(FExeName);
        // A name without extension also finds the Windows build of the tool in that folder.
        if (!QFileInfo::exists(program) && QFileInfo(FExeName).suffix().isEmpty() &&
            QFileInfo::exists(program + QStringLiteral(".exe")))
            program += QStringLiteral(".exe");
    } else if (FExeName.contains(u'/')) {
        program = FExeName;
    } else {
        program = QStandardPaths::findExecutable(FExeName);
    }
    const QFileInfo info(program);
    if (program.isEmpty() || !info.exists()) {
        error = FileNotFound;
        return {};
    }
    if (IsWindowsProgram(program)) {
        if (!info.isFile()) {
            error = InvalidExecutable;
            return {};
        }
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty()) {
            error = FileNotFound;
            return {};
        }
        return QStringList{wine, info.absoluteFilePath()} + ExeParams;
    }
    if (!info.isFile() || !info.isExecutable()) {
        error = InvalidExecutable;
        return {};
    }
    return QStringList{info.absoluteFilePath()} + ExeParams;
}

QStringList TKelmAppExec::CommandLine() const {
    int error = 0;
    QStringList command = Resolve(error);
    if (command.isEmpty())
        throw EKelmAppExecWinExec(ErrorString(error));
    return command;
}

void TKelmAppExec::Execute() {
    FOutput.clear();
    FErrorOutput.clear();
    FCrashed = false;
    FStopped = false;
    if (RedirectOutput && !Wait && FUi)
        FUi->ShowMessage(UiPort::MessageKind::Warning,
                         QStringLiteral("This warning indicates that output will not be redirected "
                                        "properly as Wait property is equal to False."));
    int error = 0;
    const QStringList command = Resolve(error);
    if (command.isEmpty()) {
        FErrorNumber = error;
        throw EKelmAppExecWinExec(GetErrorString());
    }
    if (Wait) {
        RunAndWait(command);
        return;
    }
    QProcess process;
    process.setProgram(command.first());
    process.setArguments(command.mid(1));
    process.setWorkingDirectory(WorkingFolder());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        FErrorNumber = InvalidExecutable;
        throw EKelmAppExecWinExec(GetErrorString());
    }
    FErrorNumber = Started;
}

void TKelmAppExec::RunAndWait(const QStringList& command) {
    QProcess process;
    process.setProgram(command.first());
    process.setArguments(command.mid(1));
    process.setWorkingDirectory(WorkingFolder());
    process.setStandardInputFile(QProcess::nullDevice());
    if (!RedirectOutput)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1)) {
        // The checks above found an executable file that the system would not run.
        FErrorNumber = InvalidExecutable;
        throw EKelmAppExecWinExec(GetErrorString());
    }
    FErrorNumber = Started;
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(PollMilliseconds)) {
        if (FUi)
            FUi->ProcessPendingEvents();
        if (StopRequested && StopRequested()) {
            process.kill();
            process.waitForFinished(-1);
            FStopped = true;
            break;
        }
    }
    FCrashed = FStopped || process.exitStatus() == QProcess::CrashExit;
    FErrorNumber = FCrashed ? -1 : process.exitCode();
    FErrorOutput = QString::fromUtf8(process.readAllStandardError());
    if (RedirectOutput)
        FOutput = SplitLines(process.readAllStandardOutput());
}

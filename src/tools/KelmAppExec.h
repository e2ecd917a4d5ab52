#pragma once

#include "support/Error.h"
#include "support/UiPort.h"

#include <QStringList>
#include <functional>

// A program that could not be started (or whose end could not be waited for).
class EKelmAppExecWinExec : public TError {
public:
    using TError::TError;
};

// Runs an outside program with an argument vector (never through a shell), optionally waits for
// it while the window keeps handling events, and optionally captures its standard output.
class TKelmAppExec {
public:
    // ui lets the window repaint while waiting (the caller's long operation shows the cursor);
    // may be null.
    explicit TKelmAppExec(UiPort* ui = nullptr) : FUi(ui) {}

    // The program's file name. A name without a folder is looked for in ExePath, or on PATH when
    // ExePath is empty; a Windows program (".exe") runs through wine.
    const QString& ExeName() const { return FExeName; }
    void SetExeName(const QString& name) { FExeName = name; }
    // The program's folder; a trailing "/" is dropped, except from the root folder.
    const QString& ExePath() const { return FExePath; }
    void SetExePath(const QString& path);
    QStringList ExeParams;
    // Run the program in ExePath (the program's own current folder never changes).
    bool ChangeDir = true;
    // Capture standard output into Output(); only a waited-for run can be captured.
    bool RedirectOutput = false;
    bool Wait = false;
    // Asked between polls while waiting: when it returns true the program is ended.
    std::function<bool()> StopRequested;

    // Runs the program as configured. Throws EKelmAppExecWinExec when it cannot be started.
    void Execute();

    // The captured lines of the last run, without line ends.
    const QStringList& Output() const { return FOutput; }
    // What the program wrote on its standard error during a waited-for run.
    const QString& ErrorOutput() const { return FErrorOutput; }
    // 32 after a start, the exit code after a wait, the start failure's number otherwise.
    int ErrorNumber() const { return FErrorNumber; }
    // True when the last waited-for run ended by a signal or was stopped.
    bool Crashed() const { return FCrashed; }
    bool Stopped() const { return FStopped; }
    QString GetErrorString() const { return ErrorString(FErrorNumber); }
    static QString ErrorString(int number);

    // The program and its arguments as they would be started (the program resolved, wine in
    // front of a Windows program). Throws EKelmAppExecWinExec as Execute() does.
    QStringList CommandLine() const;

private:
    // The command, or an empty list with the start failure's number in error.
    QStringList Resolve(int& error) const;
    QString WorkingFolder() const;
    void RunAndWait(const QStringList& command);

    UiPort* FUi;
    QString FExeName;
    QString FExePath;
    QStringList FOutput;
    QString FErrorOutput;
    int FErrorNumber = 0;
    bool FCrashed = false;
    bool FStopped = false;
};

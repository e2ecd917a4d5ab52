#pragma once

#include "tools/KelmAppExec.h"

#include <QStringList>

class TMainWindowState;

// The outside tools over the rows of the main list: MP3val checks and repairs the files' frames,
// MP3Gain analyses and levels their loudness, Mp3tag (through wine) opens them in its editor.
// MP3val's and MP3Gain's reports are shown in the output window; a repair or adjustment runs
// only when the person presses Fix there, and the rows are refreshed after it.
//
// While a tool runs, the list's long-operation flag is up, so nothing else changes the list or
// writes a file meanwhile. An analysis can be stopped (the tool is ended; it only reads); a
// repair or adjustment cannot, since ending it mid-write could damage a file.
class TToolCommands {
public:
    explicit TToolCommands(TMainWindowState& state);

    // The folder that holds exactly the listed files (its search, with the current options,
    // finds those and no other), unless it is the music library home; empty otherwise.
    QString GetCommonPath();

    void MP3valToolButtonClick();
    void MP3GainToolButtonClick();
    // Mp3tag over every row, and over the one selected row (context menu).
    void Mp3tagToolButtonClick();
    void Mp3tag2Click();

    // The output window's "Delete backup files"; it keeps its state from one run to the next.
    bool DeleteBackupFiles() const { return FDeleteBackupFiles; }
    void SetDeleteBackupFiles(bool on) { FDeleteBackupFiles = on; }

    // Whether the last command failed: a tool could not be started, ended with an error, or its
    // report could not be read.
    bool Failed() const { return FFailed; }
    // Whether the last MP3val or MP3Gain command found something to fix (its output window was
    // shown), and the report its check or analysis gave.
    bool FixOffered() const { return FFixOffered; }
    const QStringList& Report() const { return FReport; }

private:
    // The full paths of all rows, in display order.
    QStringList FileArguments() const;
    // Points the runner at the executable; false (with the error shown) when there is none.
    bool Prepare(TKelmAppExec& exec, const QString& executable);
    // Runs the tool once per batch of files, switches before or after them, collecting the
    // report. False when it could not start, failed or was stopped (an error is shown).
    bool RunBatches(TKelmAppExec& exec, const QStringList& leading, const QStringList& files,
                    const QStringList& trailing, QStringList* report);
    // One run; false (with the error shown) when the tool could not start or failed.
    bool RunOnce(TKelmAppExec& exec);
    void Fail(const QString& message);
    void RunMp3tag(const QStringList& parameters);
    // Windows paths for wine's programs.
    bool ToWindowsPaths(QStringList& paths);

    TMainWindowState& FState;
    TKelmAppExec FMP3valKelmAppExec;
    TKelmAppExec FMP3GainKelmAppExec;
    TKelmAppExec FMp3tagKelmAppExec;
    TKelmAppExec FWinePath;
    bool FDeleteBackupFiles = true;
    bool FFailed = false;
    bool FFixOffered = false;
    QStringList FReport;
};

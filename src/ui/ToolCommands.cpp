#include "ui/ToolCommands.h"

#include "discovery/MP3FileSearch.h"
#include "tools/ArgumentBatches.h"
#include "tools/ToolReports.h"
#include "ui/MainWindowState.h"
#include "ui/ToolExecutables.h"

#include <QFileInfo>
#include <QSet>

namespace {

// A tool run keeps every command that could change the list or a file from starting.
TLongOperation StartToolOperation(TMainWindowState& state, const QString& statusText, int steps) {
    return TLongOperation(state, UiPort::Cursor::Busy,
                          {TCommand::Browse, TCommand::Open, TCommand::Export, TCommand::Fix,
                           TCommand::Refresh, TCommand::UndoLastChanges, TCommand::UndoHistory,
                           TCommand::MP3val, TCommand::MP3Gain, TCommand::Mp3tag,
                           TCommand::Statistics, TCommand::UpdateDataFiles, TCommand::Options,
                           TCommand::Exit},
                          statusText, steps);
}

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

} // namespace

TToolCommands::TToolCommands(TMainWindowState& state)
    : FState(state), FMP3valKelmAppExec(&state.Ui()), FMP3GainKelmAppExec(&state.Ui()),
      FMp3tagKelmAppExec(&state.Ui()), FWinePath(&state.Ui()) {
    for (TKelmAppExec* exec : {&FMP3valKelmAppExec, &FMP3GainKelmAppExec, &FWinePath}) {
        exec->RedirectOutput = true;
        exec->Wait = true;
    }
    FWinePath.SetExeName(QStringLiteral("winepath"));
}

QStringList TToolCommands::FileArguments() const {
    const TMainList& list = FState.MainList();
    QStringList files;
    files.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        files << JoinPath(list.Cell(i, mcLocation), list.Cell(i, mcName));
    return files;
}

QString TToolCommands::GetCommonPath() {
    const TMainList& list = FState.MainList();
    QSet<QString> folded;
    QString folder;
    for (int i = 0; i < list.Count(); ++i)
        if (!folded.contains(list.Cell(i, mcLocation).toCaseFolded())) {
            folder = list.Cell(i, mcLocation);
            folded.insert(folder.toCaseFolded());
        }
    if (folded.size() != 1 || folder == FState.Options().MusicLibraryHomePath)
        return {};
    // The folder stands for the list only when its search finds exactly the listed files.
    TKelmFileFind find;
    PrepareMP3FileSearch(find, folder, FState.Options());
    const QStringList found = RunMP3FileSearch(find, FState.Options());
    const QStringList listed = FileArguments();
    const QSet<QString> listedSet(listed.begin(), listed.end());
    if (found.size() != listed.size() || QSet<QString>(found.begin(), found.end()) != listedSet)
        return {};
    return folder;
}

void TToolCommands::Fail(const QString& message) {
    FFailed = true;
    FState.Ui().ShowMessage(UiPort::MessageKind::Error, message);
}

bool TToolCommands::Prepare(TKelmAppExec& exec, const QString& executable) {
    FFailed = false;
    FFixOffered = false;
    FReport.clear();
    if (executable.isEmpty()) {
        Fail(TKelmAppExec::ErrorString(2));
        return false;
    }
    const QFileInfo info(executable);
    exec.SetExePath(info.path());
    exec.SetExeName(info.fileName());
    return true;
}

bool TToolCommands::RunOnce(TKelmAppExec& exec) {
    try {
        exec.Execute();
    } catch (const EKelmAppExecWinExec& e) {
        Fail(e.Message());
        return false;
    }
    if (exec.Stopped())
        return false;
    if (exec.Wait && (exec.Crashed() || exec.ErrorNumber() != 0)) {
        const QString said = exec.ErrorOutput().trimmed();
        Fail(QStringLiteral("%1 ended with exit code %2.")
                 .arg(exec.ExeName())
                 .arg(exec.ErrorNumber()) +
             (said.isEmpty() ? QString() : u'\r' + said));
        return false;
    }
    return true;
}

bool TToolCommands::RunBatches(TKelmAppExec& exec, const QStringList& leading,
                               const QStringList& files, const QStringList& trailing,
                               QStringList* report) {
    const std::vector<QStringList> batches = ArgumentBatches::Split(
        QStringList{JoinPath(exec.ExePath(), exec.ExeName())} + leading + trailing, files);
    for (const QStringList& batch : batches) {
        exec.ExeParams = leading + batch + trailing;
        if (!RunOnce(exec))
            return false;
        if (report)
            *report += exec.Output();
    }
    return true;
}

void TToolCommands::MP3valToolButtonClick() {
    if (FState.MainList().Count() == 0 || !FState.CanChangeList())
        return;
    TKelmAppExec& exec = FMP3valKelmAppExec;
    if (!Prepare(exec, ToolExecutables::MP3val(FState.Options())))
        return;
    const QStringList files = FileArguments();
    QStringList report;
    {
        TLongOperation operation =
            StartToolOperation(FState, QStringLiteral("Checking files with MP3val"), 0);
        exec.StopRequested = [this] { return FState.StopRequested(); };
        const bool done = RunBatches(exec, {}, files, {}, &report);
        exec.StopRequested = nullptr;
        if (!done)
            return;
    }
    FReport = report;
    const int count = ToolReports::MP3valWarningCount(report);
    if (count == 0) {
        FState.Ui().ShowMessage(UiPort::MessageKind::Information,
                                QStringLiteral("No need to run MP3val against file(s)."));
        return;
    }
    TToolOutput output{QStringLiteral("MP3val Output"), report,
                       QStringLiteral("%1 error(s)").arg(count), true, FDeleteBackupFiles};
    FFixOffered = true;
    const bool fix = FState.Ui().ShowToolOutput(output);
    FDeleteBackupFiles = output.DeleteBackupFiles;
    if (!fix)
        return;
    {
        TLongOperation operation =
            StartToolOperation(FState, QStringLiteral("Repairing files with MP3val"), 0);
        operation.RefuseStop();
        const QStringList switches = ToolReports::MP3valFixSwitches(
            FState.Options().PreserveFileDateTime, FDeleteBackupFiles);
        if (!RunBatches(exec, {}, files, switches, nullptr))
            return;
    }
    FState.RefreshToolButtonClick();
    if (FState.Ui().AskYesNo(QStringLiteral("MP3val has been run succesfully against file(s).\r"
                                            "Do you want to re-fix file(s)?")))
        FState.FixToolButtonClick();
}

void TToolCommands::MP3GainToolButtonClick() {
    if (FState.MainList().Count() == 0 || !FState.CanChangeList())
        return;
    TKelmAppExec& exec = FMP3GainKelmAppExec;
    const TOptionSet& options = FState.Options();
    if (!Prepare(exec, ToolExecutables::MP3Gain(options)))
        return;
    const QStringList files = FileArguments();
    if (options.UseMP3GainUserInterface) {
        exec.RedirectOutput = false;
        exec.Wait = false;
        const QString common = GetCommonPath();
        exec.ExeParams = common.isEmpty() ? files : QStringList{common};
        RunOnce(exec);
        return;
    }
    exec.RedirectOutput = true;
    exec.Wait = true;
    // The album gain is worked out over all files at once: they must fit in one run.
    const QStringList apply = ToolReports::MP3GainApplySwitches(
        int(files.size()), options.MP3GainDefaultVolume, options.PreserveFileDateTime);
    const QStringList program{JoinPath(exec.ExePath(), exec.ExeName())};
    if (ArgumentBatches::Split(program + apply, files).size() > 1 ||
        ArgumentBatches::Split(program + ToolReports::MP3GainAnalysisSwitches(), files).size() >
            1) {
        Fail(QStringLiteral("The %1 files are too many for one MP3Gain run, which the album gain "
                            "needs. Nothing was done; run MP3Gain over fewer files.")
                 .arg(files.size()));
        return;
    }
    {
        TLongOperation operation =
            StartToolOperation(FState, QStringLiteral("Analysing files with MP3Gain"), 0);
        exec.StopRequested = [this] { return FState.StopRequested(); };
        exec.ExeParams = ToolReports::MP3GainAnalysisSwitches() + files;
        const bool done = RunOnce(exec);
        exec.StopRequested = nullptr;
        if (!done)
            return;
    }
    FReport = exec.Output();
    int adjustment = 0;
    try {
        adjustment = ToolReports::MP3GainAdjustment(exec.Output(), options.MP3GainDefaultVolume);
    } catch (const TError& e) {
        Fail(e.Message());
        return;
    }
    if (!ToolReports::MP3GainAdjustmentNeeded(adjustment)) {
        FState.Ui().ShowMessage(UiPort::MessageKind::Information,
                                QStringLiteral("No need to run MP3Gain against file(s)."));
        return;
    }
    TToolOutput output{
        QStringLiteral("MP3Gain Output"), exec.Output(), {}, false, FDeleteBackupFiles};
    FFixOffered = true;
    if (!FState.Ui().ShowToolOutput(output))
        return;
    {
        TLongOperation operation =
            StartToolOperation(FState, QStringLiteral("Adjusting files with MP3Gain"), 0);
        operation.RefuseStop();
        exec.ExeParams = apply + files;
        if (!RunOnce(exec))
            return;
    }
    FState.RefreshToolButtonClick();
    FState.Ui().ShowMessage(UiPort::MessageKind::Information,
                            QStringLiteral("MP3Gain has been run succesfully against file(s)."));
}

bool TToolCommands::ToWindowsPaths(QStringList& paths) {
    QStringList converted;
    if (!RunBatches(FWinePath, {QStringLiteral("-w")}, paths, {}, &converted))
        return false;
    if (converted.size() != paths.size()) {
        Fail(QStringLiteral("winepath did not convert every path."));
        return false;
    }
    paths = converted;
    return true;
}

void TToolCommands::RunMp3tag(const QStringList& parameters) {
    if (ArgumentBatches::Split({FMp3tagKelmAppExec.ExeName()}, parameters).size() > 1) {
        Fail(QStringLiteral("The %1 files are too many for one Mp3tag run. Nothing was done.")
                 .arg(parameters.size()));
        return;
    }
    FMp3tagKelmAppExec.ExeParams = parameters;
    RunOnce(FMp3tagKelmAppExec);
}

void TToolCommands::Mp3tagToolButtonClick() {
    if (FState.MainList().Count() == 0)
        return;
    if (!Prepare(FMp3tagKelmAppExec, ToolExecutables::Mp3tag(FState.Options())))
        return;
    const QString common = GetCommonPath();
    QStringList paths = common.isEmpty() ? FileArguments() : QStringList{common};
    if (!ToWindowsPaths(paths))
        return;
    if (!common.isEmpty())
        RunMp3tag({QStringLiteral("/fp:") + paths.first()});
    else if (paths.size() == 1)
        RunMp3tag({QStringLiteral("/fn:") + paths.first()});
    else
        RunMp3tag(paths);
}

void TToolCommands::Mp3tag2Click() {
    const TMainList& list = FState.MainList();
    if (list.SelectedCount() != 1)
        return;
    if (!Prepare(FMp3tagKelmAppExec, ToolExecutables::Mp3tag(FState.Options())))
        return;
    const int row = list.FirstSelected();
    QStringList paths{JoinPath(list.Cell(row, mcLocation), list.Cell(row, mcName))};
    if (ToWindowsPaths(paths))
        RunMp3tag({QStringLiteral("/fn:") + paths.first()});
}

#include "cli/ToolCliCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "ui/MainWindowState.h"
#include "ui/ToolCommands.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption AnalysisOnlyOption(
    QStringLiteral("dry-run"),
    QStringLiteral("run the check alone and change nothing (exit status 3 when it found "
                   "something to fix)"));

TCommandSyntax WithToolOptions(TCommandSyntax syntax) {
    syntax.Options.append(AnalysisOnlyOption);
    syntax.Options.append(QuietOption);
    return syntax;
}

} // namespace

TToolCliCommand::TToolCliCommand(TCliSession& session, TCommandSyntax syntax, TRun run,
                                 std::FILE* out, std::FILE* err)
    : TCliCommand(session, WithToolOptions(std::move(syntax)), out, err), FRun(std::move(run)) {}

ExitCode TToolCliCommand::RunTool(const QCommandLineParser& parser, const TRun& configure) {
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return UsageError(QStringLiteral("%1 needs at least one PATH").arg(Name()));
    const bool dryRun = parser.isSet(AnalysisOnlyOption);
    ApplyQuiet(parser, FSession);
    // A dry run answers every question with No, so nothing but the check runs.
    if (dryRun)
        FSession.CliUi().SetAnswer(CliUiPort::Answer::No);
    TMainWindowState& state =
        FSession.State(dryRun ? TCliSession::Mode::ReadOnly : TCliSession::Mode::ReadWrite);
    state.HandleCommandLine(paths);
    if (state.MainList().Count() == 0) {
        std::fputs("quenlor-cli: no MP3 file in the paths\n", FErr);
        return ExitCode::Failure;
    }
    TToolCommands& tools = state.Tools();
    if (configure)
        configure(tools);
    FRun(tools);
    // The window shows a report only when there is something to fix; here it is always shown.
    if (!tools.FixOffered()) {
        for (const QString& line : tools.Report())
            std::fprintf(FOut, "%s\n", line.toLocal8Bit().constData());
        std::fflush(FOut);
    }
    if (tools.Failed() || state.FailedFileCount() > 0)
        return ExitCode::Failure;
    return dryRun && tools.FixOffered() ? ExitCode::ChangesPending : ExitCode::Success;
}

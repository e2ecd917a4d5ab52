#include "cli/WritingCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "cli/PlanOutput.h"
#include "fixing/FilePlan.h"
#include "ui/MainWindowState.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption DryRunOption(
    QStringLiteral("dry-run"),
    QStringLiteral("change nothing: print the plan of every change instead (exit status 3 when "
                   "it holds one)"));
const QCommandLineOption FormatOption(QStringLiteral("format"),
                                      QStringLiteral("the plan as csv (the default) or json lines"),
                                      QStringLiteral("FORMAT"));

TCommandSyntax WithPlanOptions(TCommandSyntax syntax) {
    syntax.Options.append(DryRunOption);
    syntax.Options.append(FormatOption);
    syntax.Options.append(QuietOption);
    return syntax;
}

} // namespace

TWritingCommand::TWritingCommand(TCliSession& session, TCommandSyntax syntax, std::FILE* out,
                                 std::FILE* err)
    : TCliCommand(session, WithPlanOptions(std::move(syntax)), out, err) {}

QStringList TWritingCommand::OptionValueWords(const QString& option) const {
    return option == FormatOption.names().first() ? QStringList{"csv", "json"} : QStringList();
}

ExitCode TWritingCommand::RunOver(const QCommandLineParser& parser, const QStringList& paths,
                                  const std::function<void(TMainWindowState&)>& change) {
    return RunWork(parser, [&paths, &change](TMainWindowState& state) {
        state.HandleCommandLine(paths);
        change(state);
        return TWork::Done;
    });
}

ExitCode TWritingCommand::RunWork(const QCommandLineParser& parser,
                                  const std::function<TWork(TMainWindowState&)>& work) {
    const bool dryRun = parser.isSet(DryRunOption);
    TPlanFormat format = TPlanFormat::Csv;
    if (parser.isSet(FormatOption)) {
        const QString name = parser.value(FormatOption);
        if (!dryRun)
            return UsageError(QStringLiteral("--format goes with --dry-run"));
        if (name == u"json")
            format = TPlanFormat::Json;
        else if (name != u"csv")
            return UsageError(QStringLiteral("unknown format '%1': csv or json").arg(name));
    }
    const bool quiet = ApplyQuiet(parser, FSession);
    if (!dryRun) {
        TMainWindowState& state = FSession.State();
        const TWork done = work(state);
        if (done == TWork::Stopped)
            return ExitCode::Failure;
        const bool printed = PrintMainList(state, FOut, FErr, quiet);
        return printed && done == TWork::Done && state.FailedFileCount() == 0 ? ExitCode::Success
                                                                              : ExitCode::Failure;
    }
    TFilePlan plan;
    TMainWindowState& state = FSession.State(TCliSession::Mode::ReadOnly);
    state.SetPlan(&plan);
    const TWork done = work(state);
    state.SetPlan(nullptr);
    if (done == TWork::Stopped)
        return ExitCode::Failure;
    if (!PrintPlan(plan, format, FOut)) {
        std::fputs("quenlor-cli: the plan could not be written\n", FErr);
        return ExitCode::Failure;
    }
    if (plan.HasChanges())
        return ExitCode::ChangesPending;
    // An empty status: an error already reported ended the paths.
    return done == TWork::Done && state.FailedFileCount() == 0 && !state.StatusText().isEmpty()
               ? ExitCode::Success
               : ExitCode::Failure;
}

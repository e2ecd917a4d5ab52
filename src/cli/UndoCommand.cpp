#include "cli/UndoCommand.h"

#include "cli/CliSession.h"
#include "ui/UndoRuns.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption DryRunOption(
    QStringLiteral("dry-run"),
    QStringLiteral("change nothing: print what the undo would do (exit status 3 when it would "
                   "restore a file)"));

} // namespace

TUndoCommand::TUndoCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("undo"),
           {QStringLiteral("[RUN]")},
           QStringLiteral("undo the newest run that changed music files, or the run named"),
           QStringLiteral(
               "Every run that writes music files (fix, edit, tag and the window's\n"
               "commands) keeps a journal of what each file was. undo puts back every file\n"
               "of the newest run, or of RUN (as history names it), in reverse order: tags,\n"
               "name and modification time, byte for byte. The newer runs that changed the\n"
               "same files are undone first, newest first. A file changed since the run,\n"
               "gone, or whose old name is taken is left alone and named in the activity\n"
               "log; the exit status is then 1. Prints one line per file: the outcome, where\n"
               "the run left the file, and its old name. An undo is a run of its own and\n"
               "can be undone in turn.\n"),
           {DryRunOption}},
          out, err) {}

ExitCode TUndoCommand::Run(const QCommandLineParser& parser) {
    const QStringList args = parser.positionalArguments();
    if (args.size() > 1)
        return UsageError(QStringLiteral("undo takes at most one RUN"));
    const bool dryRun = parser.isSet(DryRunOption);
    TUndoRuns undo(
        FSession.State(dryRun ? TCliSession::Mode::ReadOnly : TCliSession::Mode::ReadWrite));
    const QList<TJournalRun> runs = undo.Runs();
    qsizetype chosen = args.isEmpty() && !runs.isEmpty() ? 0 : -1;
    for (qsizetype i = 0; chosen < 0 && !args.isEmpty() && i < runs.size(); ++i)
        if (runs[i].Id == args.first())
            chosen = i;
    if (chosen < 0) {
        std::fputs(
            args.isEmpty()
                ? "quenlor-cli: no run to undo\n"
                : qPrintable(
                      QStringLiteral("quenlor-cli: no run '%1' is kept\n").arg(args.first())),
            FErr);
        return ExitCode::Failure;
    }
    bool leftAlone = false;
    bool restores = false;
    for (const TUndoneFile& file : undo.Undo(runs, chosen, dryRun)) {
        leftAlone = leftAlone || file.LeftAlone();
        restores = restores || !file.LeftAlone();
        if (!PrintCsvLine({UndoOutcomeText(file), file.Path, file.Original}))
            return ExitCode::Failure;
    }
    if (dryRun && restores)
        return ExitCode::ChangesPending;
    return leftAlone ? ExitCode::Failure : ExitCode::Success;
}

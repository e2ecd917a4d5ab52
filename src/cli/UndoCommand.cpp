#include "cli/UndoCommand.h"

#include "cli/CliSession.h"
#include "export/CsvFormat.h"
#include "ui/UndoRuns.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption ListOption(
    QStringLiteral("list"),
    QStringLiteral("print the kept runs instead, newest first: run, start, operation, files"));
const QCommandLineOption DryRunOption(
    QStringLiteral("dry-run"),
    QStringLiteral("change nothing: print what the undo would do (exit status 3 when it would "
                   "restore a file)"));

bool Print(std::FILE* out, const QStringList& fields) {
    const QByteArray line = CsvFormat::Line(fields).toUtf8();
    return std::fwrite(line.constData(), 1, size_t(line.size()), out) == size_t(line.size());
}

} // namespace

TUndoCommand::TUndoCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("undo"),
           {QStringLiteral("[RUN]"), QStringLiteral("--list")},
           QStringLiteral("undo the newest run that changed music files, or the run named"),
           QStringLiteral(
               "Every run that writes music files (fix, edit, tag and the window's\n"
               "commands) keeps a journal of what each file was. undo puts back every file\n"
               "of the newest run, or of RUN (as --list names it), in reverse order: tags,\n"
               "name and modification time, byte for byte. A file changed since the run,\n"
               "gone, or whose old name is taken is left alone and named in the activity\n"
               "log; the exit status is then 1. Prints one line per file: the outcome, where\n"
               "the run left the file, and its old name. An undo is a run of its own and\n"
               "can be undone in turn.\n"),
           {ListOption, DryRunOption}},
          out, err) {}

ExitCode TUndoCommand::Run(const QCommandLineParser& parser) {
    const QStringList args = parser.positionalArguments();
    if (args.size() > 1)
        return UsageError(QStringLiteral("undo takes at most one RUN"));
    if (parser.isSet(ListOption) && (!args.isEmpty() || parser.isSet(DryRunOption)))
        return UsageError(QStringLiteral("--list takes neither RUN nor --dry-run"));
    const bool dryRun = parser.isSet(DryRunOption);
    TMainWindowState& state =
        FSession.State(dryRun || parser.isSet(ListOption) ? TCliSession::Mode::ReadOnly
                                                          : TCliSession::Mode::ReadWrite);
    TUndoRuns undo(state);
    const QList<TJournalRun> runs = undo.Runs();
    if (parser.isSet(ListOption)) {
        for (const TJournalRun& run : runs)
            if (!Print(FOut, {run.Id, run.Started.toLocalTime().toString(Qt::ISODate),
                              run.Operation, QString::number(run.Files.size())}))
                return ExitCode::Failure;
        return ExitCode::Success;
    }
    const TJournalRun* chosen = nullptr;
    for (const TJournalRun& run : runs)
        if (!chosen && (args.isEmpty() || run.Id == args.first()))
            chosen = &run;
    if (!chosen) {
        std::fputs(
            args.isEmpty()
                ? "quenlor-cli: no run to undo\n"
                : qPrintable(
                      QStringLiteral("quenlor-cli: no run '%1' is kept\n").arg(args.first())),
            FErr);
        return ExitCode::Failure;
    }
    const QList<TUndoneFile> files = undo.Undo(*chosen, dryRun);
    bool leftAlone = false;
    bool restores = false;
    for (const TUndoneFile& file : files) {
        leftAlone = leftAlone || file.LeftAlone();
        restores = restores || !file.LeftAlone();
        if (!Print(FOut, {UndoOutcomeText(file), file.Path, file.Original}))
            return ExitCode::Failure;
    }
    if (dryRun && restores)
        return ExitCode::ChangesPending;
    return leftAlone ? ExitCode::Failure : ExitCode::Success;
}

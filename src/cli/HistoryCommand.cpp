#include "cli/HistoryCommand.h"

#include "cli/CliSession.h"
#include "ui/UndoRuns.h"

#include <QCommandLineParser>

THistoryCommand::THistoryCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(session,
                  {QStringLiteral("history"),
                   {QString()},
                   QStringLiteral("print the kept runs that changed music files, newest first"),
                   QStringLiteral(
                       "Prints one CSV line per kept run, newest first: the run (as undo takes\n"
                       "it), its start, the operation, the number of files it changed, and\n"
                       "whether undo would put them back now (Yes, Partly or No; the newer runs\n"
                       "on the same files undone first). No file is changed.\n"),
                   {}},
                  out, err) {}

ExitCode THistoryCommand::Run(const QCommandLineParser& parser) {
    if (!parser.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("history takes no arguments"));
    TUndoRuns undo(FSession.State(TCliSession::Mode::ReadOnly));
    const QList<TJournalRun> runs = undo.Runs();
    for (qsizetype i = 0; i < runs.size(); ++i)
        if (!PrintCsvLine({runs[i].Id, runs[i].Started.toLocalTime().toString(Qt::ISODate),
                           runs[i].Operation, QString::number(runs[i].Files.size()),
                           TUndoRuns::Undoable(runs, i)}))
            return ExitCode::Failure;
    return ExitCode::Success;
}

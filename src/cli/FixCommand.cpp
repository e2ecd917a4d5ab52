#include "cli/FixCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "ui/MainWindowState.h"

#include <QCommandLineParser>

TFixCommand::TFixCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("fix"),
           {QStringLiteral("PATH...")},
           QStringLiteral("fix every file (tags written, files renamed) and print the list"),
           QStringLiteral(
               "Reads the paths as list does and fixes every row as the window's Fix does:\n"
               "clean tags written, the cover embedded when the options say so, the file\n"
               "renamed to its computed name (never over an existing file). Prints the\n"
               "list as CSV. A file that cannot be fixed is skipped and named in the\n"
               "activity log; the exit status is then 1.\n"),
           {}},
          out, err) {}

ExitCode TFixCommand::Run(const QCommandLineParser& parser) {
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return UsageError(QStringLiteral("fix needs at least one PATH"));
    TMainWindowState& state = FSession.State();
    state.HandleCommandLine(paths);
    state.FixToolButtonClick();
    const bool printed = PrintMainList(state, FOut, FErr);
    return printed && state.FailedFileCount() == 0 ? ExitCode::Success : ExitCode::Failure;
}

#include "cli/FixCommand.h"

#include "cli/CliSession.h"
#include "ui/MainWindowState.h"

#include <QCommandLineParser>

TFixCommand::TFixCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TWritingCommand(
          session,
          {QStringLiteral("fix"),
           {QStringLiteral("PATH...")},
           QStringLiteral("fix every file (tags written, files renamed) and print the list"),
           QStringLiteral(
               "Reads the paths as list does and fixes every row as the window's Fix does:\n"
               "clean tags written, the cover embedded when the options say so, the file\n"
               "renamed to its computed name (never over an existing file). Prints the\n"
               "list as CSV. A file that cannot be fixed is skipped and named in the\n"
               "activity log; the exit status is then 1. With --dry-run nothing is written\n"
               "and the plan is printed: one line per renamed file, changed tag field or\n"
               "file the fix would have to skip.\n"),
           {}},
          out, err) {}

ExitCode TFixCommand::Run(const QCommandLineParser& parser) {
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return UsageError(QStringLiteral("fix needs at least one PATH"));
    return RunOver(parser, paths, [](TMainWindowState& state) { state.FixToolButtonClick(); });
}

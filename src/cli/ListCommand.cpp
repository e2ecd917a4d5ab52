#include "cli/ListCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "ui/MainWindowState.h"

#include <QCommandLineParser>

TListCommand::TListCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("list"),
           {QStringLiteral("PATH...")},
           QStringLiteral("print the list of MP3 files as CSV; no file is changed"),
           QStringLiteral("Reads MP3 files, playlists (.m3u), shortcuts (.lnk) or a folder as the\n"
                          "desktop program reads its arguments (the first folder ends the paths),\n"
                          "prints the list as CSV on stdout and the status text on stderr.\n"),
           {QuietOption}},
          out, err) {}

ExitCode TListCommand::Run(const QCommandLineParser& parser) {
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return UsageError(QStringLiteral("list needs at least one PATH"));
    const bool quiet = ApplyQuiet(parser, FSession);
    TMainWindowState& state = FSession.ReadingState();
    state.HandleCommandLine(paths);
    return PrintMainList(state, FOut, FErr, quiet) ? ExitCode::Success : ExitCode::Failure;
}

#include "cli/MP3GainCommand.h"

#include "ui/ToolCommands.h"

TMP3GainCommand::TMP3GainCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TToolCliCommand(
          session,
          {QStringLiteral("mp3gain"),
           {QStringLiteral("PATH...")},
           QStringLiteral("analyse the files' loudness with MP3Gain; level them with --yes"),
           QStringLiteral(
               "Reads the paths as list does and runs MP3Gain's analysis over every file,\n"
               "as the window's MP3Gain does; its report goes to stdout. With --yes, when\n"
               "the album gain calls for more than one decibel, the gain is applied (the\n"
               "track gain for one file, the album gain for several) and the rows are\n"
               "refreshed. Exit status 1 when MP3Gain cannot be started or fails.\n"),
           {}},
          [](TToolCommands& tools) { tools.MP3GainToolButtonClick(); }, out, err) {}

ExitCode TMP3GainCommand::Run(const QCommandLineParser& parser) {
    return RunTool(parser, {});
}

#include "cli/MP3valCommand.h"

#include "ui/ToolCommands.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption
    KeepBackupsOption(QStringLiteral("keep-backups"),
                      QStringLiteral("keep the backup MP3val makes of every file it repairs"));

} // namespace

TMP3valCommand::TMP3valCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TToolCliCommand(
          session,
          {QStringLiteral("mp3val"),
           {QStringLiteral("PATH...")},
           QStringLiteral("check the files' MPEG frames with MP3val; repair them with --yes"),
           QStringLiteral(
               "Reads the paths as list does and runs MP3val over every file, as the\n"
               "window's MP3val does; its report goes to stdout. With --yes the files it\n"
               "warns about are repaired (their backups deleted unless --keep-backups),\n"
               "the rows refreshed, and the rows fixed again. Exit status 1 when MP3val\n"
               "cannot be started or fails.\n"),
           {KeepBackupsOption}},
          [](TToolCommands& tools) { tools.MP3valToolButtonClick(); }, out, err) {}

ExitCode TMP3valCommand::Run(const QCommandLineParser& parser) {
    const bool keep = parser.isSet(KeepBackupsOption);
    return RunTool(parser, [keep](TToolCommands& tools) { tools.SetDeleteBackupFiles(!keep); });
}

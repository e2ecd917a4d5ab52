#include "cli/ExportCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "export/ExportFile.h"
#include "ui/ExportCommand.h"
#include "ui/MainWindowState.h"

#include <QCommandLineParser>

TExportCliCommand::TExportCliCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("export"),
           {QStringLiteral("FILE PATH...")},
           QStringLiteral("write the list to FILE as CSV (.csv) or as a playlist (.m3u)"),
           QStringLiteral(
               "Reads the paths as list does and exports the list as the window's Export\n"
               "does. FILE's extension picks the format: .csv writes the CSV that list\n"
               "prints, .m3u a playlist in the form the options ask for (extended or plain,\n"
               "absolute or relative entries). An existing CSV file is kept as FILE.~csv.\n"
               "The count goes to stderr; a file that cannot be written exits with 1.\n"),
           {QuietOption}},
          out, err) {}

ExitCode TExportCliCommand::Run(const QCommandLineParser& parser) {
    QStringList paths = parser.positionalArguments();
    if (paths.size() < 2)
        return UsageError(QStringLiteral("export needs a FILE and at least one PATH"));
    const QString file = paths.takeFirst();
    const QString extension = ExportFile::Extension(file).toLower();
    TExportCommand::TFormat format = TExportCommand::TFormat::None;
    if (extension == u".csv")
        format = TExportCommand::TFormat::Csv;
    else if (extension == u".m3u")
        format = TExportCommand::TFormat::M3U;
    else
        return UsageError(QStringLiteral("export writes a .csv or an .m3u FILE"));
    ApplyQuiet(parser, FSession);
    TMainWindowState& state = FSession.ReadingState();
    state.HandleCommandLine(paths);
    // An error already reported (a shortcut that leads nowhere) ended the paths.
    if (state.StatusText().isEmpty())
        return ExitCode::Failure;
    TExportCommand command(state);
    command.Export(file, format);
    return command.Failed() ? ExitCode::Failure : ExitCode::Success;
}

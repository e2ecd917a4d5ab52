#include "cli/UpdateDataCommand.h"

#include "cli/CliSession.h"
#include "ui/DataFileUpdate.h"

#include <QCommandLineParser>

TUpdateDataCommand::TUpdateDataCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("update-data"),
           {QString()},
           QStringLiteral("refresh the data files from the sources of the update list"),
           QStringLiteral(
               "Fetches every entry of the update list (Quenlor.def) that is checked on the\n"
               "Update Data Files page of the options, over HTTP(S) with the proxy of the\n"
               "options or from a file source, and replaces its data file when the content\n"
               "differs; the old file is kept with \"~\" after the dot (MP3Genres.~def).\n"
               "Certificates are verified. Exits with 1 when an entry could not be updated.\n"),
           {}},
          out, err) {}

ExitCode TUpdateDataCommand::Run(const QCommandLineParser& parser) {
    if (!parser.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("update-data takes no arguments"));
    TMainWindowState& state = FSession.State();
    TDataFileUpdate update(FSession.Ui(), state.Options(), state.UpdateDataFilesKelmFlatFile(),
                           state.ReferenceData());
    CliUiPort& ui = FSession.CliUi();
    update.OnViewChanged = [&update, &ui] {
        const TTransferView& view = update.View();
        if (view.CancelEnabled)
            ui.ShowProgressText(view.Status + QStringLiteral(": ") + view.File +
                                QStringLiteral(", ") + view.Transfer + QStringLiteral(", ") +
                                view.Speed);
    };
    return update.Run() ? ExitCode::Success : ExitCode::Failure;
}

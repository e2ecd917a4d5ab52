#include "cli/ListCommand.h"

#include "cli/CliSession.h"
#include "cli/MainListCsv.h"
#include "ui/MainWindowState.h"

int TListCommand::Run(const QStringList& paths) {
    if (paths.isEmpty()) {
        std::fputs("quenlor-cli: list needs at least one PATH\n", FErr);
        return 2;
    }
    TMainWindowState& state = FSession.State();
    state.HandleCommandLine(paths);
    const bool written = WriteMainListCsv(state.MainList(), FOut) && std::fflush(FOut) == 0;
    if (!written) {
        std::fputs("quenlor-cli: the list could not be written\n", FErr);
        return 1;
    }
    // The paths always end with the status recomputed, unless an error (already reported, a
    // shortcut that leads nowhere) ended them early.
    if (state.StatusText().isEmpty())
        return 1;
    std::fprintf(FErr, "%s\n", state.StatusText().toUtf8().constData());
    return 0;
}

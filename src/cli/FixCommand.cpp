#include "cli/FixCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "ui/MainWindowState.h"

int TFixCommand::Run(const QStringList& paths) {
    if (paths.isEmpty()) {
        std::fputs("quenlor-cli: fix needs at least one PATH\n", FErr);
        return 2;
    }
    TMainWindowState& state = FSession.State();
    state.HandleCommandLine(paths);
    state.FixToolButtonClick();
    const bool printed = PrintMainList(state, FOut, FErr);
    return printed && state.FailedFileCount() == 0 ? 0 : 1;
}

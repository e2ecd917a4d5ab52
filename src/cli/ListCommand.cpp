#include "cli/ListCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "ui/MainWindowState.h"

int TListCommand::Run(const QStringList& paths) {
    if (paths.isEmpty()) {
        std::fputs("quenlor-cli: list needs at least one PATH\n", FErr);
        return 2;
    }
    TMainWindowState& state = FSession.State();
    state.HandleCommandLine(paths);
    return PrintMainList(state, FOut, FErr) ? 0 : 1;
}

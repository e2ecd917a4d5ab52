#pragma once

#include "cli/CliUiPort.h"
#include "ui/MainWindowState.h"

#include <optional>

// The program as one command-line run sees it: started up as the desktop program starts (data
// folder seeded, data files and learned data loaded, options applied) the first time a command
// needs it, and shut down as the desktop program shuts down (learned data merged and saved)
// when the run ends. A command that fails on its arguments never starts it, so it writes nothing.
class TCliSession {
public:
    explicit TCliSession(CliUiPort& ui) : FUi(ui) {}
    ~TCliSession() {
        if (FState)
            FState->Shutdown();
    }
    // Shuts the program down for a process that ends right after: everything is saved, and the
    // rows and records of a large library are left to go with the process (freeing them one by
    // one takes longer than the rest of the shut-down).
    void ShutDownForExit() {
        if (FState)
            FState->Shutdown(TMainWindowState::TRowsAtShutdown::LeftToProcessEnd);
    }
    TCliSession(const TCliSession&) = delete;
    TCliSession& operator=(const TCliSession&) = delete;

    // ReadOnly: a dry run's session, which writes none of the program's own files.
    enum class Mode { ReadWrite, ReadOnly };

    UiPort& Ui() { return FUi; }
    CliUiPort& CliUi() { return FUi; }
    // Started in the mode of the first call.
    TMainWindowState& State(Mode mode = Mode::ReadWrite) {
        if (!FState) {
            TMainWindowPaths paths = TMainWindowPaths::Defaults();
            paths.ReadOnly = mode == Mode::ReadOnly;
            FState.emplace(FUi, paths);
            FState->Startup();
        }
        return *FState;
    }
    // The program for a command that reads the library and never fixes it: no tag bytes are
    // kept for a fix, so the memory stays that of the rows.
    TMainWindowState& ReadingState() {
        TMainWindowState& state = State();
        state.KeptTagBytes().SetBudget(0);
        return state;
    }

private:
    CliUiPort& FUi;
    std::optional<TMainWindowState> FState;
};

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
    TCliSession(const TCliSession&) = delete;
    TCliSession& operator=(const TCliSession&) = delete;

    UiPort& Ui() { return FUi; }
    TMainWindowState& State() {
        if (!FState) {
            FState.emplace(FUi);
            FState->Startup();
        }
        return *FState;
    }

private:
    CliUiPort& FUi;
    std::optional<TMainWindowState> FState;
};

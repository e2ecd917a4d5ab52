#pragma once

#include "cli/Command.h"

// history: the kept runs that changed music files, newest first, as CSV.
class THistoryCommand : public TCliCommand {
public:
    explicit THistoryCommand(TCliSession& session, std::FILE* out = stdout,
                             std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

#pragma once

#include "cli/Command.h"

// quenlor-cli update-data
// Runs the data file update of the window's Update Data Files command with the stored options:
// the checked entries of the update list are fetched and replace their data files when they
// differ. Progress on stderr when it is a terminal; the final message as "Information:" or
// "Error:"; exit 1 when an entry failed.
class TUpdateDataCommand : public TCliCommand {
public:
    explicit TUpdateDataCommand(TCliSession& session, std::FILE* out = stdout,
                                std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

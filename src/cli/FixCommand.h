#pragma once

#include "cli/WritingCommand.h"

// quenlor-cli fix PATH...
// Reads the paths as the list command does, fixes every row as the toolbar's Fix does (tags
// written, cover embedded when the options ask, files renamed to their computed names) and
// prints the list as CSV. Exit status 1 when some file could not be fixed (stderr and the
// activity log name them), 2 for a usage error. --dry-run prints the plan instead.
class TFixCommand : public TWritingCommand {
public:
    explicit TFixCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

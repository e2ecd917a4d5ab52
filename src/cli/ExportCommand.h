#pragma once

#include "cli/Command.h"

// quenlor-cli export FILE PATH...
// Reads the paths as list does and writes the list to FILE: CSV for a ".csv" name (the very
// bytes list prints), a playlist in the form the options ask for with ".m3u". The count message
// goes to stderr; a file that cannot be written gives an error and exit status 1.
class TExportCliCommand : public TCliCommand {
public:
    explicit TExportCliCommand(TCliSession& session, std::FILE* out = stdout,
                               std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

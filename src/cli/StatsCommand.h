#pragma once

#include "cli/Command.h"

// quenlor-cli stats PATH...
// Reads the paths as list does, counts the rows as the window's Statistics does and prints the
// totals, then the artists, years and genres tables, each as its Export item writes it.
class TStatsCommand : public TCliCommand {
public:
    explicit TStatsCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

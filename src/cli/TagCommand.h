#pragma once

#include "cli/WritingCommand.h"

// quenlor-cli tag FILE [--artist V] [--title V] [--track N] [--album V] [--year N] [--genre V]
//                      [--comment V] [--cover IMAGE | --no-cover]
// The properties dialog without the window: its fields filled from the file's row, the values
// given replacing theirs, then confirmed as OK confirms them (the same checks, the same write).
// Prints the row as the list command does. Exit status 1 when the values are refused or the
// file cannot be written (nothing is then changed), 2 for a usage error. --dry-run prints the
// plan instead.
class TTagCommand : public TWritingCommand {
public:
    explicit TTagCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

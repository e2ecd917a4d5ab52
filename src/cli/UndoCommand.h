#pragma once

#include "cli/Command.h"

// undo: lists the kept runs that changed music files, or puts back every file of one of them.
class TUndoCommand : public TCliCommand {
public:
    explicit TUndoCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

#pragma once

#include "cli/Command.h"

// undo: puts back every file of a kept run that changed music files.
class TUndoCommand : public TCliCommand {
public:
    explicit TUndoCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

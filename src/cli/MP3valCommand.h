#pragma once

#include "cli/ToolCliCommand.h"

// quenlor-cli mp3val [--keep-backups] PATH...: MP3val checks the files and, with --yes,
// repairs those it warns about.
class TMP3valCommand : public TToolCliCommand {
public:
    explicit TMP3valCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

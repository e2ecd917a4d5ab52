#pragma once

#include "cli/ToolCliCommand.h"

// quenlor-cli mp3gain PATH...: MP3Gain analyses the files' loudness and, with --yes, levels
// them.
class TMP3GainCommand : public TToolCliCommand {
public:
    explicit TMP3GainCommand(TCliSession& session, std::FILE* out = stdout,
                             std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

#pragma once

#include "cli/Command.h"

// quenlor-cli list PATH...
// Starts up as the desktop program does, handles the paths as its command-line arguments
// (MP3 files, playlists, shortcuts; a folder is browsed and ends them), prints the main list as
// CSV on stdout and the status text on stderr, and shuts down (learned data saved). No music
// file is ever written.
class TListCommand : public TCliCommand {
public:
    explicit TListCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

#pragma once

#include <QStringList>
#include <cstdio>

class TCliSession;

// quenlor-cli list PATH...
// Starts up as the desktop program does, handles the paths as its command-line arguments
// (MP3 files, playlists, shortcuts; a folder is browsed and ends them), prints the main list as
// CSV on stdout and the status text on stderr, and shuts down (learned data saved). No music
// file is ever written.
class TListCommand {
public:
    explicit TListCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr)
        : FSession(session), FOut(out), FErr(err) {}

    int Run(const QStringList& paths);

private:
    TCliSession& FSession;
    std::FILE* FOut;
    std::FILE* FErr;
};

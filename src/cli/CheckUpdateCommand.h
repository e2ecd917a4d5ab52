#pragma once

#include "cli/Command.h"

// quenlor-cli check-update [--download]
// Asks the maker's update description file whether a newer version exists, as Check for Updates
// does; prints the advertised version and the release notes, or the message that there is none.
// --download fetches the installer into the download folder, verifies it against the advertised
// digest and prints its path; it never starts it.
class TCheckUpdateCommand : public TCliCommand {
public:
    explicit TCheckUpdateCommand(TCliSession& session, std::FILE* out = stdout,
                                 std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

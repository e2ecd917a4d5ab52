#pragma once

#include "cli/Command.h"

#include <functional>

class TToolCommands;

// quenlor-cli mp3val / mp3gain: the paths read as list reads them, then the outside tool's
// command run as the window runs it. The tool's report goes to stdout; the window's questions
// (fix what it found, fix the rows again) go to stderr and are answered by --yes (--no, the
// default, only reports). --dry-run runs the analysis alone, changes nothing and answers 3 when
// there is something to fix.
class TToolCliCommand : public TCliCommand {
protected:
    using TRun = std::function<void(TToolCommands&)>;
    // The syntax gets --dry-run and --quiet.
    TToolCliCommand(TCliSession& session, TCommandSyntax syntax, TRun run, std::FILE* out,
                    std::FILE* err);
    // Runs the command over the paths; configure sets the command's own options first.
    ExitCode RunTool(const QCommandLineParser& parser, const TRun& configure);

private:
    TRun FRun;
};

#pragma once

#include "cli/Command.h"

#include <functional>

class TMainWindowState;

// A command that writes music files. Besides its own options it takes --quiet and --dry-run, which
// runs the very same change through a plan instead of the disk and prints the plan (as CSV, or JSON
// lines with --format json), and writes nothing at all: no music file, no settings, no learned
// data, no log.
class TWritingCommand : public TCliCommand {
protected:
    // The syntax gets the options --dry-run and --format.
    TWritingCommand(TCliSession& session, TCommandSyntax syntax, std::FILE* out, std::FILE* err);

    QStringList OptionValueWords(const QString& option) const override;

    // How the work of a command went.
    enum class TWork {
        Stopped, // an error was reported before any change: nothing is printed, exit status 1
        Failed,  // the work was refused or failed: printed as Done, exit status 1 (or 3)
        Done,
    };

    // Runs work (which reads its paths into the list and changes files) and prints the list as
    // list does: exit status 1 when some file could not be written. With --dry-run the work runs
    // through a plan and the plan is printed: exit status 3 when it holds a change, else 1 when a
    // file would have to be skipped, else 0. A --format without --dry-run, or an unknown format,
    // is a usage error.
    ExitCode RunWork(const QCommandLineParser& parser,
                     const std::function<TWork(TMainWindowState&)>& work);
    // The work of fix and edit: the paths read as list reads them, then change.
    ExitCode RunOver(const QCommandLineParser& parser, const QStringList& paths,
                     const std::function<void(TMainWindowState&)>& change);
};

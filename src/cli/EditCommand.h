#pragma once

#include "cli/WritingCommand.h"

// quenlor-cli edit OPERATION [VALUE] PATH...
// Reads the paths as the list command does, selects every row, runs one edit of the list's
// context menu over them and prints the list as CSV. The operations:
//   clear-comments, clear-cover-art, clear-genre, clear-title-suffix, clear-track-number,
//   lowercase-title, replace-brackets, embed-cover-art, add-suffix VALUE, set-genre VALUE.
// Exit status 1 when some file could not be changed, 2 for a usage error. --dry-run prints
// the plan instead.
class TEditCommand : public TWritingCommand {
public:
    explicit TEditCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

    // The operation names, in the order the usage text lists them.
    static QStringList Operations();

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
    QStringList ArgumentWords(const QStringList& positional) const override {
        return positional.isEmpty() ? Operations() : QStringList();
    }
};

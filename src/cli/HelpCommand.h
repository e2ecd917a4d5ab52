#pragma once

#include "cli/Command.h"

#include <memory>
#include <vector>

// quenlor-cli help [COMMAND]
// Prints the program's help, or one command's, on stdout.
class THelpCommand : public TCliCommand {
public:
    explicit THelpCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

    // The program's help: its own options, then every command of the table with its summary.
    static QString ProgramHelp(const std::vector<std::unique_ptr<TCliCommand>>& commands);

protected:
    QStringList ArgumentWords(const QStringList& positional) const override;
    ExitCode Run(const QCommandLineParser& parser) override;
};

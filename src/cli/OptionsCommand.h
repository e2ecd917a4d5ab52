#pragma once

#include "cli/Command.h"

// quenlor-cli options list | get NAME | set NAME VALUE | reset
// Reads and writes the same settings store as the desktop program. Names are matched without
// regard to case; check list items are named "LIST[ITEM]". Exit codes: 0 done, 1 failed,
// 2 usage error (unknown name, value outside the option's kind or range).
class TOptionsCommand : public TCliCommand {
public:
    explicit TOptionsCommand(TCliSession& session, std::FILE* out = stdout,
                             std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
    // An "Error: " message, then the usage and what NAME may be.
    ExitCode UsageError(const QString& message) override;
    // The verbs, then the option names after get and set.
    QStringList ArgumentWords(const QStringList& positional) const override;

private:
    ExitCode List();
    ExitCode Get(const QString& name);
    ExitCode Set(const QString& name, const QString& value);
    ExitCode Reset();
    void Print(const QString& line);
};

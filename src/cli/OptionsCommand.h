#pragma once

#include "cli/CliCommand.h"

// quenlor-cli options list | get NAME | set NAME VALUE | reset
// Reads and writes the same settings store as the desktop program. Names are matched without
// regard to case; check list items are named "LIST[ITEM]". Exit codes: 0 done, 1 failed,
// 2 usage error (unknown name, value outside the option's kind or range).
class TOptionsCommand : public TCliCommand {
public:
    static const char Usage[];

    using TCliCommand::TCliCommand;

    int Run(const QStringList& args) override;

private:
    int List();
    int Get(const QString& name);
    int Set(const QString& name, const QString& value);
    int Reset();
    int UsageError(const QString& message);
    void Print(const QString& line);
};

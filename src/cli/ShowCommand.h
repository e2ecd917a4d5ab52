#pragma once

#include "cli/Command.h"

// quenlor-cli show [--format text|json] FILE
// Prints what the properties dialog shows for the file: one "Caption: value" line per field in
// the dialog's order, then the front cover ("Cover Art: MIME WIDTHxHEIGHT, N bytes", "Cover Art:
// MIME, N bytes, cannot be shown" or "Cover Art: none"); or all of it as one JSON object. No
// music file is changed.
class TShowCommand : public TCliCommand {
public:
    explicit TShowCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr);

protected:
    ExitCode Run(const QCommandLineParser& parser) override;
};

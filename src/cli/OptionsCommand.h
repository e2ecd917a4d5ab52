#pragma once

#include <QStringList>
#include <cstdio>

class TCliSession;

// quenlor-cli options list | get NAME | set NAME VALUE | reset
// Reads and writes the same settings store as the desktop program. Names are matched without
// regard to case; check list items are named "LIST[ITEM]". Exit codes: 0 done, 1 failed,
// 2 usage error (unknown name, value outside the option's kind or range).
class TOptionsCommand {
public:
    static const char Usage[];

    explicit TOptionsCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr)
        : FSession(session), FOut(out), FErr(err) {}

    int Run(const QStringList& args);

private:
    int List();
    int Get(const QString& name);
    int Set(const QString& name, const QString& value);
    int Reset();
    int UsageError(const QString& message);
    void Print(const QString& line);

    TCliSession& FSession;
    std::FILE* FOut;
    std::FILE* FErr;
};

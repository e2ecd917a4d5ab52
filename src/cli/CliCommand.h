#pragma once

#include <QStringList>
#include <cstdio>

class TCliSession;

// One command of quenlor-cli: it reads its arguments, uses the session's program, prints its
// result on out and its complaints on err, and answers the exit status (0 done, 1 failed,
// 2 usage error).
class TCliCommand {
public:
    explicit TCliCommand(TCliSession& session, std::FILE* out = stdout, std::FILE* err = stderr)
        : FSession(session), FOut(out), FErr(err) {}
    virtual ~TCliCommand() = default;
    virtual int Run(const QStringList& args) = 0;

protected:
    TCliSession& FSession;
    std::FILE* FOut;
    std::FILE* FErr;
};

#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QStringList>
#include <cstdio>

class QCommandLineParser;
class TCliSession;

// What a run of quenlor-cli answers. Scripts test these numbers: never renumber them.
enum class ExitCode : int {
    Success = 0,        // done (a plan with nothing to change included)
    Failure = 1,        // a file that could not be written, an input that could not be read
    Usage = 2,          // wrong arguments: nothing was read or written
    ChangesPending = 3, // --dry-run: the plan holds at least one change
};

// How a command is called, as its help, the command list and the completion show it.
struct TCommandSyntax {
    QString Name;          // the word after the program's options, "list"
    QStringList Arguments; // one entry per form, "PATH..." (options has four)
    QString Summary;       // one line for the command list
    QString Description;   // the rest of "COMMAND --help", lines of at most 80 characters
    QList<QCommandLineOption> Options; // besides -h/--help, which every command has
};

// One command of quenlor-cli.
//
// Adding a command: a class TFooCommand : public TCliCommand in FooCommand.h/.cpp whose
// constructor passes its TCommandSyntax, and whose Run reads the parsed options and positional
// arguments, prints its result on FOut and its complaints on FErr, and answers an ExitCode;
// then one row in CommandTable.cpp. Parsing, the strict rejection of unknown options, "--",
// --help and the usage texts come from here: an argument error found in Run goes through
// UsageError, before FSession.State() is touched, so that a wrong call reads and writes nothing.
class TCliCommand {
public:
    TCliCommand(TCliSession& session, TCommandSyntax syntax, std::FILE* out = stdout,
                std::FILE* err = stderr);
    virtual ~TCliCommand() = default;
    TCliCommand(const TCliCommand&) = delete;
    TCliCommand& operator=(const TCliCommand&) = delete;

    const TCommandSyntax& Syntax() const { return FSyntax; }
    const QString& Name() const { return FSyntax.Name; }
    // "Usage: ..." lines, the description and the options, as COMMAND --help prints them.
    QString Help() const;
    // The usage lines alone, "Usage: quenlor-cli [--yes | --no] NAME ...".
    QString Usage() const;

    // Parses the arguments after the command's name and runs the command; an unknown option or
    // an option without its value prints the usage on FErr and answers ExitCode::Usage.
    ExitCode Execute(const QStringList& args);

    // What a shell completion offers after typed (the words after the command's name, the one
    // being completed left out): the values of the option typed last when it takes one, else
    // the command's own words for its next argument and its options ("--" ends those).
    QStringList CompletionWords(const QStringList& typed) const;

protected:
    virtual ExitCode Run(const QCommandLineParser& parser) = 0;
    // Prints "quenlor-cli: MESSAGE" and the usage on FErr; answers ExitCode::Usage.
    virtual ExitCode UsageError(const QString& message);
    // Prints one CSV line (CR LF ended) on FOut; false when it could not be written.
    bool PrintCsvLine(const QStringList& fields);
    // The words that may stand as the next argument after the positional ones given; none where
    // a path or a free value goes.
    virtual QStringList ArgumentWords(const QStringList&) const { return {}; }
    // The values an option (by its first name) may take; none for a free value.
    virtual QStringList OptionValueWords(const QString&) const { return {}; }

    TCliSession& FSession;
    std::FILE* FOut;
    std::FILE* FErr;

private:
    TCommandSyntax FSyntax;
};

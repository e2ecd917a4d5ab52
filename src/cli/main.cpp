#include "cli/CliSession.h"
#include "cli/CliUiPort.h"
#include "cli/CommandTable.h"
#include "cli/Completion.h"
#include "cli/HelpCommand.h"
#include "cli/ManPage.h"
#include "support/LargePages.h"
#include "ui/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

int Exit(ExitCode code) {
    return static_cast<int>(code);
}

int UsageError(const QString& message, const std::vector<std::unique_ptr<TCliCommand>>& commands) {
    if (!message.isEmpty())
        std::fprintf(stderr, "quenlor-cli: %s\n", message.toUtf8().constData());
    std::fputs(THelpCommand::ProgramHelp(commands).toUtf8().constData(), stderr);
    return Exit(ExitCode::Usage);
}

// Ends the process once a command has run: the program shut down (everything saved), the
// progress line erased, the output flushed. What is left to free goes with the process.
[[noreturn]] void EndRun(TCliSession& session, CliUiPort& ui, ExitCode code) {
    session.ShutDownForExit();
    ui.EndProgress();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(Exit(code));
}

} // namespace

int main(int argc, char* argv[]) {
    PreferLargePagesForHeap();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varnholm"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessaly"));

    // The program's own options come before the command; everything from the command on is the
    // command's to parse.
    const QCommandLineOption yes(QStringLiteral("yes"));
    const QCommandLineOption no(QStringLiteral("no"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    // For the completion script and the build, left out of the help.
    const QCommandLineOption complete(QStringLiteral("complete"));
    const QCommandLineOption man(QStringLiteral("man"));
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOptions({yes, no, help, version, complete, man});

    // The session starts the program only when a command first needs it.
    CliUiPort ui(CliUiPort::Answer::Unset);
    // Progress only where a person watches: a script's stderr stays as it always was.
    ui.SetProgressShown(isatty(STDERR_FILENO) == 1);
    TCliSession session(ui);
    const auto commands = MakeCommands(session);

    if (!parser.parse(QCoreApplication::arguments()))
        return UsageError(parser.errorText(), commands);
    if (parser.isSet(help)) {
        std::fputs(THelpCommand::ProgramHelp(commands).toUtf8().constData(), stdout);
        return Exit(ExitCode::Success);
    }
    if (parser.isSet(complete)) {
        for (const QString& word : ProgramCompletionWords(commands, parser.positionalArguments()))
            std::printf("%s\n", word.toUtf8().constData());
        return Exit(ExitCode::Success);
    }
    if (parser.isSet(man)) {
        std::fputs(ManPage(commands).toUtf8().constData(), stdout);
        return Exit(ExitCode::Success);
    }
    if (parser.isSet(version)) {
        std::printf("quenlor-cli (Varnholm) %s\n", qPrintable(VersionTextWithBuild()));
        return Exit(ExitCode::Success);
    }
    // The last of --yes and --no counts.
    for (const QString& name : parser.optionNames())
        if (name == yes.names().first() || name == no.names().first())
            ui.SetAnswer(name == yes.names().first() ? CliUiPort::Answer::Yes
                                                     : CliUiPort::Answer::No);

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return UsageError({}, commands);
    const QString name = args.takeFirst();
    TCliCommand* command = FindCommand(commands, name);
    if (!command)
        return UsageError(QStringLiteral("unknown command '%1'").arg(name), commands);
    EndRun(session, ui, command->Execute(args));
}

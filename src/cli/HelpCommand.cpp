#include "cli/HelpCommand.h"

#include "cli/CommandTable.h"

#include <QCommandLineParser>

namespace {

constexpr qsizetype SummaryColumn = 16;

const char ProgramHead[] = "Usage: quenlor-cli [--yes | --no] COMMAND [OPTIONS] [ARGS...]\n"
                           "\n"
                           "Keeps an MP3 library in order without the desktop window.\n"
                           "\n"
                           "Options:\n"
                           "  --yes, --no   answer every question of the program with Yes or No\n"
                           "                (without either, questions are answered No)\n"
                           "  -h, --help    show this text\n"
                           "  --version     show the program's version\n"
                           "\n"
                           "Commands:\n";

const char ProgramTail[] =
    "\n"
    "\"quenlor-cli help COMMAND\" or \"quenlor-cli COMMAND --help\" shows a command's\n"
    "usage and options; \"--\" ends the options, so that a path may begin with \"-\".\n"
    "\n"
    "Exit status: 0 success, 1 failure (a file could not be written or an input\n"
    "could not be read; the activity log names each such file), 2 usage error\n"
    "(nothing was read or written), 3 a --dry-run plan that holds changes.\n";

} // namespace

THelpCommand::THelpCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(session,
                  {QStringLiteral("help"),
                   {QStringLiteral("[COMMAND]")},
                   QStringLiteral("show the program's help or one command's usage"),
                   {},
                   {}},
                  out, err) {}

QString THelpCommand::ProgramHelp(const std::vector<std::unique_ptr<TCliCommand>>& commands) {
    QString text = QString::fromLatin1(ProgramHead);
    for (const auto& command : commands) {
        const TCommandSyntax& syntax = command->Syntax();
        const QString call = QStringLiteral("  ") + syntax.Name + u' ' +
                             syntax.Arguments.join(QStringLiteral(" | "));
        text += call.size() < SummaryColumn ? call.leftJustified(SummaryColumn)
                                            : call + u'\n' + QString(SummaryColumn, u' ');
        text += syntax.Summary + u'\n';
    }
    return text + QString::fromLatin1(ProgramTail);
}

QStringList THelpCommand::ArgumentWords(const QStringList& positional) const {
    QStringList names;
    if (positional.isEmpty())
        for (const auto& command : MakeCommands(FSession))
            names.append(command->Name());
    return names;
}

ExitCode THelpCommand::Run(const QCommandLineParser& parser) {
    const QStringList args = parser.positionalArguments();
    if (args.size() > 1)
        return UsageError(QStringLiteral("help takes at most one COMMAND"));
    const auto commands = MakeCommands(FSession);
    if (args.isEmpty()) {
        std::fputs(ProgramHelp(commands).toUtf8().constData(), FOut);
        return ExitCode::Success;
    }
    const TCliCommand* command = FindCommand(commands, args.first());
    if (!command)
        return UsageError(QStringLiteral("unknown command '%1'").arg(args.first()));
    std::fputs(command->Help().toUtf8().constData(), FOut);
    return ExitCode::Success;
}

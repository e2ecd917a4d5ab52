#include "cli/CliSession.h"
#include "cli/CliUiPort.h"
#include "cli/EditCommand.h"
#include "cli/FixCommand.h"
#include "cli/ListCommand.h"
#include "cli/OptionsCommand.h"
#include "ui/Version.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

const char Usage[] =
    "Usage: quenlor-cli [--yes | --no] COMMAND [ARGS...]\n"
    "\n"
    "Keeps an MP3 library in order without the desktop window.\n"
    "\n"
    "Options:\n"
    "  --yes, --no   answer every question of the program with Yes or No\n"
    "                (without either, questions are answered No)\n"
    "  --help        show this text\n"
    "  --version     show the program's version\n"
    "\n"
    "Commands:\n"
    "  list PATH...  read MP3 files, playlists or a folder (the first folder ends\n"
    "                the paths) and print the list as CSV; no file is changed\n"
    "  fix PATH...   read the paths as list does, fix every row (tags written,\n"
    "                files renamed to their computed names) and print the list\n"
    "  edit OPERATION [VALUE] PATH...\n"
    "                read the paths as list does, run one edit over every row and\n"
    "                print the list; OPERATION is one of clear-comments,\n"
    "                clear-cover-art, clear-genre, clear-title-suffix,\n"
    "                clear-track-number, lowercase-title, replace-brackets,\n"
    "                embed-cover-art, add-suffix VALUE, set-genre VALUE\n"
    "  options list | get NAME | set NAME VALUE | reset\n"
    "                show or change the stored options\n"
    "\n"
    "fix and edit exit with status 1 when a file could not be written; the\n"
    "activity log names each such file and the error.\n";

void PrintUsage(std::FILE* out) {
    std::fputs(Usage, out);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varnholm"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessaly"));

    QStringList args = QCoreApplication::arguments().mid(1);
    CliUiPort::Answer answer = CliUiPort::Answer::Unset;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString option = args.takeFirst();
        if (option == QStringLiteral("--help")) {
            PrintUsage(stdout);
            return 0;
        }
        if (option == QStringLiteral("--version")) {
            std::printf("quenlor-cli (Varnholm) %s\n", qPrintable(VersionTextWithBuild()));
            return 0;
        }
        if (option == QStringLiteral("--yes") || option == QStringLiteral("--no")) {
            answer =
                option == QStringLiteral("--yes") ? CliUiPort::Answer::Yes : CliUiPort::Answer::No;
            continue;
        }
        std::fprintf(stderr, "quenlor-cli: unknown option '%s'\n", qPrintable(option));
        PrintUsage(stderr);
        return 2;
    }

    if (args.isEmpty()) {
        PrintUsage(stderr);
        return 2;
    }
    CliUiPort ui(answer);
    TCliSession session(ui);
    const QString command = args.takeFirst();
    if (command == QStringLiteral("options"))
        return TOptionsCommand(session).Run(args);
    if (command == QStringLiteral("list"))
        return TListCommand(session).Run(args);
    if (command == QStringLiteral("fix"))
        return TFixCommand(session).Run(args);
    if (command == QStringLiteral("edit"))
        return TEditCommand(session).Run(args);
    std::fprintf(stderr, "quenlor-cli: unknown command '%s'\n", qPrintable(command));
    PrintUsage(stderr);
    return 2;
}

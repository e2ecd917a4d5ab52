#include "cli/Completion.h"

#include "cli/CommandTable.h"

namespace {

const QStringList ProgramOptions = {QStringLiteral("--yes"), QStringLiteral("--no"),
                                    QStringLiteral("--help"), QStringLiteral("--version")};

} // namespace

QStringList ProgramCompletionWords(const std::vector<std::unique_ptr<TCliCommand>>& commands,
                                   const QStringList& typed) {
    qsizetype first = 0;
    while (first < typed.size() && ProgramOptions.contains(typed[first]))
        ++first;
    if (first == typed.size()) {
        QStringList words = ProgramOptions;
        for (const auto& command : commands)
            words.append(command->Name());
        return words;
    }
    const TCliCommand* command = FindCommand(commands, typed[first]);
    return command ? command->CompletionWords(typed.mid(first + 1)) : QStringList();
}

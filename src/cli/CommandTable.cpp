#include "cli/CommandTable.h"

#include "cli/CheckUpdateCommand.h"
#include "cli/EditCommand.h"
#include "cli/ExportCommand.h"
#include "cli/FixCommand.h"
#include "cli/HelpCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/ListCommand.h"
#include "cli/MP3GainCommand.h"
#include "cli/MP3valCommand.h"
#include "cli/OptionsCommand.h"
#include "cli/ShowCommand.h"
#include "cli/StatsCommand.h"
#include "cli/TagCommand.h"
#include "cli/UndoCommand.h"
#include "cli/UpdateDataCommand.h"

namespace {

using TMake = std::unique_ptr<TCliCommand> (*)(TCliSession&);

template <class T> std::unique_ptr<TCliCommand> Make(TCliSession& session) {
    return std::make_unique<T>(session);
}

// One row per command.
const TMake CommandTable[] = {
    Make<TListCommand>,      Make<TFixCommand>,        Make<TEditCommand>,
    Make<TExportCliCommand>, Make<TStatsCommand>,      Make<TShowCommand>,
    Make<TTagCommand>,       Make<TMP3valCommand>,     Make<TMP3GainCommand>,
    Make<TOptionsCommand>,   Make<TUpdateDataCommand>, Make<TCheckUpdateCommand>,
    Make<TUndoCommand>,      Make<THistoryCommand>,    Make<THelpCommand>,
};

} // namespace

std::vector<std::unique_ptr<TCliCommand>> MakeCommands(TCliSession& session) {
    std::vector<std::unique_ptr<TCliCommand>> commands;
    for (TMake make : CommandTable)
        commands.push_back(make(session));
    return commands;
}

TCliCommand* FindCommand(const std::vector<std::unique_ptr<TCliCommand>>& commands,
                         const QString& name) {
    for (const auto& command : commands)
        if (command->Name() == name)
            return command.get();
    return nullptr;
}

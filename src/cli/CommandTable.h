#pragma once

#include "cli/Command.h"

#include <memory>
#include <vector>

// Every command of quenlor-cli, in the order the program's help lists them.
std::vector<std::unique_ptr<TCliCommand>> MakeCommands(TCliSession& session);
// The one named name, or null.
TCliCommand* FindCommand(const std::vector<std::unique_ptr<TCliCommand>>& commands,
                         const QString& name);

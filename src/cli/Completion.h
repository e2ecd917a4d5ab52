#pragma once

#include "cli/Command.h"

#include <memory>
#include <vector>

// What the bash completion offers after the words typed after the program's name (the word
// being completed left out): the program's options and the command names until a command is
// typed, then that command's words (TCliCommand::CompletionWords). The completion script gets
// them from "quenlor-cli --complete -- WORDS...", so that it always knows the commands of the
// table they run.
QStringList ProgramCompletionWords(const std::vector<std::unique_ptr<TCliCommand>>& commands,
                                   const QStringList& typed);

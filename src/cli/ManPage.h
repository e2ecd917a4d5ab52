#pragma once

#include "cli/Command.h"

#include <memory>
#include <vector>

// The manual page quenlor-cli.1 in roff, its COMMANDS section made from the command table (each
// command's usage, summary, description and options), so that it says what --help says. The
// build writes it with "quenlor-cli --man".
QString ManPage(const std::vector<std::unique_ptr<TCliCommand>>& commands);

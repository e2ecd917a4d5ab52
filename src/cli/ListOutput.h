#pragma once

#include <cstdio>

class TMainWindowState;

// Prints the main list as CSV on out and the status text on err, as quenlor-cli list does.
void PrintMainList(const TMainWindowState& state, std::FILE* out, std::FILE* err);

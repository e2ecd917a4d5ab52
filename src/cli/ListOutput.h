#pragma once

#include <cstdio>

class TMainWindowState;

// Prints the main list as CSV on out and the status text on err, as quenlor-cli list does;
// false (and a message on err) when the list could not be written.
bool PrintMainList(const TMainWindowState& state, std::FILE* out, std::FILE* err);

#pragma once

#include <cstdio>

class TMainWindowState;

// Prints the main list as CSV on out and the status text on err, as quenlor-cli list does;
// false when the list could not be written (with a message on err) or when an error already
// reported ended the paths before the status was recomputed.
bool PrintMainList(const TMainWindowState& state, std::FILE* out, std::FILE* err);

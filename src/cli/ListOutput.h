#pragma once

#include <QCommandLineOption>
#include <cstdio>

class QCommandLineParser;
class TCliSession;
class TMainWindowState;

// --quiet of the commands that print the list: no progress line and no status line.
extern const QCommandLineOption QuietOption;
// Switches the progress line off for a run with --quiet; whether --quiet was given.
bool ApplyQuiet(const QCommandLineParser& parser, TCliSession& session);

// Prints the main list as CSV on out and the status text on err, as quenlor-cli list does;
// false when the list could not be written (with a message on err) or when an error already
// reported ended the paths before the status was recomputed.
// With quiet the status line is left out.
bool PrintMainList(const TMainWindowState& state, std::FILE* out, std::FILE* err,
                   bool quiet = false);

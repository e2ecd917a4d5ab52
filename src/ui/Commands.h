#pragma once

#include <array>

// The main window's commands, in menu order. The window's state keeps one enabled flag per
// command; the desktop program shows them as toolbar buttons and menu items.
enum class TCommand {
    Browse,
    Open,
    Export,
    Exit,
    Find,
    Fix,
    Refresh,
    UndoLastChanges,
    UndoHistory,
    MP3val,
    MP3Gain,
    Mp3tag,
    Statistics,
    UpdateDataFiles,
    Options,
    ReleaseNotes,
    CheckForUpdates,
    About,
    Count
};

enum class TMenu { File, Tools, Help };

struct TCommandInfo {
    TCommand Command;
    TMenu Menu;
    const char* MenuText;
    const char* Shortcut;    // QKeySequence text, empty for none
    const char* ToolbarHint; // empty when the command has no toolbar button
    bool SeparatorBefore;    // in its menu
    bool ToolbarSeparatorBefore;
};

inline constexpr std::array<TCommandInfo, static_cast<int>(TCommand::Count)> CommandTable = {{
    {TCommand::Browse, TMenu::File, "Browse...", "", "Browse", false, false},
    {TCommand::Open, TMenu::File, "Open...", "Ctrl+O", "Open", false, false},
    {TCommand::Export, TMenu::File, "Export...", "", "Export", true, true},
    {TCommand::Exit, TMenu::File, "Exit", "", "Exit", true, false},
    {TCommand::Find, TMenu::Tools, "Find...", "Ctrl+F", "Find", false, true},
    {TCommand::Fix, TMenu::Tools, "Fix", "", "Fix", true, true},
    {TCommand::Refresh, TMenu::Tools, "Refresh", "F5", "Refresh", false, false},
    {TCommand::UndoLastChanges, TMenu::Tools, "Undo Last Changes", "Ctrl+Z", "", true, false},
    {TCommand::UndoHistory, TMenu::Tools, "Undo History...", "", "", false, false},
    {TCommand::MP3val, TMenu::Tools, "MP3val", "", "MP3val", true, true},
    {TCommand::MP3Gain, TMenu::Tools, "MP3Gain", "", "MP3Gain", false, false},
    {TCommand::Mp3tag, TMenu::Tools, "Mp3tag", "", "Mp3tag", false, false},
    {TCommand::Statistics, TMenu::Tools, "Statistics", "", "Statistics", true, true},
    {TCommand::UpdateDataFiles, TMenu::Tools, "Update Data Files...", "Ctrl+U", "Update Data Files",
     true, true},
    {TCommand::Options, TMenu::Tools, "Options...", "", "Options", true, true},
    {TCommand::ReleaseNotes, TMenu::Help, "Release Notes", "F1", "", false, false},
    {TCommand::CheckForUpdates, TMenu::Help, "Check for Updates...", "F9", "", false, false},
    {TCommand::About, TMenu::Help, "About...", "", "About", true, true},
}};

// The toolbar order differs from the menu order only in where Exit stands: last, after About.
inline constexpr std::array<TCommand, 14> ToolbarOrder = {
    TCommand::Browse, TCommand::Open,       TCommand::Export,          TCommand::Find,
    TCommand::Fix,    TCommand::Refresh,    TCommand::MP3val,          TCommand::MP3Gain,
    TCommand::Mp3tag, TCommand::Statistics, TCommand::UpdateDataFiles, TCommand::Options,
    TCommand::About,  TCommand::Exit};

inline constexpr const TCommandInfo& CommandInfo(TCommand c) {
    return CommandTable[static_cast<int>(c)];
}

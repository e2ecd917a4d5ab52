#pragma once

#include <QString>

class TMainWindowState;

// The Export command: the main list written as a CSV table or as an M3U playlist. It keeps the
// filter chosen last time, which the next save dialog shows first.
class TExportCommand {
public:
    enum class TFormat { Csv, M3U, None };

    explicit TExportCommand(TMainWindowState& state) : FState(state) {}

    // The save dialog, then the export in the format of the chosen filter and its count message.
    void ExportToolButtonClick();
    // Writes fileName in the format and shows the count message, or the error message when the
    // file could not be written. Answers the count (0 after a failure).
    int Export(const QString& fileName, TFormat format);

    // Every row in display order as CSV, with progress, the stop request and the backup copy of
    // an earlier file. Answers the number of rows written, 0 when the file could not be written.
    int ExportToCSVFile(const QString& fileName);
    // Every row as a playlist entry in the form the options ask for; a track whose length cannot
    // be found gets -1 and one warning counts them. Answers the number of entries written.
    int ExportToM3UFile(const QString& fileName);

    // Whether the last export failed to write its file (its error message was shown).
    bool Failed() const { return FFailed; }
    int FilterIndex() const { return FFilterIndex; }

private:
    // Writes the bytes, reporting a failure; false when the file could not be written.
    bool WriteFile(const QString& fileName, const QByteArray& bytes, bool backup);

    TMainWindowState& FState;
    int FFilterIndex = 0;
    bool FFailed = false;
};

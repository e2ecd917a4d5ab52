#pragma once

#include "cli/ProgressLine.h"
#include "support/UiPort.h"

#include <cstdio>

// The command-line face of UiPort: messages go to stderr, questions are answered by the
// --yes/--no choice (No when neither was given), pickers cancel, and progress is one updating
// line on stderr once switched on (only ever when stderr is a terminal).
class CliUiPort : public UiPort {
public:
    enum class Answer { Unset, Yes, No };

    explicit CliUiPort(Answer answer, std::FILE* out = stderr)
        : FAnswer(answer), FOut(out), FProgress(out) {}

    void ShowMessage(MessageKind kind, const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    // The report goes to stdout; whether to fix is answered by --yes/--no, noted on stderr.
    bool ShowToolOutput(TToolOutput& output) override;
    QString PickFolder(const QString&, const QString&) override { return {}; }
    QStringList PickOpenFiles(const QString&, const QString&, const QStringList&) override {
        return {};
    }
    TSaveFileChoice PickSaveFile(const TSaveFileRequest&) override { return {}; }
    void SetProgressMaximum(int maximum) override { FProgress.Start(maximum, 0); }
    void SetProgressPosition(int position) override { FProgress.SetPosition(position); }
    void StepProgress() override { FProgress.Step(); }
    void ShowProgressText(const QString& line) { FProgress.ShowText(line); }
    void SetStatusText(const QString& text) override { FStatusText = text; }
    // The end of a long operation puts the cursor back: its line goes.
    void SetCursor(Cursor cursor) override {
        if (cursor == Cursor::Normal)
            FProgress.Clear();
    }
    void ProcessPendingEvents() override {}

    const QString& StatusText() const { return FStatusText; }
    void SetAnswer(Answer answer) { FAnswer = answer; }
    void SetProgressShown(bool shown) { FProgress.SetEnabled(shown); }
    // Erases the progress line, if one is shown.
    void EndProgress() { FProgress.Clear(); }

private:
    void Print(const QString& lead, const QString& text);

    Answer FAnswer;
    std::FILE* FOut;
    QString FStatusText;
    TProgressLine FProgress;
};

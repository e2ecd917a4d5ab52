#pragma once

#include "support/UiPort.h"

#include <cstdio>

// The command-line face of UiPort: messages go to stderr, questions are answered by the
// --yes/--no choice (No when neither was given), pickers cancel, progress stays silent.
class CliUiPort : public UiPort {
public:
    enum class Answer { Unset, Yes, No };

    explicit CliUiPort(Answer answer, std::FILE* out = stderr) : FAnswer(answer), FOut(out) {}

    void ShowMessage(MessageKind kind, const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    QString PickFolder(const QString&, const QString&) override { return {}; }
    QStringList PickOpenFiles(const QString&, const QString&, const QStringList&) override {
        return {};
    }
    TSaveFileChoice PickSaveFile(const TSaveFileRequest&) override { return {}; }
    void SetProgressMaximum(int) override {}
    void SetProgressPosition(int) override {}
    void StepProgress() override {}
    void SetStatusText(const QString& text) override { FStatusText = text; }
    void SetCursor(Cursor) override {}
    void ProcessPendingEvents() override {}

    const QString& StatusText() const { return FStatusText; }
    void SetAnswer(Answer answer) { FAnswer = answer; }

private:
    void Print(const QString& lead, const QString& text);

    Answer FAnswer;
    std::FILE* FOut;
    QString FStatusText;
};

#pragma once

#include "support/UiPort.h"

class QLabel;
class QProgressBar;
class QWidget;

// The desktop face of UiPort: message boxes, file dialogs, the window's progress bar, status
// line and cursor.
class GuiUiPort : public UiPort {
public:
    GuiUiPort(QWidget* window, QProgressBar* progress, QLabel* status)
        : FWindow(window), FProgress(progress), FStatus(status) {}

    void ShowMessage(MessageKind kind, const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    QString PickFolder(const QString& caption, const QString& startFolder) override;
    QStringList PickOpenFiles(const QString& caption, const QString& startFolder,
                              const QStringList& filters) override;
    TSaveFileChoice PickSaveFile(const TSaveFileRequest& request) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    void StepProgress() override;
    void SetStatusText(const QString& text) override;
    void SetCursor(Cursor cursor) override;
    void ProcessPendingEvents() override;

private:
    QWidget* FWindow;
    QProgressBar* FProgress;
    QLabel* FStatus;
    bool FCursorOverridden = false;
};

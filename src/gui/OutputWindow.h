#pragma once

#include "support/UiPort.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The window that shows an outside tool's report and offers to fix what it found: the report,
// the error count, "Delete backup files", Fix (the default button) and Close.
class OutputWindow : public QDialog {
    Q_OBJECT
public:
    explicit OutputWindow(QWidget* parent);

    // Shows the report modally; true for Fix. The check box's state goes back into output.
    bool Show(TToolOutput& output);

    QPlainTextEdit* Report() const { return FText; }
    QLabel* ErrorCountLabel() const { return FErrorCount; }
    QCheckBox* DeleteBackupFilesBox() const { return FDeleteBackupFiles; }
    QPushButton* FixButton() const { return FFix; }
    QPushButton* CloseButton() const { return FClose; }

private:
    QPlainTextEdit* FText;
    QLabel* FErrorCount;
    QCheckBox* FDeleteBackupFiles;
    QPushButton* FFix = nullptr;
    QPushButton* FClose = nullptr;
};

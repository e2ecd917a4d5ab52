#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class TDataFileUpdate;

// The "Update Data Files" window: shows the update's progress while it runs (not modal) and
// offers Cancel. Closing the window asks as Cancel does.
class DataFileUpdateDialog : public QDialog {
    Q_OBJECT
public:
    DataFileUpdateDialog(TDataFileUpdate& update, QWidget* parent);

    // The Update Data Files command: shows the window, runs the update, closes the window.
    void Execute();

    QPushButton* CancelButton() const { return FCancel; }

protected:
    void reject() override;

private:
    void ShowView();

    TDataFileUpdate& FUpdate;
    QLabel* FFile = nullptr;
    QLabel* FSpeed = nullptr;
    QLabel* FStatus = nullptr;
    QLabel* FElapsed = nullptr;
    QLabel* FRemaining = nullptr;
    QLabel* FTransfer = nullptr;
    QProgressBar* FFileBar = nullptr;
    QProgressBar* FOverallBar = nullptr;
    QPushButton* FCancel = nullptr;
};

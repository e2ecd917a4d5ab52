#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
struct TTransferView;

// A download's progress window: File, Speed, Status, Elapsed Time, Remaining Time and Transfer,
// the file's bar (and the overall one when asked for) and Cancel. Not modal, so the window
// behind it repaints; closing it while the transfer runs asks as Cancel does.
class TransferWindow : public QDialog {
    Q_OBJECT
public:
    TransferWindow(const QString& caption, bool overallBar, QWidget* parent);

    QPushButton* CancelButton() const { return FCancel; }
    QLabel* FileLabel() const { return FFile; }
    QLabel* StatusLabel() const { return FStatus; }
    QLabel* TransferLabel() const { return FTransfer; }
    void ShowView(const TTransferView& view);

protected:
    // Set by the window that runs the transfer.
    std::function<bool()> Running;
    std::function<void()> CancelClicked;

    void reject() override;

private:
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

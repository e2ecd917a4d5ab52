#include "gui/TransferWindow.h"

#include "ui/TransferView.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

// Progress bars count in int; sizes are scaled down together so that their ratio stays.
void SetBar(QProgressBar* bar, qint64 position, qint64 maximum) {
    int shift = 0;
    while ((maximum >> shift) > std::numeric_limits<int>::max())
        ++shift;
    bar->setRange(0, static_cast<int>(maximum >> shift));
    bar->setValue(static_cast<int>(std::clamp<qint64>(position, 0, maximum) >> shift));
}

} // namespace

TransferWindow::TransferWindow(const QString& caption, bool overallBar, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);
    setModal(false);
    auto* form = new QFormLayout;
    const auto add = [form](const char* label) {
        auto* value = new QLabel;
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromLatin1(label), value);
        return value;
    };
    FFile = add("File :");
    FSpeed = add("Speed :");
    FStatus = add("Status :");
    FElapsed = add("Elapsed Time :");
    FRemaining = add("Remaining Time :");
    FTransfer = add("Transfer :");
    FFileBar = new QProgressBar;
    FCancel = new QPushButton(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(FFileBar);
    if (overallBar) {
        FOverallBar = new QProgressBar;
        layout->addWidget(FOverallBar);
    }
    layout->addLayout(buttons);
    setMinimumWidth(460);
    connect(FCancel, &QPushButton::clicked, this, [this] {
        if (CancelClicked)
            CancelClicked();
    });
}

void TransferWindow::reject() {
    if (Running && Running()) {
        if (CancelClicked)
            CancelClicked();
    } else {
        QDialog::reject();
    }
}

void TransferWindow::ShowView(const TTransferView& view) {
    FFile->setText(view.File);
    FSpeed->setText(view.Speed);
    FStatus->setText(view.Status);
    FElapsed->setText(view.ElapsedTime);
    FRemaining->setText(view.RemainingTime);
    FTransfer->setText(view.Transfer);
    SetBar(FFileBar, view.FilePosition, view.FileMaximum);
    if (FOverallBar)
        SetBar(FOverallBar, view.OverallPosition, view.OverallMaximum);
    FCancel->setEnabled(view.CancelEnabled);
}

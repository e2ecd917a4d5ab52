#include "gui/DataFileUpdateDialog.h"

#include "ui/DataFileUpdate.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

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

DataFileUpdateDialog::DataFileUpdateDialog(TDataFileUpdate& update, QWidget* parent)
    : QDialog(parent), FUpdate(update) {
    setObjectName(QStringLiteral("UpdateDataFilesDialog"));
    setWindowTitle(QStringLiteral("Update Data Files"));
    setModal(false);
    auto* form = new QFormLayout;
    const auto add = [form](const char* caption) {
        auto* value = new QLabel;
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromLatin1(caption), value);
        return value;
    };
    FFile = add("File :");
    FSpeed = add("Speed :");
    FStatus = add("Status :");
    FElapsed = add("Elapsed Time :");
    FRemaining = add("Remaining Time :");
    FTransfer = add("Transfer :");
    FFileBar = new QProgressBar;
    FOverallBar = new QProgressBar;
    FCancel = new QPushButton(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(FFileBar);
    layout->addWidget(FOverallBar);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(FCancel, &QPushButton::clicked, this, [this] { FUpdate.CancelButtonClick(); });
    FUpdate.OnViewChanged = [this] { ShowView(); };
    FUpdate.OnClose = [this] { hide(); };
    ShowView();
}

void DataFileUpdateDialog::Execute() {
    if (FUpdate.Running())
        return;
    show();
    raise();
    FUpdate.Run();
    hide();
}

void DataFileUpdateDialog::reject() {
    if (FUpdate.Running())
        FUpdate.CancelButtonClick();
    else
        QDialog::reject();
}

void DataFileUpdateDialog::ShowView() {
    const TDataFileUpdateView& view = FUpdate.View();
    FFile->setText(view.File);
    FSpeed->setText(view.Speed);
    FStatus->setText(view.Status);
    FElapsed->setText(view.ElapsedTime);
    FRemaining->setText(view.RemainingTime);
    FTransfer->setText(view.Transfer);
    SetBar(FFileBar, view.FilePosition, view.FileMaximum);
    SetBar(FOverallBar, view.OverallPosition, view.OverallMaximum);
    FCancel->setEnabled(view.CancelEnabled);
}

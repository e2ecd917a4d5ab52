#include "gui/DataFileUpdateDialog.h"

#include "ui/DataFileUpdate.h"

DataFileUpdateDialog::DataFileUpdateDialog(TDataFileUpdate& update, QWidget* parent)
    : TransferWindow(QStringLiteral("Update Data Files"), true, parent), FUpdate(update) {
    setObjectName(QStringLiteral("UpdateDataFilesDialog"));
    Running = [this] { return FUpdate.Running(); };
    CancelClicked = [this] { FUpdate.CancelButtonClick(); };
    FUpdate.OnViewChanged = [this] { ShowView(FUpdate.View()); };
    FUpdate.OnClose = [this] { hide(); };
    ShowView(FUpdate.View());
}

void DataFileUpdateDialog::Execute() {
    if (FUpdate.Running())
        return;
    show();
    raise();
    FUpdate.Run();
    hide();
}

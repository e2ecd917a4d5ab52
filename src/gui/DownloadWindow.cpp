#include "gui/DownloadWindow.h"

#include "ui/AppUpdateCheck.h"

DownloadWindow::DownloadWindow(TAppUpdateCheck& check, QWidget* parent)
    : TransferWindow(QStringLiteral("Download New Version"), false, parent), FCheck(check) {
    setObjectName(QStringLiteral("DownloadNewVersionWindow"));
    Running = [this] { return FCheck.Downloading(); };
    CancelClicked = [this] { FCheck.CancelButtonClick(); };
    FCheck.OnViewChanged = [this] { ShowView(FCheck.View()); };
    FCheck.OnClose = [this] { hide(); };
    ShowView(FCheck.View());
}

DownloadWindow::~DownloadWindow() {
    FCheck.OnViewChanged = nullptr;
    FCheck.OnClose = nullptr;
}

void DownloadWindow::Execute() {
    show();
    raise();
    FCheck.DownloadButtonClick();
    hide();
}

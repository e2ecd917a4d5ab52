#pragma once

#include "gui/TransferWindow.h"

class TAppUpdateCheck;

// "Download New Version": the installer's transfer, shown while it runs, with Cancel.
class DownloadWindow : public TransferWindow {
    Q_OBJECT
public:
    DownloadWindow(TAppUpdateCheck& check, QWidget* parent);
    ~DownloadWindow() override;

    // The notification window's Download: shows the window while the installer is fetched and
    // verified, then closes it.
    void Execute();

private:
    TAppUpdateCheck& FCheck;
};

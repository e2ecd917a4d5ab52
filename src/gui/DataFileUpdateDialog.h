#pragma once

#include "gui/TransferWindow.h"

class TDataFileUpdate;

// The "Update Data Files" window: shows the update's progress while it runs, with a bar for the
// current file and one for all files, and offers Cancel.
class DataFileUpdateDialog : public TransferWindow {
    Q_OBJECT
public:
    DataFileUpdateDialog(TDataFileUpdate& update, QWidget* parent);

    // The Update Data Files command: shows the window, runs the update, closes the window.
    void Execute();

private:
    TDataFileUpdate& FUpdate;
};

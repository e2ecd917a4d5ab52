#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class TAppUpdateCheck;
struct TOptionSet;

// "New Version Available": the release notes of the advertised version, with Download (when
// the description names an installer), Open Web Page and OK.
class UpdateNotificationWindow : public QDialog {
    Q_OBJECT
public:
    // What exec() returns when the person chose Download.
    static constexpr int DownloadChosen = 2;

    UpdateNotificationWindow(TAppUpdateCheck& check, QWidget* parent);

    QPlainTextEdit* Notes() const { return FNotes; }
    QPushButton* DownloadButton() const { return FDownload; }
    QPushButton* OpenWebPageButton() const { return FOpenWebPage; }
    QPushButton* OKButton() const { return FOK; }

private:
    QPlainTextEdit* FNotes;
    QPushButton* FDownload;
    QPushButton* FOpenWebPage;
    QPushButton* FOK;
};

// The web browser for Open Web Page; a verified installer is opened once mainWindow has
// closed.
void ConnectToDesktop(TAppUpdateCheck& check, QWidget* mainWindow);

// Check for Updates (F9): the check with its messages; for a newer version the notification
// window, and after Download the download window.
void RunCheckForUpdates(TAppUpdateCheck& check, const TOptionSet& options, QWidget* parent);

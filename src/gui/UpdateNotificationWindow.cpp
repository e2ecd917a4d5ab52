#include "gui/UpdateNotificationWindow.h"

#include "gui/DownloadWindow.h"
#include "ui/AppUpdateCheck.h"
#include "ui/Version.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

UpdateNotificationWindow::UpdateNotificationWindow(TAppUpdateCheck& check, QWidget* parent)
    : QDialog(parent), FNotes(new QPlainTextEdit(this)),
      FDownload(new QPushButton(QStringLiteral("Download"), this)),
      FOpenWebPage(new QPushButton(QStringLiteral("Open Web Page"), this)),
      FOK(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("NewVersionAvailableWindow"));
    setWindowTitle(QStringLiteral("New Version Available"));
    FNotes->setReadOnly(true);
    FNotes->setLineWrapMode(QPlainTextEdit::NoWrap);
    FNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FNotes->setMinimumSize(520, 300);
    FNotes->setPlainText(check.ReleaseNotes());
    FDownload->setEnabled(check.DownloadEnabled());
    FOK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FDownload);
    buttons->addWidget(FOpenWebPage);
    buttons->addStretch();
    buttons->addWidget(FOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FNotes);
    layout->addLayout(buttons);
    // A fixed border: the notes scroll inside it.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(FDownload, &QPushButton::clicked, this, [this] { done(DownloadChosen); });
    connect(FOpenWebPage, &QPushButton::clicked, this,
            [&check] { check.OpenWebPageButtonClick(); });
    connect(FOK, &QPushButton::clicked, this, &QDialog::reject);
}

void ConnectToDesktop(TAppUpdateCheck& check, QWidget* mainWindow) {
    check.OpenWebPage = [](const QString& page) { QDesktopServices::openUrl(QUrl(page)); };
    // The installer takes over once this program has shut down as Exit would; a running
    // operation that keeps the window open keeps the installer waiting in its folder.
    check.StartInstaller = [mainWindow](const QString& installer) {
        if (!mainWindow->close())
            return;
        QCoreApplication::processEvents();
        QCoreApplication::quit();
        QDesktopServices::openUrl(QUrl::fromLocalFile(installer));
    };
}

void RunCheckForUpdates(TAppUpdateCheck& check, const TOptionSet& options, QWidget* parent) {
    check.ApplyOptions(options);
    check.Version = VersionText();
    if (!check.Execute(false))
        return;
    int choice = 0;
    {
        UpdateNotificationWindow notification(check, parent);
        choice = notification.exec();
    }
    if (choice != UpdateNotificationWindow::DownloadChosen)
        return;
    DownloadWindow download(check, parent);
    download.Execute();
}

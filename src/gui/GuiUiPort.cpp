#include "gui/GuiUiPort.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>

namespace {

QString Caption(const QString& caption) {
    return caption.isEmpty() ? QStringLiteral("Varnholm") : caption;
}

// Messages separate their lines with a carriage return; a widget shows a line feed.
QString Displayed(QString text) {
    return text.replace(u'\r', u'\n');
}

} // namespace

void GuiUiPort::ShowMessage(MessageKind kind, const QString& text, const QString& caption) {
    static constexpr QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning,
                                                  QMessageBox::Critical};
    QMessageBox box(icons[static_cast<int>(kind)], Caption(caption), Displayed(text),
                    QMessageBox::Ok, FWindow);
    box.exec();
}

bool GuiUiPort::AskYesNo(const QString& text, const QString& caption) {
    return QMessageBox::question(FWindow, Caption(caption), Displayed(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString GuiUiPort::PickFolder(const QString& caption, const QString& startFolder) {
    // Qt's own picker, since a desktop's may offer to make new folders and this one must not;
    // the desktop and the home folder head its side bar.
    QFileDialog dialog(FWindow, caption, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog |
                      QFileDialog::ReadOnly);
    if (auto* newFolder = dialog.findChild<QWidget*>(QStringLiteral("newFolderButton")))
        newFolder->hide();
    QList<QUrl> places;
    for (const auto location : {QStandardPaths::DesktopLocation, QStandardPaths::HomeLocation})
        places.append(QUrl::fromLocalFile(QStandardPaths::writableLocation(location)));
    places.append(QUrl::fromLocalFile(QStringLiteral("/")));
    dialog.setSidebarUrls(places);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QStringList GuiUiPort::PickOpenFiles(const QString& caption, const QString& startFolder,
                                     const QStringList& filters) {
    const QString file = QFileDialog::getOpenFileName(FWindow, caption, startFolder,
                                                      filters.join(QStringLiteral(";;")));
    return file.isEmpty() ? QStringList() : QStringList{file};
}

TSaveFileChoice GuiUiPort::PickSaveFile(const TSaveFileRequest& request) {
    QFileDialog dialog(FWindow, request.Caption, request.StartFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(request.Filters);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
    // A name typed without extension takes the chosen filter's, or the default one.
    const auto followFilter = [&dialog, &request](const QString& filter) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = pattern.match(filter);
        dialog.setDefaultSuffix(match.hasMatch() ? match.captured(1) : request.DefaultExtension);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
    const QString first = request.Filters.value(request.FilterIndex);
    dialog.selectNameFilter(first);
    followFilter(first);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst(),
            std::max<int>(0, int(request.Filters.indexOf(dialog.selectedNameFilter())))};
}

void GuiUiPort::SetProgressMaximum(int maximum) {
    // A maximum of 0 would turn the bar into Qt's busy indicator, which keeps moving after the
    // work is done: a phase with nothing to do shows an empty bar instead.
    FProgress->setMaximum(std::max(maximum, 1));
}
void GuiUiPort::SetProgressPosition(int position) {
    FProgress->setValue(position);
}
void GuiUiPort::StepProgress() {
    FProgress->setValue(FProgress->value() + 1);
}
void GuiUiPort::SetStatusText(const QString& text) {
    FStatus->setText(text);
}

void GuiUiPort::SetCursor(Cursor cursor) {
    if (FCursorOverridden) {
        QApplication::restoreOverrideCursor();
        FCursorOverridden = false;
    }
    if (cursor == Cursor::Normal)
        return;
    QApplication::setOverrideCursor(cursor == Cursor::Busy ? Qt::WaitCursor : Qt::BusyCursor);
    FCursorOverridden = true;
}

void GuiUiPort::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

#include "ui/PropertiesDialogState.h"

#include "catalogue/FileAnalysis.h"
#include "fixing/CoverPicture.h"
#include "support/Error.h"
#include "ui/MainWindowState.h"
#include "ui/RowEditing.h"

#include <QFileInfo>

namespace {

QStringList SortedCheckedTexts(const TCheckList& list) {
    TCheckList checked;
    for (const TCheckListItem& item : list)
        if (item.Checked)
            checked.append(item);
    SortCheckList(checked);
    QStringList texts;
    for (const TCheckListItem& item : checked)
        texts.append(item.Text);
    return texts;
}

} // namespace

TPropertiesDialogState::TPropertiesDialogState(TMainWindowState& state) : FState(state) {}

bool TPropertiesDialogState::Open() {
    // The write shows the row again, which must not happen under a running fix or refresh.
    if (!FState.CanChangeList() || FState.MainList().SelectedCount() != 1)
        return false;
    const int index = FState.MainList().FirstSelected();
    const TFixRow row = TRowEditRun(FState, QString()).Row(index);
    const QString fileName = RowFilePath(row);
    if (!row.Data || !QFileInfo(fileName).isFile())
        return false;

    TID3v2Tag& tag = FState.ID3v2Tag1();
    tag.SetFileName(fileName);
    try {
        tag.Open();
    } catch (const std::exception& e) {
        tag.Close();
        FState.Ui().ShowMessage(UiPort::MessageKind::Error,
                                QStringLiteral("The tags of \"%1\" could not be read:\r%2")
                                    .arg(fileName, QString::fromUtf8(e.what())));
        return false;
    }
    FFileCover = ReadFrontCover(tag);
    tag.Close();

    FRecord = row.Data;
    FRow = index;
    FFileName = fileName;
    FValues = PropertiesValuesOfRow(row);
    FGenreItems = SortedCheckedTexts(FState.Options().Genres);
    FCoverEdit = {};
    FCoverImage = FFileCover.Present ? DecodePicture(FFileCover.Data) : QImage();
    return true;
}

QString TPropertiesDialogState::CoverNote() const {
    if (FCoverEdit.Change != TCoverEdit::TChange::Keep || !FFileCover.Present ||
        !FCoverImage.isNull())
        return {};
    const QString type =
        FFileCover.MIMEType.isEmpty() ? QStringLiteral("no type given") : FFileCover.MIMEType;
    return QStringLiteral("The front cover (%1, %2 bytes) cannot be shown. It is kept as it is.")
        .arg(type)
        .arg(FFileCover.Data.size());
}

void TPropertiesDialogState::AssignButtonClick() {
    const QFileInfo file(FFileName);
    const QString picture = GetPictureFileName(FFileName, FState.Log());
    QString start = file.path();
    if (!picture.isEmpty())
        start += u'/' + QFileInfo(picture).fileName();
    const QStringList chosen = FState.Ui().PickOpenFiles(QStringLiteral("Open"), start,
                                                         {QStringLiteral("JPEG files (*.jpg)"),
                                                          QStringLiteral("PNG files (*.png)"),
                                                          QStringLiteral("All files (*)")});
    if (!chosen.isEmpty())
        AssignPicture(chosen.first());
}

bool TPropertiesDialogState::AssignPicture(const QString& pictureFileName) {
    try {
        TPictureToEmbed picture = LoadPictureToEmbed(pictureFileName);
        FCoverEdit = {TCoverEdit::TChange::Assign, picture.Data, picture.MIMEType};
        FCoverImage = picture.Image;
        return true;
    } catch (const std::exception& e) {
        FState.Ui().ShowMessage(UiPort::MessageKind::Error, QString::fromUtf8(e.what()));
        return false;
    }
}

void TPropertiesDialogState::ClearButtonClick() {
    FCoverEdit = {TCoverEdit::TChange::Clear, {}, {}};
    FCoverImage = QImage();
}

TPropertiesDialogState::TConfirmed TPropertiesDialogState::Confirm() {
    const QString problem = PropertiesValuesProblem(FValues);
    if (!problem.isEmpty()) {
        FState.Ui().ShowMessage(UiPort::MessageKind::Error, problem);
        return TConfirmed::StayOpen;
    }
    const TMainList& list = FState.MainList();
    const int index =
        FRow >= 0 && FRow < list.Count() && list.Row(FRow).Data == FRecord ? FRow : -1;
    if (index < 0)
        return TConfirmed::Failed;
    TRowEditRun run(FState, QStringLiteral("Properties"));
    TFixRow row = run.Row(index);
    const TRowResult result = WriteProperties(row, run.Context(), FValues, FCoverEdit);
    if (result.Failed()) {
        FState.Ui().ShowMessage(
            UiPort::MessageKind::Error,
            QStringLiteral("\"%1\" could not be written:\r%2").arg(FFileName, result.Error));
        return TConfirmed::Failed;
    }
    run.SetRow(index, row);
    // The values enter the computed name and the mismatch.
    FState.RefreshMP3ListItem(index);
    FState.SetStatisticsValid(false);
    FState.UpdateStatusBar();
    return TConfirmed::Written;
}

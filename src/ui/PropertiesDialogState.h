#pragma once

#include "fixing/PropertiesEdit.h"

#include <QImage>
#include <QStringList>

class TMainWindowState;
struct TMP3FileData;

// The properties dialog without pixels: one file's values and front cover, taken from its row
// when the dialog opens, edited, and written back on OK. Only what the person changed in the
// cover area changes the file's pictures.
class TPropertiesDialogState {
public:
    enum class TConfirmed {
        StayOpen, // the values were refused with a message: the dialog stays open
        Written,  // the file, its record and its row hold the values
        Failed,   // the file could not be written (message shown, logged); nothing changed
    };

    explicit TPropertiesDialogState(TMainWindowState& state);

    // Properties, up to showing the dialog: fills the values, the genre list and the cover
    // area from the one selected row. False, and nothing to show, when not exactly one row is
    // selected, its file is gone, a long operation runs, or the file's tags cannot be read (an
    // error message then says why).
    bool Open();

    const QString& FileName() const { return FFileName; }
    TPropertiesValues& Values() { return FValues; }
    const TPropertiesValues& Values() const { return FValues; }
    // The checked entries of the Genres option, sorted.
    const QStringList& GenreItems() const { return FGenreItems; }

    // The front cover as the file held it when the dialog opened.
    const TFrontCover& FileCover() const { return FFileCover; }
    const TCoverEdit& CoverEdit() const { return FCoverEdit; }
    // The picture the cover area shows; null when there is none or it cannot be shown.
    const QImage& CoverImage() const { return FCoverImage; }
    // What the cover area says instead of a picture it cannot show; "" otherwise.
    QString CoverNote() const;

    // "Assign...": the picture chooser opens in the file's folder with the name of the folder's
    // cover picture proposed; a chosen picture is shown and will become the front cover.
    void AssignButtonClick();
    // The picture file becomes the one to embed; false, with an error message and the cover area
    // as it was, when it holds no picture that can be shown.
    bool AssignPicture(const QString& pictureFileName);
    // "Clear": the cover area empties and every front cover will go.
    void ClearButtonClick();

    // OK: checks the values, then writes them; afterwards the row is shown again from its
    // record and the statistics are out of date.
    TConfirmed Confirm();

private:
    TMainWindowState& FState;
    TMP3FileData* FRecord = nullptr;
    int FRow = -1;
    QString FFileName;
    TPropertiesValues FValues;
    QStringList FGenreItems;
    TFrontCover FFileCover;
    TCoverEdit FCoverEdit;
    QImage FCoverImage;
};

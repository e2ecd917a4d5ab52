#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TPropertiesDialogState;
class TrackNumberSpinBox;

// The "Properties" dialog: one file's fields and front cover over the properties dialog state.
// Made once and reused; its fields keep nothing between uses.
class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    PropertiesDialog(TPropertiesDialogState& state, QWidget* parent = nullptr);

    // Properties: opens on the selected row and shows the dialog modally, centred on the main
    // window; OK writes the file. False when it did not open or was cancelled.
    bool Execute();

    QLabel* CoverView() const { return FCoverView; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowValues();
    void ShowCover();
    void TakeValues();

    TPropertiesDialogState& FState;
    QLineEdit* FArtist;
    QLineEdit* FTitle;
    TrackNumberSpinBox* FTrackNumber;
    QLineEdit* FAlbumTitle;
    QLineEdit* FYear;
    QComboBox* FGenre;
    QLineEdit* FComments;
    QLabel* FCoverView;
    QPushButton* FAssign;
    QPushButton* FClear;
};

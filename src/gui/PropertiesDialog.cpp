#include "gui/PropertiesDialog.h"

#include "gui/TrackNumberSpinBox.h"
#include "ui/PropertiesDialogState.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

constexpr int CoverSize = 200;

QLineEdit* LineEdit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(260);
    return edit;
}

} // namespace

PropertiesDialog::PropertiesDialog(TPropertiesDialogState& state, QWidget* parent)
    : QDialog(parent), FState(state), FArtist(LineEdit("ArtistEdit")),
      FTitle(LineEdit("TitleEdit")), FTrackNumber(new TrackNumberSpinBox),
      FAlbumTitle(LineEdit("AlbumTitleEdit")), FYear(LineEdit("YearEdit")), FGenre(new QComboBox),
      FComments(LineEdit("CommentsEdit")), FCoverView(new QLabel),
      FAssign(new QPushButton(QStringLiteral("Assign..."))),
      FClear(new QPushButton(QStringLiteral("Clear"))) {
    setWindowTitle(QStringLiteral("Properties"));
    setObjectName(QStringLiteral("PropertiesDialog"));

    FYear->setMaxLength(4);
    FYear->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), FYear));
    FGenre->setObjectName(QStringLiteral("GenreComboBox"));
    FGenre->setEditable(true);
    FGenre->setInsertPolicy(QComboBox::NoInsert);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Artist :"), FArtist);
    fields->addRow(QStringLiteral("Title :"), FTitle);
    fields->addRow(QStringLiteral("Track Number :"), FTrackNumber);
    fields->addRow(QStringLiteral("Album Title :"), FAlbumTitle);
    fields->addRow(QStringLiteral("Year :"), FYear);
    fields->addRow(QStringLiteral("Genre :"), FGenre);
    fields->addRow(QStringLiteral("Comments :"), FComments);

    FCoverView->setObjectName(QStringLiteral("CoverArtImage"));
    FCoverView->setFixedSize(CoverSize, CoverSize);
    FCoverView->setAlignment(Qt::AlignCenter);
    FCoverView->setWordWrap(true);
    FCoverView->setFrameShape(QFrame::StyledPanel);
    FAssign->setObjectName(QStringLiteral("CoverArtAssignButton"));
    FClear->setObjectName(QStringLiteral("CoverArtClearButton"));
    auto* coverButtons = new QHBoxLayout;
    coverButtons->addWidget(FAssign);
    coverButtons->addWidget(FClear);
    auto* cover = new QGroupBox(QStringLiteral("Cover Art"));
    auto* coverLayout = new QVBoxLayout(cover);
    coverLayout->addWidget(FCoverView, 0, Qt::AlignHCenter);
    coverLayout->addLayout(coverButtons);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addWidget(cover);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* const order[] = {FArtist,
                              FTitle,
                              FTrackNumber,
                              FAlbumTitle,
                              FYear,
                              FGenre,
                              FComments,
                              FAssign,
                              FClear,
                              buttons->button(QDialogButtonBox::Ok),
                              buttons->button(QDialogButtonBox::Cancel)};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(FAssign, &QPushButton::clicked, this, [this] {
        FState.AssignButtonClick();
        ShowCover();
    });
    connect(FClear, &QPushButton::clicked, this, [this] {
        FState.ClearButtonClick();
        ShowCover();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool PropertiesDialog::Execute() {
    if (!FState.Open())
        return false;
    ShowValues();
    return exec() == QDialog::Accepted;
}

void PropertiesDialog::done(int result) {
    // OK writes the file; values it refuses keep the dialog open with their message.
    if (result == QDialog::Accepted) {
        TakeValues();
        if (FState.Confirm() == TPropertiesDialogState::TConfirmed::StayOpen)
            return;
    }
    QDialog::done(result);
}

void PropertiesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* window = parentWidget() ? parentWidget()->window() : nullptr)
        move(window->frameGeometry().center() - rect().center());
    FArtist->setFocus();
}

void PropertiesDialog::ShowValues() {
    const TPropertiesValues& v = FState.Values();
    FArtist->setText(v.Artist);
    FTitle->setText(v.Title);
    FTrackNumber->SetText(v.TrackNumber);
    FAlbumTitle->setText(v.AlbumTitle);
    FYear->setText(v.Year);
    FGenre->clear();
    FGenre->addItems(FState.GenreItems());
    FGenre->setCurrentIndex(-1);
    FGenre->setEditText(v.Genre);
    FComments->setText(v.Comments);
    ShowCover();
}

void PropertiesDialog::ShowCover() {
    const QImage& image = FState.CoverImage();
    if (image.isNull()) {
        FCoverView->setPixmap(QPixmap());
        FCoverView->setText(FState.CoverNote());
        return;
    }
    const QSize inner = FCoverView->contentsRect().size();
    FCoverView->setPixmap(
        QPixmap::fromImage(image.scaled(inner, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PropertiesDialog::TakeValues() {
    TPropertiesValues& v = FState.Values();
    v.Artist = FArtist->text();
    v.Title = FTitle->text();
    v.TrackNumber = FTrackNumber->Text();
    v.AlbumTitle = FAlbumTitle->text();
    v.Year = FYear->text();
    v.Genre = FGenre->currentText();
    v.Comments = FComments->text();
}

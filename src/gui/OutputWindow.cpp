#include "gui/OutputWindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

OutputWindow::OutputWindow(QWidget* parent)
    : QDialog(parent), FText(new QPlainTextEdit(this)),
      FErrorCount(new QLabel(QStringLiteral("0 error"), this)),
      FDeleteBackupFiles(new QCheckBox(QStringLiteral("Delete backup files"), this)) {
    setWindowTitle(QStringLiteral("Output"));
    setObjectName(QStringLiteral("OutputWindow"));
    FText->setReadOnly(true);
    FText->setLineWrapMode(QPlainTextEdit::NoWrap);
    FText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FText->setMinimumSize(640, 360);
    FDeleteBackupFiles->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    FFix = buttons->addButton(QStringLiteral("Fix"), QDialogButtonBox::AcceptRole);
    FClose = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    FFix->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(FErrorCount);
    bottom->addWidget(FDeleteBackupFiles);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FText);
    layout->addLayout(bottom);
    // A fixed border: the report scrolls inside it.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool OutputWindow::Show(TToolOutput& output) {
    setWindowTitle(output.Caption);
    FText->setPlainText(output.Lines.join(u'\n'));
    FErrorCount->setText(output.ErrorCountText);
    FErrorCount->setVisible(!output.ErrorCountText.isEmpty());
    FDeleteBackupFiles->setChecked(output.DeleteBackupFiles);
    FDeleteBackupFiles->setVisible(output.DeleteBackupFilesShown);
    const bool fix = exec() == QDialog::Accepted;
    output.DeleteBackupFiles = FDeleteBackupFiles->isChecked();
    return fix;
}

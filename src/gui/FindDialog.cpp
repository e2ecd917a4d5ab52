#include "gui/FindDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget* parent) : QDialog(parent), FEdit(new QLineEdit) {
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Find what:")));
    row->addWidget(FEdit, 1);
    auto* buttons = new QDialogButtonBox;
    QPushButton* find =
        buttons->addButton(QStringLiteral("Find Next"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    find->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, &FindDialog::Closed);
    connect(find, &QPushButton::clicked, this, [this] { emit FindClicked(FEdit->text()); });
    connect(FEdit, &QLineEdit::textChanged, this,
            [find](const QString& text) { find->setEnabled(!text.isEmpty()); });
    find->setEnabled(false);
}

void FindDialog::SetText(const QString& text) {
    FEdit->setText(text);
}
QString FindDialog::Text() const {
    return FEdit->text();
}

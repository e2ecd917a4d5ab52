#include "gui/StringListEditor.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

StringListEditor::StringListEditor(QWidget* parent) : QDialog(parent), FText(new QPlainTextEdit) {
    setObjectName(QStringLiteral("StringListEditor"));
    FText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FText->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FText);
    layout->addWidget(buttons);
    resize(360, 420);
}

std::optional<QString> StringListEditor::Edit(const QString& title, const QString& text) {
    setWindowTitle(title);
    FText->setPlainText(text);
    FText->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return FText->toPlainText();
}

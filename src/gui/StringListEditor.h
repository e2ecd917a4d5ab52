#pragma once

#include <QDialog>
#include <optional>

class QPlainTextEdit;

// Lets the person edit a list as plain text, one item per line; made once and reused.
class StringListEditor : public QDialog {
    Q_OBJECT
public:
    explicit StringListEditor(QWidget* parent = nullptr);

    // Shows the text under the given title, modally; the edited text on OK, nothing on Cancel.
    std::optional<QString> Edit(const QString& title, const QString& text);
    QPlainTextEdit* TextField() const { return FText; }

private:
    QPlainTextEdit* FText;
};

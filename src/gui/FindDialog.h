#pragma once

#include <QDialog>

class QLineEdit;

// The list's non-modal find dialog: a text and a find button, without match-case, whole-word
// or direction choices.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent);
    void SetText(const QString& text);
    QString Text() const;

signals:
    void FindClicked(const QString& text);
    void Closed();

private:
    QLineEdit* FEdit;
};

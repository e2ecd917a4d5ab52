#pragma once

#include <QAbstractSpinBox>

// The track number field: digits only, any number of them, with arrows that step the number
// between 0 and 1000. Unlike QSpinBox it shows a number above 1000 that a file holds as it is.
class TrackNumberSpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    static constexpr int Maximum = 1000;

    explicit TrackNumberSpinBox(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The number the text holds, or -1 when it holds none that fits an int.
    int Number() const;
};

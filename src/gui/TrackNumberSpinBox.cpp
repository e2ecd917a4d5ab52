#include "gui/TrackNumberSpinBox.h"

#include <QLineEdit>
#include <algorithm>

TrackNumberSpinBox::TrackNumberSpinBox(QWidget* parent) : QAbstractSpinBox(parent) {
    setObjectName(QStringLiteral("TrackNumberEdit"));
    SetText(QStringLiteral("0"));
}

QString TrackNumberSpinBox::Text() const {
    return lineEdit()->text();
}

void TrackNumberSpinBox::SetText(const QString& text) {
    lineEdit()->setText(text);
    update();
}

int TrackNumberSpinBox::Number() const {
    bool ok = false;
    const int number = Text().toInt(&ok);
    return ok ? number : -1;
}

void TrackNumberSpinBox::stepBy(int steps) {
    const int number = std::max(Number(), 0);
    SetText(QString::number(std::clamp(number + steps, 0, Maximum)));
    selectAll();
}

QValidator::State TrackNumberSpinBox::validate(QString& input, int&) const {
    for (const QChar c : input)
        if (c < u'0' || c > u'9')
            return QValidator::Invalid;
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled TrackNumberSpinBox::stepEnabled() const {
    const int number = Number();
    StepEnabled enabled = StepNone;
    if (number < 0 || number > 0)
        enabled |= StepDownEnabled;
    if (number < Maximum)
        enabled |= StepUpEnabled;
    return enabled;
}

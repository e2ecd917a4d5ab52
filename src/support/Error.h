#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The error that operations raise when they fail with a message meant for the user.
// Command handlers catch it and show Message() in the general error report.
class TError : public std::exception {
public:
    explicit TError(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
    const QString& Message() const { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

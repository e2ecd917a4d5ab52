#include "cli/CliUiPort.h"

void CliUiPort::Print(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), FOut);
    std::fputc('\n', FOut);
    std::fflush(FOut);
}

void CliUiPort::ShowMessage(MessageKind kind, const QString& text, const QString&) {
    static const char* const prefixes[] = {"Information: ", "Warning: ", "Error: "};
    Print(QString::fromLatin1(prefixes[static_cast<int>(kind)]) + text);
}

bool CliUiPort::AskYesNo(const QString& text, const QString&) {
    const bool yes = FAnswer == Answer::Yes;
    Print(text + (yes ? QStringLiteral(" [yes]") : QStringLiteral(" [no]")));
    return yes;
}

#include "cli/CliUiPort.h"

#include <QRegularExpression>
#include <algorithm>

void CliUiPort::Print(const QString& lead, const QString& text) {
    // A message's line break is a CR (CR LF in some texts); a bare CR on a terminal would let the
    // next line overwrite this one, so each line is printed on its own, the later ones indented
    // under the first one's text.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    const QString indent(std::max<qsizetype>(lead.size(), 2), u' ');
    FProgress.Clear();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        std::fputs(((i == 0 ? lead : indent) + lines[i]).toLocal8Bit().constData(), FOut);
        std::fputc('\n', FOut);
    }
    std::fflush(FOut);
}

void CliUiPort::ShowMessage(MessageKind kind, const QString& text, const QString&) {
    static const char* const prefixes[] = {"Information: ", "Warning: ", "Error: "};
    Print(QString::fromLatin1(prefixes[static_cast<int>(kind)]), text);
}

bool CliUiPort::AskYesNo(const QString& text, const QString&) {
    const bool yes = FAnswer == Answer::Yes;
    Print({}, text + (yes ? QStringLiteral(" [yes]") : QStringLiteral(" [no]")));
    return yes;
}

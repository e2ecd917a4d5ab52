// A second instance for the log tests: opens the activity log as the window does, writes the
// line given as its argument, says "ready" on stdout and keeps the log until stdin closes; then
// writes the line once more, followed by " again".
#include "support/LogFile.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString line = app.arguments().value(1);
    TKelmLogFile log;
    log.SetLogText(line);
    std::printf("ready\n");
    std::fflush(stdout);
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
    log.SetLogText(line + QStringLiteral(" again"));
    return 0;
}

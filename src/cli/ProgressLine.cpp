#include "cli/ProgressLine.h"

#include <QString>

namespace {

constexpr qint64 DrawIntervalMs = 100;

} // namespace

void TProgressLine::Start(int maximum, int position) {
    FMaximum = maximum;
    FPosition = position;
    FStartPosition = position;
    FStarted.start();
    FLastDraw = -1;
}

void TProgressLine::SetPosition(int position) {
    FPosition = position;
    if (!FEnabled || FMaximum <= 0)
        return;
    if (FPosition >= FMaximum) {
        Clear();
        return;
    }
    const qint64 now = FStarted.elapsed();
    if (FLastDraw >= 0 && now - FLastDraw < DrawIntervalMs)
        return;
    FLastDraw = now;
    Draw();
}

void TProgressLine::ShowText(const QString& line) {
    if (!FEnabled)
        return;
    if (!FStarted.isValid())
        FStarted.start();
    const qint64 now = FStarted.elapsed();
    if (FLastDraw >= 0 && now - FLastDraw < DrawIntervalMs)
        return;
    FLastDraw = now;
    DrawLine(line);
}

void TProgressLine::Draw() {
    QString line = QStringLiteral("%1 of %2 files").arg(FPosition).arg(FMaximum);
    const double seconds = FStarted.elapsed() / 1000.0;
    const int done = FPosition - FStartPosition;
    if (seconds > 0.2 && done > 0) {
        const double rate = done / seconds;
        line += QStringLiteral(", %1 files/s, %2 s left")
                    .arg(qRound(rate))
                    .arg(qRound((FMaximum - FPosition) / rate));
    }
    DrawLine(line);
}

void TProgressLine::DrawLine(const QString& line) {
    // Back to the line's start, the text, and the rest of the old line erased.
    std::fprintf(FOut, "\r%s\033[K", line.toLocal8Bit().constData());
    std::fflush(FOut);
    FShown = true;
}

void TProgressLine::Clear() {
    if (!FShown)
        return;
    std::fputs("\r\033[K", FOut);
    std::fflush(FOut);
    FShown = false;
}

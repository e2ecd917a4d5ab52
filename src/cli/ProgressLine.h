#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

// One status line on a terminal that follows a long job: "1200 of 20000 files, 850 files/s,
// 20 s left", rewritten in place at most ten times a second and erased when the job ends or
// before anything else is printed. Does nothing until it is switched on.
class TProgressLine {
public:
    explicit TProgressLine(std::FILE* out) : FOut(out) {}
    ~TProgressLine() { Clear(); }
    TProgressLine(const TProgressLine&) = delete;
    TProgressLine& operator=(const TProgressLine&) = delete;

    void SetEnabled(bool enabled) { FEnabled = enabled; }
    // A new job of maximum steps starts at position.
    void Start(int maximum, int position);
    void SetPosition(int position);
    void Step() { SetPosition(FPosition + 1); }
    // A line of the job's own making (a download's file, amount and speed) instead of the
    // counted one, drawn as often as the counted one.
    void ShowText(const QString& line);
    // Erases the line when one is shown.
    void Clear();

private:
    void Draw();
    void DrawLine(const QString& line);

    std::FILE* FOut;
    bool FEnabled = false;
    bool FShown = false;
    int FMaximum = 0;
    int FPosition = 0;
    int FStartPosition = 0;
    QElapsedTimer FStarted;
    qint64 FLastDraw = -1;
};

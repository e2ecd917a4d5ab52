#pragma once

#include <QElapsedTimer>
#include <QString>

// What a download's progress window shows (the data file update's and the new version's);
// the window only paints it.
struct TTransferView {
    QString File = QStringLiteral("-");
    QString Speed = QStringLiteral("0 KB/sec");
    QString Status = QStringLiteral("Downloading file");
    QString ElapsedTime = QStringLiteral("00:00:00");
    QString RemainingTime = QStringLiteral("00:00:00");
    QString Transfer = QStringLiteral("0 KB of 0 KB");
    qint64 FilePosition = 0;
    qint64 FileMaximum = 0;
    qint64 OverallPosition = 0;
    qint64 OverallMaximum = 0;
    bool CancelEnabled = false;

    // Speed, elapsed and remaining time after the given whole seconds, with position bytes of
    // maximum received.
    void ShowTimes(qint64 seconds, qint64 position, qint64 maximum);
    // The transfer starts: its times count from now.
    void StartClock();
    // The times shown again once a whole second has passed since they last were (or at once
    // when forced); false when nothing changed.
    bool Tick(qint64 position, qint64 maximum, bool force);

private:
    QElapsedTimer FClock;
    qint64 FLastTick = 0;
};

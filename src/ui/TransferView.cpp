#include "ui/TransferView.h"

#include "net/TransferText.h"

#include <algorithm>

void TTransferView::ShowTimes(qint64 seconds, qint64 position, qint64 maximum) {
    Speed = seconds == 0 ? QStringLiteral("0 KB/sec")
                         : TransferText::SizeText(position / seconds) + QStringLiteral("/sec");
    ElapsedTime = TransferText::Duration(seconds);
    if (position > 0)
        RemainingTime =
            TransferText::Duration(seconds * std::max<qint64>(maximum - position, 0) / position);
}

void TTransferView::StartClock() {
    FClock.start();
    FLastTick = 0;
}

bool TTransferView::Tick(qint64 position, qint64 maximum, bool force) {
    const qint64 seconds = FClock.elapsed() / 1000;
    if (!force && seconds == FLastTick)
        return false;
    FLastTick = seconds;
    ShowTimes(seconds, position, maximum);
    return true;
}

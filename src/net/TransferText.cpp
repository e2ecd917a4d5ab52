#include "net/TransferText.h"

#include <QLocale>

namespace TransferText {

QString SizeText(qint64 bytes) {
    if (bytes <= 0)
        return QStringLiteral("0 KB");
    if (bytes < 1024)
        return QStringLiteral("1 KB");
    return QLocale().toString(bytes / 1024) + QStringLiteral(" KB");
}

qint64 Percentage(qint64 received, qint64 expected) {
    if (expected <= 0)
        return 0;
    const qint64 scaled = received * 100;
    qint64 quotient = scaled / expected;
    const qint64 twiceRemainder = 2 * (scaled % expected);
    if (twiceRemainder > expected || (twiceRemainder == expected && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

QString Transfer(qint64 received, qint64 expected) {
    return SizeText(received) + QStringLiteral(" of ") + SizeText(expected) + QStringLiteral(" (") +
           QString::number(Percentage(received, expected)) + QStringLiteral("%)");
}

QString Duration(qint64 seconds) {
    seconds = std::max<qint64>(seconds, 0);
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
    return two(seconds / 3600) + u':' + two(seconds / 60 % 60) + u':' + two(seconds % 60);
}

QString ShortenedInTheMiddle(const QString& text, int maxLength) {
    if (text.size() <= maxLength || maxLength < 5)
        return text;
    const int kept = maxLength - 3;
    const int head = kept / 2;
    return text.left(head) + QStringLiteral("...") + text.right(kept - head);
}

} // namespace TransferText

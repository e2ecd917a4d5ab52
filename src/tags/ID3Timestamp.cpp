#include "tags/ID3Timestamp.h"

#include <array>

QDateTime ID3ZeroDate() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
}

QDateTime ParseID3Timestamp(const QString& text) {
    // A part is taken when the parser reaches its end position (1-based); the separators at
    // those positions are not checked.
    constexpr std::array<int, 6> EndPositions{5, 8, 11, 14, 17, 20};
    std::array<int, 6> parts{0, 1, 1, 0, 0, 0};
    size_t part = 0;
    int value = 0;
    const int length = int(qMin<qsizetype>(text.size(), 19));
    for (int position = 1; position <= 20 && part < EndPositions.size(); ++position) {
        if (position == EndPositions[part]) {
            parts[part++] = value;
            value = 0;
            if (position > length)
                break;
            continue;
        }
        if (position > length)
            break;
        const QChar c = text[position - 1];
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c.unicode() - u'0');
    }
    const QDate date(parts[0], parts[1], parts[2]);
    const QTime time(parts[3], parts[4], parts[5]);
    if (parts[0] < 1 || !date.isValid() || !time.isValid())
        return ID3ZeroDate();
    return QDateTime(date, time, Qt::UTC);
}

QString FormatID3Timestamp(const QDateTime& dateTime) {
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const int year = qBound(0, date.year(), 9999);
    QString text = QStringLiteral("%1-%2-%3")
                       .arg(year, 4, 10, QLatin1Char('0'))
                       .arg(date.month(), 2, 10, QLatin1Char('0'))
                       .arg(date.day(), 2, 10, QLatin1Char('0'));
    if (time.isValid() && (time.hour() || time.minute() || time.second()))
        text += QStringLiteral("T%1:%2:%3")
                    .arg(time.hour(), 2, 10, QLatin1Char('0'))
                    .arg(time.minute(), 2, 10, QLatin1Char('0'))
                    .arg(time.second(), 2, 10, QLatin1Char('0'));
    return text;
}

#pragma once

#include <QString>

// The texts that progress windows of downloads show.
namespace TransferText {

// A byte count in whole KiB: "0 KB" for 0, "1 KB" up to 1023 bytes, otherwise the KiB (fraction
// dropped) grouped by the user's thousands separator, "2,500 KB".
QString SizeText(qint64 bytes);
// Received times 100 divided by expected, rounded to the nearest integer (halves to even);
// 0 when nothing is expected.
qint64 Percentage(qint64 received, qint64 expected);
// "A of B (P%)" in size texts.
QString Transfer(qint64 received, qint64 expected);
// Whole seconds as "hh:mm:ss"; hours go on past 99 rather than wrap.
QString Duration(qint64 seconds);
// The text shortened in its middle with an ellipsis to at most maxLength characters.
QString ShortenedInTheMiddle(const QString& text, int maxLength);

} // namespace TransferText

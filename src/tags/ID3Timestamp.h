#pragma once

#include <QDateTime>
#include <QString>

// Dates of the recording time frame. They carry no time zone: they are held in UTC so that
// no local clock change can shift or reject them.

// 30 December 1899, 00:00: the date of a missing or unreadable recording time.
QDateTime ID3ZeroDate();

// Reads yyyy-MM-ddTHH:mm:ss from the first 19 characters; parts that are missing keep their
// defaults (month and day 1, time 0), so "2004" is 1 January 2004. Text that gives no real
// date (year 0 included) gives the zero date.
QDateTime ParseID3Timestamp(const QString& text);

// "yyyy-MM-dd" when the time of day is zero, else "yyyy-MM-ddTHH:mm:ss"; years beyond 9999 are
// written as 9999.
QString FormatID3Timestamp(const QDateTime& dateTime);

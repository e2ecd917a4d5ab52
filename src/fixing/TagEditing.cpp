#include "fixing/TagEditing.h"

#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <algorithm>
#include <array>

void SetFirstOfList(QStringList& Strings, const QString& S) {
    if (Strings.isEmpty())
        Strings.append(S);
    else
        Strings.first() = S;
}

void RemoveAllFramesByID(TID3v2Tag& AController, TID3FrameID FrameID) {
    AController.Frames().RemoveAllByID(FrameID);
}

void SetLeadingValues(QStringList& values, const QStringList& parts) {
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i < values.size())
            values[i] = parts[i];
        else
            values.append(parts[i]);
    }
}

void WriteYear(TID3v2Tag& v2, TID3v1Tag& v1, const QString& year) {
    v1.Year = year;
    if (year.isEmpty()) {
        RemoveAllFramesByID(v2, fiRecordingTime);
        return;
    }
    const int number = year.toInt();
    if (v2.WriteVersion() == ive2_4) {
        const QDateTime changed = ChangeYear(v2.Texts().RecordingTime(), number);
        // Year 0 names no date: the tag then has no recording time, as with an empty year.
        if (changed.isValid())
            v2.Texts().SetRecordingTime(changed);
        else
            RemoveAllFramesByID(v2, fiRecordingTime);
    } else {
        v2.Texts().SetYear(quint32(number));
    }
}

void WriteComment(TID3v2Tag& v2, TID3v1Tag& v1, const QString& comment) {
    v1.Comment = comment;
    RemoveAllFramesByID(v2, fiComment);
    TID3ContentFrame::FindOrCreate(v2, fiComment)->SetText(comment);
}

QDateTime ChangeYear(const QDateTime& ADateTime, int NewYear) {
    if (NewYear < 1 || NewYear > 9999)
        return {};
    const QDate date = ADateTime.date();
    int day = date.day();
    // Moving a leap day into an ordinary year would give no date at all.
    if (date.month() == 2 && day == 29 && !QDate::isLeapYear(NewYear))
        day = 28;
    return QDateTime(QDate(NewYear, date.month(), day), QTime(0, 0), Qt::UTC);
}

QString TrackNumberDigits(const QString& cell) {
    QString digits;
    for (const QChar c : cell)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

quint8 ID3v1TrackNumber(const QString& trackNumber) {
    unsigned value = 0;
    for (const QChar c : trackNumber)
        if (c >= u'0' && c <= u'9')
            value = (value * 10 + unsigned(c.unicode() - u'0')) % 256;
    return quint8(value);
}

namespace {

// The accented capitals that become small letters 0x20 above them.
constexpr std::array<char16_t, 26> LatinOneCapitals = {
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8,
    0x00C9, 0x00CA, 0x00CB, 0x00CD, 0x00CE, 0x00CF, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D8, 0x00D9, 0x00DB, 0x00DC, 0x00DD};
// And those whose small letter follows them.
constexpr std::array<char16_t, 8> LatinExtendedCapitals = {0x0106, 0x010C, 0x0112, 0x0118,
                                                           0x0141, 0x015E, 0x0160, 0x017D};

template <std::size_t N> bool Contains(const std::array<char16_t, N>& set, char16_t c) {
    return std::find(set.begin(), set.end(), c) != set.end();
}

} // namespace

QString LowerCaseWithAccents(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || Contains(LatinOneCapitals, u))
            c = QChar(char16_t(u + 0x20));
        else if (Contains(LatinExtendedCapitals, u))
            c = QChar(char16_t(u + 1));
    }
    return result;
}

void WriteListValues(TID3v2Tag& v2, TID3v1Tag& v1, const TListValues& values) {
    v1.SongName = values.Title;
    v2.Texts().SetTitle(values.Title);
    v1.AlbumTrack = ID3v1TrackNumber(values.TrackNumber);
    v2.Texts().SetTrackNum(values.TrackNumber);
    v1.Album = values.AlbumTitle;
    v2.Texts().SetAlbum(values.AlbumTitle);
    WriteYear(v2, v1, values.Year);
    v1.SetGenreAsString(values.Genre);
    SetFirstOfList(v2.Texts().ContentType(), values.Genre);
    WriteComment(v2, v1, values.Comment);
}

#include "ui/CellCompare.h"

#include <QDate>
#include <algorithm>

namespace {

constexpr qint64 MsPerDay = 24 * 60 * 60 * 1000;

// A locale format without its quoted literal parts.
QString FormatFields(const QString& format) {
    QString fields;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted)
            fields.append(c);
    }
    return fields;
}

// The first separator character of a locale format, skipping its letters and blanks. A format
// whose fields only blanks divide ("d MMM yyyy") names its month, which no cell reading
// handles, so the usual separator stands in.
QChar FormatSeparator(const QString& format, QChar fallback) {
    for (QChar c : FormatFields(format))
        if (!c.isLetter() && !c.isSpace())
            return c;
    return fallback;
}

std::array<char, 3> DateOrderOf(const QString& format) {
    const QString fields = FormatFields(format);
    const qsizetype day = fields.indexOf(u'd');
    const qsizetype month = fields.indexOf(u'M');
    const qsizetype year = fields.indexOf(u'y');
    if (day < 0 || month < 0 || year < 0)
        return {'D', 'M', 'Y'};
    std::array<std::pair<qsizetype, char>, 3> order = {{{day, 'D'}, {month, 'M'}, {year, 'Y'}}};
    std::sort(order.begin(), order.end());
    return {order[0].second, order[1].second, order[2].second};
}

// A cursor over a cell text for the date and time readers.
class TScanner {
public:
    explicit TScanner(QStringView text) : FText(text) {}

    void SkipBlanks() {
        while (FPos < FText.size() && FText[FPos] == u' ')
            ++FPos;
    }
    bool AtEndAfterBlanks() {
        SkipBlanks();
        return FPos == FText.size();
    }
    bool Char(QChar c) {
        if (FPos < FText.size() && FText[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }
    bool Text(const QString& t) {
        if (t.isEmpty() || !FText.mid(FPos).startsWith(t, Qt::CaseInsensitive))
            return false;
        FPos += t.size();
        return true;
    }
    // At most nine digits, so that the value always fits.
    bool Number(int& value, int& digits) {
        value = 0;
        digits = 0;
        while (FPos < FText.size() && FText[FPos] >= u'0' && FText[FPos] <= u'9') {
            if (++digits > 9)
                return false;
            value = value * 10 + (FText[FPos].unicode() - u'0');
            ++FPos;
        }
        return digits > 0;
    }

private:
    QStringView FText;
    qsizetype FPos = 0;
};

// Days since 1899-12-30 of a numeric short date in the locale's field order.
std::optional<qint64> ScanDate(TScanner& s, const TCellFormats& f) {
    int values[3];
    int digits[3];
    for (int i = 0; i < 3; ++i) {
        s.SkipBlanks();
        if (i > 0) {
            if (!s.Char(f.DateSeparator))
                return std::nullopt;
            s.SkipBlanks(); // "1. 2. 2023" in locales that write a blank after the dot
        }
        if (!s.Number(values[i], digits[i]))
            return std::nullopt;
    }
    int day = 0, month = 0, year = 0, yearDigits = 0;
    for (int i = 0; i < 3; ++i) {
        switch (f.DateOrder[i]) {
        case 'D':
            day = values[i];
            break;
        case 'M':
            month = values[i];
            break;
        default:
            year = values[i];
            yearDigits = digits[i];
        }
    }
    if (yearDigits <= 2) {
        year += f.TwoDigitYearBase / 100 * 100;
        if (year < f.TwoDigitYearBase)
            year += 100;
    }
    const QDate date(year, month, day);
    if (year < 1 || year > 9999 || !date.isValid())
        return std::nullopt;
    return QDate(1899, 12, 30).daysTo(date);
}

// -1 when no morning or afternoon designator follows, else the hours it adds.
int ScanAmPm(TScanner& s, const TCellFormats& f) {
    if (s.Text(f.AmText) || s.Text(QStringLiteral("AM")))
        return 0;
    if (s.Text(f.PmText) || s.Text(QStringLiteral("PM")))
        return 12;
    return -1;
}

// Milliseconds since midnight of "h:mm[:ss[.zzz]]", with an optional designator before or after.
std::optional<qint64> ScanTime(TScanner& s, const TCellFormats& f) {
    s.SkipBlanks();
    int baseHour = ScanAmPm(s, f);
    s.SkipBlanks();
    int hour = 0, minute = 0, second = 0, msec = 0, digits = 0;
    if (!s.Number(hour, digits))
        return std::nullopt;
    if (s.Char(f.TimeSeparator)) {
        if (!s.Number(minute, digits))
            return std::nullopt;
        if (s.Char(f.TimeSeparator)) {
            if (!s.Number(second, digits))
                return std::nullopt;
            if (s.Text(f.DecimalSeparator)) {
                int fraction = 0;
                if (!s.Number(fraction, digits))
                    return std::nullopt;
                for (; digits > 3; --digits)
                    fraction /= 10;
                for (; digits < 3; ++digits)
                    fraction *= 10;
                msec = fraction;
            }
        }
    }
    s.SkipBlanks();
    if (baseHour < 0)
        baseHour = ScanAmPm(s, f);
    if (baseHour >= 0) {
        if (hour > 12)
            return std::nullopt;
        hour = hour % 12 + baseHour;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return ((hour * 60 + minute) * 60 + second) * qint64(1000) + msec;
}

enum class TDateKind { None, DateTime, Date, Time };

// Which reading the separators call for: a text with two date separators and one or two
// time separators is a date with a time, and so on.
TDateKind DateKindOf(const QString& text, const TCellFormats& f) {
    const qsizetype dates = text.count(f.DateSeparator);
    const qsizetype times = text.count(f.TimeSeparator);
    const qsizetype length = text.size();
    const bool hasTime = times == 1 || times == 2;
    if (hasTime && dates == 2 && length < 23)
        return TDateKind::DateTime;
    if (dates == 2 && length <= 10)
        return TDateKind::Date;
    if (hasTime && length < 12)
        return TDateKind::Time;
    return TDateKind::None;
}

std::optional<qint64> ScanTimeOnly(const QString& text, const TCellFormats& f) {
    TScanner s(text);
    const auto time = ScanTime(s, f);
    return time && s.AtEndAfterBlanks() ? time : std::nullopt;
}

std::optional<qint64> ScanDateOnly(const QString& text, const TCellFormats& f) {
    TScanner s(text);
    const auto days = ScanDate(s, f);
    return days && s.AtEndAfterBlanks() ? std::optional(*days * MsPerDay) : std::nullopt;
}

// A date, optionally followed by a time; failing that, a time alone.
std::optional<qint64> ScanDateTime(const QString& text, const TCellFormats& f) {
    TScanner s(text);
    if (const auto days = ScanDate(s, f)) {
        if (s.AtEndAfterBlanks())
            return *days * MsPerDay;
        const auto time = ScanTime(s, f);
        if (time && s.AtEndAfterBlanks())
            return *days * MsPerDay + *time;
    }
    return ScanTimeOnly(text, f);
}

// Optional sign, digits, an optional "." fraction, an optional exponent; leading blanks.
bool IsRealNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto digitsFrom = [&](qsizetype& pos) {
        const qsizetype start = pos;
        while (pos < n && text[pos] >= u'0' && text[pos] <= u'9')
            ++pos;
        return pos - start;
    };
    while (i < n && text[i] == u' ')
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype mantissa = digitsFrom(i);
    if (i < n && text[i] == u'.') {
        ++i;
        mantissa += digitsFrom(i);
    }
    if (mantissa == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digitsFrom(i) == 0)
            return false;
    }
    return i == n;
}

std::optional<double> ReadRealNumber(const QString& text) {
    if (!IsRealNumber(text))
        return std::nullopt;
    // The syntax is checked above; out of range reads as an infinity or zero, which still
    // orders correctly.
    return QLocale::c().toDouble(text.trimmed());
}

int Sign(qint64 v) {
    return (v > 0) - (v < 0);
}
int Sign(double a, double b) {
    return (a > b) - (a < b);
}

} // namespace

TCellFormats TCellFormats::FromLocale(const QLocale& locale) {
    TCellFormats f;
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    f.DateSeparator = FormatSeparator(dateFormat, u'/');
    f.TimeSeparator = FormatSeparator(locale.timeFormat(QLocale::ShortFormat), u':');
    f.DateOrder = DateOrderOf(dateFormat);
    f.TwoDigitYearBase = QDate::currentDate().year() - 50;
    f.DecimalSeparator = locale.decimalPoint();
    f.ThousandSeparator = locale.groupSeparator();
    f.AmText = locale.amText();
    f.PmText = locale.pmText();
    return f;
}

std::optional<qint64> ReadCellDateTime(const QString& text, const TCellFormats& formats) {
    const TDateKind kind = DateKindOf(text, formats);
    if (kind == TDateKind::None)
        return std::nullopt;
    const auto value = kind == TDateKind::DateTime ? ScanDateTime(text, formats)
                       : kind == TDateKind::Date   ? ScanDateOnly(text, formats)
                                                   : ScanTimeOnly(text, formats);
    if (!value || *value == 0)
        return std::nullopt;
    return value;
}

std::optional<double> ReadCellNumber(const QString& text, const TCellFormats& formats) {
    if (const auto value = ReadRealNumber(text))
        return value;
    QString local = text;
    if (!formats.ThousandSeparator.isEmpty())
        local.remove(formats.ThousandSeparator);
    if (!formats.DecimalSeparator.isEmpty())
        local.replace(formats.DecimalSeparator, QStringLiteral("."));
    return ReadRealNumber(local);
}

TIPv4Key ReadCellIPv4(const QString& text) {
    if (text.size() < 7 || text.size() > 15 || text.count(u'.') != 3)
        return {};
    for (QChar c : text)
        if (c != u'.' && (c < u'0' || c > u'9'))
            return {};
    qint64 key = 0;
    int group = 0;
    for (QStringView part : QStringView(text).split(u'.')) {
        if (part.isEmpty())
            return {TIPv4Reading::ConversionError, 0};
        // At most 15 characters in all, so a group has at most 9 digits.
        const qint64 value = part.toLongLong();
        if (group < 3 && value > 255)
            return {};
        key = key * 1000 + value;
        ++group;
    }
    if (key == 0)
        return {};
    return {TIPv4Reading::Address, key};
}

TCellComparer::TCellComparer(const QLocale& locale)
    : TCellComparer(locale, TCellFormats::FromLocale(locale)) {}

TCellComparer::TCellComparer(const QLocale& locale, const TCellFormats& formats)
    : FFormats(formats), FCollator(locale) {
    FCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

TCellSortKey TCellComparer::Key(const QString& text) const {
    return {ReadCellDateTime(text, FFormats), ReadCellNumber(text, FFormats), ReadCellIPv4(text),
            FCollator.sortKey(text)};
}

int TCellComparer::Compare(const TCellSortKey& a, const TCellSortKey& b) const {
    if (a.DateTime && b.DateTime)
        return Sign(*a.DateTime - *b.DateTime);
    if (a.Number && b.Number)
        return Sign(*a.Number, *b.Number);
    if (a.IPv4.Reading == TIPv4Reading::ConversionError ||
        b.IPv4.Reading == TIPv4Reading::ConversionError)
        return 0;
    if (a.IPv4.Reading == TIPv4Reading::Address && b.IPv4.Reading == TIPv4Reading::Address)
        return Sign(a.IPv4.Key - b.IPv4.Key);
    return std::clamp(a.Text.compare(b.Text), -1, 1);
}

int TCellComparer::Compare(const QString& a, const QString& b) const {
    return Compare(Key(a), Key(b));
}

int CompareCells(const QString& A, const QString& B, const QLocale& locale) {
    return TCellComparer(locale).Compare(A, B);
}

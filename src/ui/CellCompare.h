#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>
#include <array>
#include <optional>

// What the comparison of list cells takes from the user's locale. Tests build one from a
// fixed QLocale (or by hand) so that they do not depend on the machine's settings.
struct TCellFormats {
    QChar DateSeparator = u'/';
    QChar TimeSeparator = u':';
    // The order of day ('D'), month ('M') and year ('Y') in a short date.
    std::array<char, 3> DateOrder = {'M', 'D', 'Y'};
    // A year written with one or two digits falls in the hundred years that begin here.
    int TwoDigitYearBase = 1950;
    QString DecimalSeparator = QStringLiteral(".");
    QString ThousandSeparator = QStringLiteral(",");
    QString AmText = QStringLiteral("AM");
    QString PmText = QStringLiteral("PM");

    // Separators and date order from the locale's short formats; two-digit years reach
    // 50 years back from today.
    static TCellFormats FromLocale(const QLocale& locale);
};

// Milliseconds since 1899-12-30 00:00, the zero of the date values the list compares. Empty
// when the text is no date or time by the separator-counting rules, does not convert, or
// converts to zero.
std::optional<qint64> ReadCellDateTime(const QString& text, const TCellFormats& formats);

// The value of a real number ("-1.5e3", leading blanks allowed), else of the text with the
// locale's thousands separators removed and its decimal separator read as ".".
std::optional<double> ReadCellNumber(const QString& text, const TCellFormats& formats);

enum class TIPv4Reading { NoAddress, Address, ConversionError };
struct TIPv4Key {
    TIPv4Reading Reading = TIPv4Reading::NoAddress;
    qint64 Key = 0; // g1 * 10^9 + g2 * 10^6 + g3 * 10^3 + g4, for an address
};
// An empty group of digits cannot convert: that is a conversion error, which makes the
// comparison call two cells equal rather than guess.
TIPv4Key ReadCellIPv4(const QString& text);

// What one cell reads as, worked out once so that sorting a long list compares cheaply.
struct TCellSortKey {
    std::optional<qint64> DateTime;
    std::optional<double> Number;
    TIPv4Key IPv4;
    QCollatorSortKey Text;
};

// Compares cell texts: both dates or times by value, else both numbers by value, else both
// IPv4 addresses by key, else the texts in the locale's collation without regard to case.
class TCellComparer {
public:
    explicit TCellComparer(const QLocale& locale);
    TCellComparer(const QLocale& locale, const TCellFormats& formats);

    TCellSortKey Key(const QString& text) const;
    // Negative, zero or positive as a sorts before, with or after b.
    int Compare(const TCellSortKey& a, const TCellSortKey& b) const;
    int Compare(const QString& a, const QString& b) const;

    const TCellFormats& Formats() const { return FFormats; }

private:
    TCellFormats FFormats;
    QCollator FCollator;
};

int CompareCells(const QString& A, const QString& B, const QLocale& locale);

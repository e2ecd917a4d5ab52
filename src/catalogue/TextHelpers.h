#pragma once

#include <QString>

// Small text routines shared by the cleaning, the name computing and the file analysis.
// "Space" here is U+0020 only: tabs and no-break spaces are the cleaning's business.

// True when s is not empty and holds only the digits 0 to 9. Digits of other scripts do not
// count: track numbers and years end up in tags and file names that other players read.
bool IsDecimalNumber(QStringView s);

// s without leading and trailing U+0020 spaces.
QString TrimSpaces(const QString& s);

// s without the run of c at its start, or at its end.
QString TrimLeading(const QString& s, QChar c);
QString TrimTrailing(const QString& s, QChar c);

// Membership in a set of a handful of characters, tested for every character of every name of
// a library: the ASCII members are a bit mask, the others are compared one by one. The set's
// text must outlive the object.
class TCharacterSet {
public:
    explicit TCharacterSet(QStringView set);
    bool Contains(QChar c) const {
        const char16_t u = c.unicode();
        if (u < 128)
            return (FAscii[u >> 6] >> (u & 63)) & 1;
        return FOthers && ContainsOther(c);
    }
    // The position of the first member in s; -1 when there is none.
    qsizetype FirstIn(QStringView s) const;

private:
    bool ContainsOther(QChar c) const;

    QStringView FSet;
    quint64 FAscii[2] = {0, 0};
    bool FOthers = false;
};

// s with every character that occurs in set turned into by; the length stays.
QString ReplaceCharacters(QString s, QStringView set, QChar by);

// s without the characters that occur in set.
QString RemoveCharacters(QString s, QStringView set);

#include "catalogue/TextHelpers.h"

bool IsDecimalNumber(QStringView s) {
    if (s.isEmpty()) {
        return false;
    }
    for (QChar c : s) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

QString TrimSpaces(const QString& s) {
    return TrimTrailing(TrimLeading(s, u' '), u' ');
}

QString TrimLeading(const QString& s, QChar c) {
    qsizetype begin = 0;
    while (begin < s.size() && s.at(begin) == c) {
        ++begin;
    }
    return s.mid(begin);
}

QString TrimTrailing(const QString& s, QChar c) {
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1) == c) {
        --end;
    }
    return s.left(end);
}

namespace {

// The sets are a handful of characters: a plain loop beats a substring search per character.
bool InSet(QStringView set, QChar c) {
    for (QChar member : set)
        if (member == c)
            return true;
    return false;
}

qsizetype FirstInSet(const QString& s, QStringView set) {
    for (qsizetype i = 0; i < s.size(); ++i)
        if (InSet(set, s.at(i)))
            return i;
    return -1;
}

} // namespace

QString ReplaceCharacters(QString s, QStringView set, QChar by) {
    // Most texts hold none of the characters; they are returned without a copy.
    qsizetype i = FirstInSet(s, set);
    if (i < 0)
        return s;
    QChar* data = s.data();
    for (; i < s.size(); ++i)
        if (InSet(set, data[i]))
            data[i] = by;
    return s;
}

QString RemoveCharacters(QString s, QStringView set) {
    if (FirstInSet(s, set) < 0)
        return s;
    s.removeIf([set](QChar c) { return InSet(set, c); });
    return s;
}

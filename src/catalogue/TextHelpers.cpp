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

TCharacterSet::TCharacterSet(QStringView set) : FSet(set) {
    for (QChar member : set) {
        if (member.unicode() < 128)
            FAscii[member.unicode() >> 6] |= quint64(1) << (member.unicode() & 63);
        else
            FOthers = true;
    }
}

bool TCharacterSet::ContainsOther(QChar c) const {
    for (QChar member : FSet)
        if (member == c)
            return true;
    return false;
}

qsizetype TCharacterSet::FirstIn(QStringView s) const {
    for (qsizetype i = 0; i < s.size(); ++i)
        if (Contains(s.at(i)))
            return i;
    return -1;
}

QString ReplaceCharacters(QString s, QStringView set, QChar by) {
    const TCharacterSet members(set);
    // Most texts hold none of the characters; they are returned without a copy.
    qsizetype i = members.FirstIn(s);
    if (i < 0)
        return s;
    QChar* data = s.data();
    for (; i < s.size(); ++i)
        if (members.Contains(data[i]))
            data[i] = by;
    return s;
}

QString RemoveCharacters(QString s, QStringView set) {
    const TCharacterSet members(set);
    if (members.FirstIn(s) < 0)
        return s;
    s.removeIf([&members](QChar c) { return members.Contains(c); });
    return s;
}

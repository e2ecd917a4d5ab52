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

QString ReplaceCharacters(QString s, QStringView set, QChar by) {
    for (QChar& c : s) {
        if (set.contains(c)) {
            c = by;
        }
    }
    return s;
}

QString RemoveCharacters(QString s, QStringView set) {
    s.removeIf([set](QChar c) { return set.contains(c); });
    return s;
}

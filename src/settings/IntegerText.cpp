#include "settings/IntegerText.h"

#include <limits>

std::optional<qint32> ParseInt32(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    const bool negative = t.startsWith(u'-');
    if (negative || t.startsWith(u'+'))
        ++i;
    if (i == t.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

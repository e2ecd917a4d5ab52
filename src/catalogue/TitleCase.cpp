#include "catalogue/TitleCase.h"

#include <string_view>
#include <vector>

namespace {

constexpr char32_t NoCharacter = U'*'; // stands for "none" as previous and look-ahead character

// Code points of a UTF-16 string; a lone surrogate stays as its own value.
std::vector<char32_t> CodePoints(const QString& s) {
    std::vector<char32_t> result;
    result.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            result.push_back(QChar::surrogateToUcs4(c, s.at(i + 1)));
            ++i;
        } else {
            result.push_back(c.unicode());
        }
    }
    return result;
}

QString FromCodePoints(const std::vector<char32_t>& codePoints) {
    QString result;
    result.reserve(qsizetype(codePoints.size()));
    for (char32_t c : codePoints) {
        if (QChar::requiresSurrogates(c)) {
            result.append(QChar(QChar::highSurrogate(c)));
            result.append(QChar(QChar::lowSurrogate(c)));
        } else {
            result.append(QChar(char16_t(c)));
        }
    }
    return result;
}

QString LowerAsciiLetters(const QString& s) {
    QString result = s;
    for (QChar& c : result) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(char16_t(c.unicode() + (u'a' - u'A')));
        }
    }
    return result;
}

bool IsOneOf(char32_t c, std::u32string_view set) {
    return set.find(c) != std::u32string_view::npos;
}

// Raises the first letter of every word. A word starts at the beginning, after a space or a
// hyphen, after an opening bracket or quote that follows a space, and after an apostrophe
// unless it looks like a contraction ("don't", "it's", "we'll", "rock 'n' roll").
QString CapitaliseWords(const QString& s) {
    std::vector<char32_t> text = CodePoints(s);
    char32_t previous = NoCharacter;
    bool capitalise = true;
    const size_t count = text.size();
    for (size_t i = 0; i < count; ++i) {
        // The look-ahead is only real while two or more characters follow.
        const char32_t lookAhead = i + 2 < count ? text[i + 1] : NoCharacter;
        if (capitalise) {
            text[i] = QChar::toUpper(text[i]);
        }
        const char32_t current = text[i];
        if (current == U' ' || current == U'-') {
            capitalise = true;
        } else if (current == U'\'') {
            capitalise = !IsOneOf(previous, U"nue") && !IsOneOf(lookAhead, U"dlsmrv") &&
                         lookAhead != NoCharacter;
        } else if (IsOneOf(current, U"([{\"")) {
            capitalise = previous == U' ';
        } else {
            capitalise = false;
        }
        previous = current;
    }
    return FromCodePoints(text);
}

// Replaces every occurrence of pattern in one left-to-right pass; occurrences are found with
// both sides compared in upper case, the replacement goes in exactly as written.
QString ReplaceIgnoringCase(const QString& text, const QString& pattern,
                            const QString& replacement) {
    QString upperPattern = pattern;
    for (QChar& c : upperPattern) {
        c = c.toUpper();
    }
    QString result;
    result.reserve(text.size());
    const qsizetype last = text.size() - pattern.size();
    qsizetype i = 0;
    while (i <= last) {
        bool match = true;
        for (qsizetype k = 0; k < pattern.size() && match; ++k) {
            match = text.at(i + k).toUpper() == upperPattern.at(k);
        }
        if (match) {
            result += replacement;
            i += pattern.size();
        } else {
            result += text.at(i);
            ++i;
        }
    }
    result += QStringView(text).mid(i);
    return result;
}

struct TLowerCaseException {
    const char16_t* Pattern;
    const char16_t* Replacement;
    bool (*AppliesTo)(const QString& lowered, bool accentCase);
};

bool Always(const QString&, bool) {
    return true;
}
bool NotAccentCase(const QString&, bool accentCase) {
    return !accentCase;
}

// Row order matters: " De " is lowered before " De La " is looked for, so the latter finds
// " de La " and lowers the article as well.
const TLowerCaseException LowerCaseExceptions[] = {
    {u" \u00C1 ", u" \u00E1 ", Always}, // Á
    {u" Al ", u" al ", Always},
    {u" A La ", u" a la ", Always},
    {u" El ", u" el ", [](const QString& lowered, bool) { return !lowered.contains(u"el paso"); }},
    // Accented titles are taken as French, where these words are not small words.
    {u" Com ", u" com ", NotAccentCase},
    {u" Da ", u" da ", NotAccentCase},
    {u" De ", u" de ", NotAccentCase},
    {u" De La ", u" de la ", NotAccentCase},
    {u" Do ", u" do ",
     [](const QString& lowered, bool accentCase) {
         // English "do" stays a word of its own.
         return !accentCase && !lowered.contains(u" to do ") && !lowered.contains(u"where do ") &&
                !lowered.contains(u"how do ");
     }},
    {u" Del ", u" del ", Always},
    {u" De Las ", u" de las ", Always},
    {u" De Los ", u" de los ", Always},
    {u" De Un ", u" de un ", Always},
    {u" E ", u" e ", [](const QString& lowered, bool) { return !lowered.contains(u" e flat "); }},
    {u" \u00C9 ", u" \u00E9 ", Always}, // É
    {u" E A ", u" e a ", Always},
    {u" E O ", u" e o ", Always},
    {u" El La ", u" el la ", Always},
    {u" Em ", u" em ", Always},
    {u" Por El ", u" por el ", Always},
    {u" X ", u" x ", Always},
    {u" Y La ", u" y la ", Always},
    {u" Y ", u" y ", Always},
    {u"IMac", u"iMac", Always},
    {u"IPad", u"iPad", Always},
    {u"IPhone", u"iPhone", Always},
    {u"IPod", u"iPod", Always},
    {u"ITunes", u"iTunes", Always},
    {u"'N'", u"'n'", Always},
};

} // namespace

QString TitleCase(const QString& S) {
    const QString lowered = LowerAsciiLetters(S);
    bool accentCase = false;
    // é è ê à â ï
    for (char16_t accented : {u'\u00E9', u'\u00E8', u'\u00EA', u'\u00E0', u'\u00E2', u'\u00EF'}) {
        accentCase = accentCase || lowered.contains(QChar(accented));
    }
    QString result = CapitaliseWords(S);
    for (const TLowerCaseException& row : LowerCaseExceptions) {
        if (row.AppliesTo(lowered, accentCase)) {
            result = ReplaceIgnoringCase(result, QString::fromUtf16(row.Pattern),
                                         QString::fromUtf16(row.Replacement));
        }
    }
    return result;
}

#include "ui/AccentFolding.h"

#include <array>

namespace {

struct TAccentRange {
    char16_t First;
    char16_t Last;
    char16_t Plain;
};

// The table is deliberately not a Unicode decomposition: it also maps a few Cyrillic
// capitals that look like Latin ones, and it leaves some accented letters alone (U+00EC,
// U+00CC, U+00FD, U+00FF), so that a search finds exactly what users of the list expect.
constexpr TAccentRange AccentTable[] = {
    {0x00E0, 0x00E5, u'a'},  {0x00E7, 0x00E7, u'c'},  {0x0107, 0x0107, u'c'},
    {0x010D, 0x010D, u'c'},  {0x00E8, 0x00EB, u'e'},  {0x0119, 0x0119, u'e'},
    {0x00ED, 0x00EF, u'i'},  {0x0131, 0x0131, u'i'},  {0x0142, 0x0142, u'l'},
    {0x00F1, 0x00F1, u'n'},  {0x0144, 0x0144, u'n'},  {0x00F2, 0x00F6, u'o'},
    {0x00F8, 0x00F8, u'o'},  {0x015F, 0x015F, u's'},  {0x0161, 0x0161, u's'},
    {0x00B5, 0x00B5, u'u'},  {0x00F9, 0x00FC, u'u'},  {0x017E, 0x017E, u'z'},
    {0x00C0, 0x00C5, u'A'},  {0x1E9E, 0x1E9E, u'B'},  {0x00C7, 0x00C7, u'C'},
    {0x0106, 0x0106, u'C'},  {0x010C, 0x010C, u'C'},  {0x0421, 0x0421, u'C'},
    {0x00C8, 0x00CB, u'E'},  {0x0118, 0x0118, u'E'},  {0x0415, 0x0415, u'E'},
    {0x041D, 0x041D, u'H'},  {0x00CD, 0x00CF, u'I'},  {0x0130, 0x0130, u'I'},
    {0x041A, 0x041A, u'K'},  {0x0141, 0x0141, u'L'},  {0x00D1, 0x00D1, u'N'},
    {0x0143, 0x0143, u'N'},  {0x00D2, 0x00D6, u'O'},  {0x00D8, 0x00D8, u'O'},
    {0x041E, 0x041E, u'O'},  {0x0420, 0x0420, u'P'},  {0x015E, 0x015E, u'S'},
    {0x0160, 0x0160, u'S'},  {0x00D9, 0x00DC, u'U'},  {0x00DD, 0x00DD, u'Y'},
    {0x017D, 0x017D, u'Z'},  {0x0060, 0x0060, u'\''}, {0x00B4, 0x00B4, u'\''},
    {0x2018, 0x2019, u'\''},
};

// Every table entry but two lies below U+0430; a direct lookup for that block keeps a search
// over a large list fast, and the rest go through the table.
constexpr char16_t LookupEnd = 0x0430;

constexpr std::array<char16_t, LookupEnd> BuildLookup() {
    std::array<char16_t, LookupEnd> lookup{};
    for (char16_t c = 0; c < LookupEnd; ++c)
        lookup[c] = c;
    for (const TAccentRange& r : AccentTable)
        for (char16_t c = r.First; c <= r.Last && c < LookupEnd; ++c)
            lookup[c] = r.Plain;
    return lookup;
}

constexpr std::array<char16_t, LookupEnd> Lookup = BuildLookup();

char16_t FoldAccent(char16_t c) {
    if (c < LookupEnd)
        return Lookup[c];
    for (const TAccentRange& r : AccentTable)
        if (c >= r.First && c <= r.Last)
            return r.Plain;
    return c;
}

} // namespace

QString FoldAccents(const QString& text) {
    QString folded = text;
    for (QChar& c : folded)
        c = QChar(FoldAccent(c.unicode()));
    return folded;
}

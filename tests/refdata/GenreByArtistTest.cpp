#include "refdata/ReferenceData.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace {

// The learned genre of an artist is that of the first line, in the list's order (sorted without
// regard to case), that begins with the artist's exact spelling and a tab; lines of the same
// artist in other letters, and of longer names, stand around it.
TEST(GenreByArtist, FirstExactLineAmongItsNeighbours) {
    TempDir dir;
    dir.Write("learned/~MyMP3ArtistGenre.def", "\xEF\xBB\xBF"
                                               "ANA\tPop\r\n"
                                               "Ana\tRock\r\n"
                                               "ana\tFolk\r\n"
                                               "Ana Bo\tJazz\r\n"
                                               "Ana\tZouk\r\n"
                                               "Anab\tSoul\r\n"
                                               "An\tBlues\r\n"
                                               "Zoë\tTango\r\n"
                                               "ZOË\tSalsa\r\n"
                                               "\tEmpty\r\n");
    ScriptedUiPort ui;
    TReferenceData data;
    data.Load(dir.File("defs"), dir.File("learned"), ui);
    const struct {
        const char* Artist;
        const char* Genre;
    } cases[] = {
        {"Ana", "Rock"},  {"ANA", "Pop"},  {"ana", "Folk"}, {"Ana Bo", "Jazz"}, {"ANA BO", ""},
        {"Anab", "Soul"}, {"An", "Blues"}, {"A", ""},       {"Zoë", "Tango"},   {"ZOË", "Salsa"},
        {"zoë", ""},      {"", ""},        {"Ana\t", ""},   {"Zz", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(data.GetGenreByArtist(QString::fromUtf8(c.Artist)), c.Genre) << c.Artist;
}

} // namespace

#include "tags/Genres.h"

#include <optional>

namespace {

QStringList MakeGenreNames() {
    return {// The genres of the ID3v1 standard.
            "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop",
            "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock",
            "Techno", "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack",
            "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance",
            "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise",
            "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
            "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic",
            "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta",
            "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret",
            "New Wave", "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
            "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
            // The extensions that taggers added later.
            "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin",
            "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock",
            "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
            "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music",
            "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam",
            "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul",
            "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella", "Euro-House", "Dance Hall",
            "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop",
            "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
            "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue",
            "Salsa", "Trash Metal", "Anime", "JPop", "SynthPop"};
}

constexpr int PsychedelicNumber = 67;

// Appends a piece of genre text, with a space between pieces unless the piece brings its own.
void AppendGenrePiece(QString& result, const QString& piece) {
    if (!result.isEmpty() && !piece.isEmpty() && !piece.startsWith(u' '))
        result += u' ';
    result += piece;
}

// The genre number written between parentheses; nothing when the text is not made of ASCII
// digits or the number has no name (long digit runs must not overflow).
std::optional<int> ReferencedGenreNumber(QStringView digits) {
    if (digits.isEmpty())
        return std::nullopt;
    int number = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        number = number * 10 + (c.unicode() - u'0');
        if (number >= ID3v1GenreCount)
            return std::nullopt;
    }
    return number;
}

} // namespace

const QStringList& ID3v1GenreNames() {
    static const QStringList names = MakeGenreNames();
    return names;
}

QString GenreNameFromNumber(int number) {
    if (number < 0 || number >= ID3v1GenreCount)
        return {};
    return ID3v1GenreNames().at(number);
}

int GenreNumberFromName(const QString& name) {
    if (name.isEmpty())
        return ID3v1NoGenre;
    const QStringList& names = ID3v1GenreNames();
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    if (name.compare(u"Psychadelic", Qt::CaseInsensitive) == 0)
        return PsychedelicNumber;
    return ID3v1NoGenre;
}

QString DecodeGenreReferences(const QString& value) {
    QString result;
    qsizetype textStart = 0;
    qsizetype pos = 0;
    while (pos < value.size() && value.at(pos) == u'(') {
        textStart = pos;
        if (pos + 1 < value.size() && value.at(pos + 1) == u'(') {
            // "((" escapes a parenthesis that belongs to the text.
            textStart = pos + 1;
            break;
        }
        const qsizetype close = value.indexOf(u')', pos + 1);
        if (close < 0)
            break;
        const QStringView inner = QStringView(value).mid(pos + 1, close - pos - 1);
        if (!inner.isEmpty()) {
            if (const std::optional<int> number = ReferencedGenreNumber(inner))
                AppendGenrePiece(result, GenreNameFromNumber(*number));
            else if (inner == u"RX")
                AppendGenrePiece(result, QStringLiteral("Remix"));
            else if (inner == u"CR")
                AppendGenrePiece(result, QStringLiteral("Cover"));
            else
                break;
        }
        pos = close + 1;
        textStart = pos;
    }

    const QString text = value.mid(textStart);
    if (!text.isEmpty()) {
        qsizetype firstNonSpace = 0;
        while (firstNonSpace < text.size() && text.at(firstNonSpace) == u' ')
            ++firstNonSpace;
        if (QStringView(text).mid(firstNonSpace).compare(result, Qt::CaseInsensitive) != 0)
            AppendGenrePiece(result, text);
    }
    return result;
}

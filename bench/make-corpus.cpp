// Makes a corpus of realistic MP3 files for the tag benchmarks:
//   make-corpus FOLDER COUNT [SEED] [--audio-kb=N] [--padding=N] [--all-id3v2] [--cover-kb=N]
//               [--unpadded-percent=N]
// FOLDER/<artist>/<year> - <album>/<nn> - <title>.mp3, a few hundred artists with albums of
// 8 to 14 tracks; each album tagged as one tagger would: ID3v2.3 (most), ID3v2.4, or no ID3v2
// tag; some albums also carry an ID3v1 tag, some a front cover; a few KB of MPEG-looking audio
// frames follow. The same COUNT and SEED always give the same files.
// For the fix benchmark: --audio-kb gives every file N KB of audio that begins with a frame
// naming the file ("VARNHOLM-BENCH-<number>"), so that a file can be told by its audio after
// it was renamed; --padding gives every tag that padding; --all-id3v2 tags every album;
// --cover-kb puts a Cover.jpg of N KB into every album folder; --unpadded-percent leaves about
// N% of the tags without any padding, so that their fix must rebuild the file.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <random>

namespace {

std::mt19937 Rng;

int Between(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(Rng);
}
bool Chance(int percent) {
    return Between(1, 100) <= percent;
}
template <class T> const T& Pick(const QList<T>& list) {
    return list.at(Between(0, int(list.size()) - 1));
}

QByteArray RandomBytes(int size) {
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = char(Between(0, 255));
    return bytes;
}

const QStringList FirstNames = {"Anna",  "Marek", "Lucía",  "Jonas", "Aoife", "Kwame",  "Ingrid",
                                "Tomás", "Mei",   "Olu",    "Sven",  "Chloé", "Rafael", "Nadia",
                                "Björn", "Zoë",   "Dmitri", "Hana",  "Louis", "Priya"};
const QStringList LastNames = {"Kowalska", "Novak",    "García",  "Berg",    "Murphy",    "Mensah",
                               "Larsen",   "Ó Briain", "Chen",    "Adeyemi", "Lindqvist", "Dubois",
                               "Costa",    "Haddad",   "Jónsson", "Müller",  "Ivanov",    "Sato"};
const QStringList BandWords1 = {"Velvet",   "Silent",    "Electric", "Paper",
                                "Northern", "Crystal",   "Midnight", "Broken",
                                "Golden",   "Wandering", "Hollow",   "Neon"};
const QStringList BandWords2 = {"Foxes", "Harbour", "Machines", "Owls",   "Rivers",     "Lanterns",
                                "Tides", "Engines", "Gardens",  "Ghosts", "Satellites", "Wolves"};
// Names outside ISO-8859-1, so that some frames need UTF-16 or UTF-8.
const QStringList WideNames = {QString::fromUtf8("Чайка"), QString::fromUtf8("東京ノイズ"),
                               QString::fromUtf8("Ελένη Καρα"), QString::fromUtf8("Łukasz Żak"),
                               QString::fromUtf8("Dvořák Ensemble")};
const QStringList TitleWords = {"Love",  "Night", "River",   "Light", "Home",   "Fire",
                                "Rain",  "Dream", "Road",    "Heart", "Summer", "Shadow",
                                "Stone", "Blue",  "Morning", "Echo",  "Winter", "Gold",
                                "Song",  "Sky",   "Déjà Vu", "Café"};
const QStringList Genres = {"Rock",  "Pop",       "Jazz",    "Electronic", "Folk",
                            "Blues", "Classical", "Hip-Hop", "Metal",      "Reggae",
                            "Soul",  "Ambient",   "Indie",   "Punk"};
const QStringList GenreRefs = {"(17)", "(13)", "(8)",  "(52)", "(80)", "(0)",   "(32)",
                               "(7)",  "(9)",  "(16)", "(42)", "(26)", "(131)", "(43)"};
const QStringList Encoders = {"LAME 3.100", "LAME 3.99.5", "iTunes 12.9.0.164", "FFmpeg"};

QString Words(int count) {
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << Pick(TitleWords);
    return words.join(u' ');
}

QString ArtistName(int i) {
    if (i % 23 == 0)
        return WideNames.at((i / 23) % WideNames.size()) + QString(" %1").arg(i);
    if (i % 2 == 0)
        return Pick(FirstNames) + u' ' + Pick(LastNames);
    return "The " + Pick(BandWords1) + u' ' + Pick(BandWords2);
}

// A name usable as one path component.
QString PathPart(QString text) {
    text.replace(u'/', u'-');
    return text;
}

bool Latin1(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

QByteArray Synchsafe(quint32 n) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[3 - i] = char((n >> (7 * i)) & 0x7F);
    return b;
}

QByteArray BigEndian(quint32 n) {
    const char bytes[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    return QByteArray(bytes, 4);
}

struct TAlbumStyle {
    int Version = 3; // 3, 4, or 0 for no ID3v2 tag
    bool ID3v1 = false;
    bool GenreAsReference = false;
    bool Comments = false;
    QString Encoder;
    QByteArray Cover; // empty: no picture
    int Padding = 2048;
};

// The encoding a tagger of that version picks: ISO-8859-1 when it can, else UTF-16 with a
// byte-order mark (2.3) or UTF-8 (2.4).
char EncodingFor(const QString& text, int version) {
    return Latin1(text) ? 0 : version == 4 ? 3 : 1;
}

QByteArray Encode(const QString& text, char encoding, bool terminate) {
    QByteArray bytes;
    if (encoding == 1) {
        bytes = "\xFF\xFE";
        for (QChar c : text) {
            bytes += char(c.unicode() & 0xFF);
            bytes += char(c.unicode() >> 8);
        }
    } else {
        bytes = encoding == 3 ? text.toUtf8() : text.toLatin1();
    }
    if (terminate)
        bytes += QByteArray(encoding == 1 ? 2 : 1, '\0');
    return bytes;
}

QByteArray Frame(const char* id, const QByteArray& content, int version) {
    return QByteArray(id) + (version == 4 ? Synchsafe(content.size()) : BigEndian(content.size())) +
           QByteArray(2, '\0') + content;
}

QByteArray TextFrame(const char* id, const QString& text, int version) {
    const char encoding = EncodingFor(text, version);
    return Frame(id, encoding + Encode(text, encoding, false), version);
}

struct TTrack {
    QString Artist, Title, Album, Genre, Comment;
    int Year = 0, Number = 0, Count = 0;
};

QByteArray ID3v2Tag(const TTrack& t, const TAlbumStyle& style) {
    const int v = style.Version;
    QByteArray frames;
    if (!style.Encoder.isEmpty())
        frames += TextFrame("TSSE", style.Encoder, v);
    frames += TextFrame("TIT2", t.Title, v);
    frames += TextFrame("TPE1", t.Artist, v);
    frames += TextFrame("TALB", t.Album, v);
    frames += TextFrame("TRCK", QString("%1/%2").arg(t.Number).arg(t.Count), v);
    frames += TextFrame("TPOS", "1/1", v);
    frames += TextFrame(v == 4 ? "TDRC" : "TYER", QString::number(t.Year), v);
    frames += TextFrame("TCON", t.Genre, v);
    if (style.Comments) {
        const char encoding = EncodingFor(t.Comment, v);
        frames += Frame("COMM",
                        encoding + QByteArray("eng") + Encode("", encoding, true) +
                            Encode(t.Comment, encoding, false),
                        v);
    }
    if (Chance(30))
        frames += TextFrame("TLEN", QString::number(Between(120000, 420000)), v);
    if (Chance(10))
        frames += Frame("TXXX", QByteArray("\0REPLAYGAIN_TRACK_GAIN\0", 23) + "-7.1 dB", v);
    if (!style.Cover.isEmpty())
        frames += Frame("APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + style.Cover, v);
    const QByteArray body = frames + QByteArray(style.Padding, '\0');
    const char versionAndFlags[3] = {char(v), 0, 0};
    return "ID3" + QByteArray(versionAndFlags, 3) + Synchsafe(body.size()) + body;
}

QByteArray ID3v1Tag(const TTrack& t) {
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    auto put = [&tag](int offset, int size, const QString& text) {
        const QByteArray bytes = text.toLatin1().left(size);
        tag.replace(offset, bytes.size(), bytes);
    };
    put(3, 30, t.Title);
    put(33, 30, t.Artist);
    put(63, 30, t.Album);
    put(93, 4, QString::number(t.Year));
    put(97, 28, t.Comment);
    tag[126] = char(t.Number);
    tag[127] = char(Genres.indexOf(t.Genre) >= 0 ? 17 : 12);
    return tag;
}

QByteArray AudioFrames() {
    QByteArray audio;
    const int frames = Between(6, 12);
    for (int i = 0; i < frames; ++i)
        audio += QByteArray("\xFF\xFB\x90\x64") + RandomBytes(413);
    return audio;
}

// The fix benchmark's choices; all off by default, which keeps the tag corpus as it was.
struct TBenchOptions {
    int AudioKB = 0;
    int Padding = -1;
    bool AllID3v2 = false;
    int CoverKB = 0;
    int UnpaddedPercent = 0;
};
TBenchOptions Bench;

// Audio of the chosen size: a frame naming the file, then one block shared by all files (made
// once, so that thousands of large files are written at disk speed).
QByteArray BenchAudio(int fileNumber) {
    static const QByteArray block = [] {
        std::mt19937 rng(7);
        QByteArray bytes(Bench.AudioKB * 1024, Qt::Uninitialized);
        for (char& b : bytes)
            b = char(rng());
        return bytes;
    }();
    return QByteArray("\xFF\xFB\x90\x64") + "VARNHOLM-BENCH-" +
           QByteArray::number(fileNumber).rightJustified(9, '0') + block;
}

TAlbumStyle AlbumStyle() {
    TAlbumStyle style;
    const int kind = Between(1, 100);
    style.Version = kind <= 55 ? 3 : kind <= 95 ? 4 : 0;
    if (Bench.AllID3v2 && style.Version == 0)
        style.Version = 3;
    style.ID3v1 = Chance(30) || style.Version == 0;
    style.GenreAsReference = style.Version == 3 && Chance(30);
    style.Comments = Chance(50);
    style.Encoder = Chance(60) ? Pick(Encoders) : QString();
    if (style.Version != 0 && Chance(25))
        style.Cover = QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11) +
                      RandomBytes(Between(8, 60) * 1024) + QByteArray("\xFF\xD9");
    style.Padding = style.Version == 4 ? 2048 * Between(1, 2) : Between(256, 4096);
    if (Bench.Padding >= 0)
        style.Padding = Bench.Padding;
    return style;
}

} // namespace

int main(int argc, char** argv) {
    QList<QByteArray> args;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        const auto value = [&arg] { return arg.mid(arg.indexOf('=') + 1).toInt(); };
        if (arg.startsWith("--audio-kb="))
            Bench.AudioKB = value();
        else if (arg.startsWith("--padding="))
            Bench.Padding = value();
        else if (arg == "--all-id3v2")
            Bench.AllID3v2 = true;
        else if (arg.startsWith("--cover-kb="))
            Bench.CoverKB = value();
        else if (arg.startsWith("--unpadded-percent="))
            Bench.UnpaddedPercent = value();
        else
            args << arg;
    }
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: %s FOLDER COUNT [SEED] [--audio-kb=N] [--padding=N] [--all-id3v2] "
                     "[--cover-kb=N] [--unpadded-percent=N]\n",
                     argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(args[0]);
    const int count = args[1].toInt();
    Rng.seed(args.size() > 2 ? unsigned(args[2].toUInt()) : 20240601u);

    const int artistCount = std::max(1, std::min(400, count / 50));
    QStringList artists;
    for (int i = 0; i < artistCount; ++i) {
        QString name = ArtistName(i);
        for (int n = 2; artists.contains(name); ++n)
            name = ArtistName(i) + QString(" %1").arg(n);
        artists << name;
    }

    int made = 0;
    for (int round = 0; made < count; ++round) {
        for (int a = 0; a < artistCount && made < count; ++a) {
            TTrack t;
            t.Artist = artists.at(a);
            t.Album =
                Words(Between(1, 3)) + (round > 0 ? QString(" %1").arg(round + 1) : QString());
            t.Year = Between(1965, 2023);
            const TAlbumStyle style = AlbumStyle();
            t.Genre = style.GenreAsReference ? GenreRefs.at(a % GenreRefs.size())
                                             : Genres.at(a % Genres.size());
            t.Count = Between(8, 14);
            const QString folder = root + u'/' + PathPart(t.Artist) + u'/' +
                                   QString("%1 - %2").arg(t.Year).arg(PathPart(t.Album));
            if (!QDir().mkpath(folder)) {
                std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
                return 1;
            }
            if (Bench.CoverKB > 0) {
                QFile cover(folder + "/Cover.jpg");
                const QByteArray picture = QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11) +
                                           QByteArray(Bench.CoverKB * 1024 - 13, 'c') +
                                           QByteArray("\xFF\xD9");
                if (!cover.open(QIODevice::WriteOnly) || cover.write(picture) != picture.size()) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(cover.fileName()));
                    return 1;
                }
            }
            for (t.Number = 1; t.Number <= t.Count && made < count; ++t.Number, ++made) {
                t.Title = Words(Between(1, 4));
                t.Comment = style.Comments ? "Track " + QString::number(t.Number) + " of " + t.Album
                                           : QString();
                QByteArray bytes;
                if (style.Version != 0) {
                    TAlbumStyle track = style;
                    if (Bench.UnpaddedPercent > 0 && Chance(Bench.UnpaddedPercent))
                        track.Padding = 0;
                    bytes += ID3v2Tag(t, track);
                }
                bytes += Bench.AudioKB > 0 ? BenchAudio(made) : AudioFrames();
                if (style.ID3v1)
                    bytes += ID3v1Tag(t);
                QFile file(folder + QString("/%1 - %2.mp3")
                                        .arg(t.Number, 2, 10, QChar(u'0'))
                                        .arg(PathPart(t.Title)));
                if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
                    return 1;
                }
            }
        }
    }
    std::printf("%d files under %s\n", made, qPrintable(root));
    return 0;
}

// The values a listing takes from a file's tag bytes are taken while the frames are walked,
// without building the tag: they must be exactly what the tag read whole gives, including which
// frame wins when frames repeat and the message of a tag that cannot be read. Compared value by
// value over the tag fixtures, the fuzz seeds, damaged tags made here and mutants of them all.
#include "tags/ID3TagValues.h"
#include "ID3v2TestBytes.h"
#include "support/Error.h"
#include "tags/ID3v2Tag.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>
#include <random>

using namespace ID3v2TestBytes;

namespace {

const QString FileName = QStringLiteral("/music/a.mp3");

// The ID3v2 values as the list takes them from the bytes of a file.
TID3TagValues Walked(const QByteArray& file) {
    TID3FileEnds ends;
    ends.Opened = true;
    ends.FileSize = file.size();
    ends.Start = file; // what lies behind the declared tag is never looked at
    return ReadID3TagValues(FileName, ends);
}

// The same values from the tag read whole into its frames.
TID3TagValues Whole(const QByteArray& file) {
    TID3TagValues values;
    values.IsFile = true;
    TID3v2Tag tag;
    tag.SetFileName(FileName);
    try {
        tag.OpenFromFileStart(file);
        values.ID3v2Readable = true;
        TakeID3v2TagValues(tag, values);
    } catch (const TError& e) {
        values.ID3v2Error = e.Message();
    }
    return values;
}

void ExpectSameID3v2Values(const QByteArray& file, const std::string& name) {
    const TID3TagValues walked = Walked(file);
    const TID3TagValues whole = Whole(file);
    SCOPED_TRACE(name);
    EXPECT_TRUE(walked.IsFile);
    EXPECT_EQ(walked.ID3v2Readable, whole.ID3v2Readable);
    EXPECT_EQ(walked.ID3v2Error, whole.ID3v2Error);
    EXPECT_EQ(walked.LeadArtists, whole.LeadArtists);
    EXPECT_EQ(walked.OrigArtist, whole.OrigArtist);
    EXPECT_EQ(walked.Title, whole.Title);
    EXPECT_EQ(walked.TrackNum, whole.TrackNum);
    EXPECT_EQ(walked.Album, whole.Album);
    EXPECT_EQ(walked.ContentType, whole.ContentType);
    EXPECT_EQ(walked.Comments, whole.Comments);
    EXPECT_EQ(walked.Year, whole.Year);
    EXPECT_EQ(walked.FrontCoverMIME, whole.FrontCoverMIME);
}

// A frame whose header declares more bytes than the tag holds (it must be the last one).
QByteArray BeyondTag(QByteArray frame) {
    frame[7] = char(0x7F);
    return frame;
}

const QByteArray BadText = Encoded(5, "text");
const QByteArray Cover = QByteArray("\0image/png\0\x03\0", 13) + "PNGDATA";
const QByteArray BackCover = QByteArray("\0image/gif\0\x04\0", 13) + "GIFDATA";

struct HandCase {
    const char* name;
    QByteArray file;
    QString error; // the message the tag fails with; empty when it reads
    friend void PrintTo(const HandCase& c, std::ostream* os) { *os << c.name; }
};

// Tags whose values depend on frames the walk does not build, on repeated frames, or on how a
// frame is damaged. Each states whether it reads, so that the comparison is not between two
// readers that both gave up.
const QList<HandCase>& HandCases() {
    static const QList<HandCase> cases = {
        {"bad encoding in a frame the list does not show",
         Tag(3, Frame23("TIT2", Latin1("T")) + Frame23("TPOS", BadText)), "Unknown encoding"},
        {"bad encoding in an unknown frame is not read",
         Tag(3, Frame23("XYZW", BadText) + Frame23("TIT2", Latin1("T"))), ""},
        {"bad encoding in a frame kept as bytes",
         Tag(3, Frame23("PRIV", BadText) + Frame23("TIT2", Latin1("T"))), ""},
        {"bad encoding in a text frame not interpreted", Tag(4, Frame24("TCOM", BadText)),
         "Unknown encoding"},
        {"bad encoding in a repeated title",
         Tag(3, Frame23("TIT2", Latin1("A")) + Frame23("TIT2", BadText)), "Unknown encoding"},
        {"bad encoding in a repeated artist",
         Tag(4, Frame24("TPE1", Latin1("A")) + Frame24("TPE1", BadText)), "Unknown encoding"},
        {"bad encoding in a compressed frame",
         Tag(3, Frame23("TIT2", BadText, 0x0080) + Frame23("TALB", Latin1("B"))), ""},
        {"bad encoding in an encrypted 2.4 frame", Tag(4, Frame24("COMM", BadText, 0x0004)), ""},
        {"bad encoding in the year 2.4 does not keep", Tag(4, Frame24("TYER", BadText)),
         "Unknown encoding"},
        {"bad encoding in a recording time before 2.4", Tag(3, Frame23("TDRC", BadText)),
         "Unknown encoding"},
        {"bad encoding in a picture", Tag(3, Frame23("APIC", Encoded(9, Cover.mid(1)))),
         "Unknown encoding"},
        {"bad encoding in a 2.2 frame",
         Tag(2, Frame22("TT2", Latin1("T")) + Frame22("TP2", BadText)), "Unknown encoding"},
        {"bad encoding behind a 2.4 frame's additions",
         Tag(4, Frame24("TENC", "\x07" + QByteArray("\0\0\0\x05", 4) + BadText, 0x0041)),
         "Unknown encoding"},
        {"bad encoding in a truncated frame",
         Tag(3, Frame23("TIT2", Latin1("T")) + BeyondTag(Frame23("TPOS", BadText))), ""},
        {"first of repeated single values wins",
         Tag(3, Frame23("TIT2", Latin1("T1")) + Frame23("TPE1", Latin1("A1/A2")) +
                    Frame23("TIT2", Latin1("T2")) + Frame23("TPE1", Latin1("A3")) +
                    Frame23("TALB", Latin1("B1")) + Frame23("TALB", Latin1("B2")) +
                    Frame23("TRCK", Latin1("1/9")) + Frame23("TRCK", Latin1("2")) +
                    Frame23("TCON", Latin1("(17)Rock")) + Frame23("TCON", Latin1("Pop")) +
                    Frame23("TOPE", Latin1("O1")) + Frame23("TOPE", Latin1("O2")) +
                    Frame23("TYER", Latin1("1999")) + Frame23("TYER", Latin1("2001"))),
         ""},
        {"every comment, the last front cover",
         Tag(3, Frame23("COMM", QByteArray("\0eng\0one", 8)) + Frame23("APIC", Cover) +
                    Frame23("COMM", QByteArray("\0deu\0two", 8)) + Frame23("APIC", BackCover) +
                    Frame23("APIC", QByteArray("\0image/jpeg\0\x03\0", 14) + "JPEG")),
         ""},
        {"a front cover without picture bytes", Tag(4, Frame24("APIC", Cover.first(12))), ""},
        {"a picture of version 2.2", Tag(2, Frame22("PIC", QByteArray("\0PNG\x03\0data", 10))), ""},
        {"truncated first title and comment",
         Tag(3, Frame23("COMM", QByteArray("\0eng\0one", 8)) +
                    BeyondTag(Frame23("TIT2", Latin1("T")))),
         ""},
        {"truncated comment at the end",
         Tag(4, Frame24("TIT2", Latin1("T")) + BeyondTag(Frame24("COMM", Latin1("eng")))), ""},
        {"truncated year", Tag(3, BeyondTag(Frame23("TYER", Latin1("1999")))), ""},
        {"truncated recording time", Tag(4, BeyondTag(Frame24("TDRC", Latin1("1999")))), ""},
        {"empty frames", Tag(3, Frame23("TIT2", "") + Frame23("TPE1", "") + Frame23("COMM", "")),
         ""},
        {"2.4 frame too short for its additions",
         Tag(4, Frame24("TIT2", "\x01", 0x0041) + Frame24("TALB", Latin1("B"))), ""},
        {"2.4 grouped and unsynchronised frames",
         Tag(4, Frame24("TIT2", "\x05" + Latin1("T\xFF\0x"), 0x0042) +
                    Frame24("TPE1", Latin1("A\xFF\0"), 0x0002)),
         ""},
        {"2.4 year from the recording time only",
         Tag(4, Frame24("TYER", Latin1("1999")) + Frame24("TDRC", Latin1("2004-05-06"))), ""},
        {"2.4 year frame alone", Tag(4, Frame24("TYER", Latin1("1999"))), ""},
        {"2.4 recording time before 1900", Tag(4, Frame24("TDRC", Latin1("1850"))), ""},
        {"2.3 recording time alone", Tag(3, Frame23("TDRC", Latin1("2004"))), ""},
        {"2.3 unreadable year", Tag(3, Frame23("TYER", Latin1("soon"))), ""},
        {"2.4 list values ended by zero bytes",
         Tag(4, Frame24("TPE1", QByteArray("\x03One\0Two\0", 9)) +
                    Frame24("TCON", QByteArray("\0\0Rock", 7))),
         ""},
        {"2.3 unsynchronised tag",
         Tag(3, Frame23("TIT2", Latin1("\xFF\0T")) + Frame23("TPE1", Latin1("A")), 0x80), ""},
        {"2.3 extended header",
         Tag(3, QByteArray("\0\0\0\x06\0\0\0\0\0\0", 10) + Frame23("TIT2", Latin1("T")), 0x40), ""},
        {"tag declared beyond the file", Tag(3, Frame23("TIT2", Latin1("T"))).first(16),
         "x"}, // the file error names the file: only compared
        {"unsynchronised tag declared beyond the file",
         Tag(3, Frame23("TIT2", Latin1("T")), 0x80).first(16), "Could not read data from stream"},
        {"version without frames", Tag(5, Frame23("TIT2", Latin1("T"))), ""},
        {"no tag", Audio(2), ""},
        {"nothing at all", QByteArray(), ""},
    };
    return cases;
}

class ID3TagValuesHandTest : public testing::TestWithParam<HandCase> {};

TEST_P(ID3TagValuesHandTest, WalkedAsReadWhole) {
    const HandCase& c = GetParam();
    ExpectSameID3v2Values(c.file, c.name);
    const TID3TagValues walked = Walked(c.file);
    if (c.error.isEmpty())
        EXPECT_TRUE(walked.ID3v2Readable) << walked.ID3v2Error.toStdString();
    else if (c.error != u"x")
        EXPECT_EQ(walked.ID3v2Error, c.error);
    else
        EXPECT_TRUE(walked.ID3v2Error.contains(FileName)) << walked.ID3v2Error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, ID3TagValuesHandTest, testing::ValuesIn(HandCases()));

TEST(ID3TagValuesTest, RepeatedFramesKeepTheWholeReadersChoice) {
    // The comparison above holds for two readers that agree on a wrong choice too.
    const TID3TagValues values = Walked(HandCases()[14].file);
    EXPECT_EQ(values.Title, "T1");
    EXPECT_EQ(values.LeadArtists, QStringList({"A1", "A2"}));
    EXPECT_EQ(values.Album, "B1");
    EXPECT_EQ(values.TrackNum, "1/9");
    EXPECT_EQ(values.ContentType, "(17)Rock");
    EXPECT_EQ(values.OrigArtist, "O1");
    EXPECT_EQ(values.Year, "1999");
    const TID3TagValues pictures = Walked(HandCases()[15].file);
    EXPECT_EQ(pictures.Comments, QStringList({"one", "two"}));
    EXPECT_EQ(pictures.FrontCoverMIME, QString("image/jpeg"));
}

// The tag fixtures of other taggers and the fuzzers' seeds, each file with the name it has.
QList<std::pair<std::string, QByteArray>> SampleFiles() {
    QList<std::pair<std::string, QByteArray>> files;
    for (const char* root : {VARNHOLM_TEST_FIXTURES, VARNHOLM_FUZZ_SEEDS}) {
        QDirIterator it(QString::fromUtf8(root), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly))
                files.append({file.fileName().toStdString(), file.readAll()});
        }
    }
    return files;
}

TEST(ID3TagValuesTest, FixturesAndSeedsWalkedAsReadWhole) {
    const auto files = SampleFiles();
    ASSERT_FALSE(files.isEmpty()) << "no fixtures found";
    for (const auto& [name, bytes] : files)
        ExpectSameID3v2Values(bytes, name);
}

// Damage of every kind at random places of the tags above: bytes set to values that matter to
// a tag reader (sizes, flags, encodings, identifier characters) or to anything, and cuts.
TEST(ID3TagValuesTest, MutantsWalkedAsReadWhole) {
    QList<std::pair<std::string, QByteArray>> files = SampleFiles();
    for (const HandCase& c : HandCases())
        files.append({c.name, c.file + Audio(1)});
    std::mt19937 random(18);
    const char telling[] = {'\0', '\x01', '\x03', '\x04', '\x7F', '\x80', '\xFF', 'T', 'Z'};
    for (const auto& [name, original] : files) {
        // Most mutants should hit the tag, not the audio behind it.
        const qsizetype span = std::min<qsizetype>(original.size(), 600);
        if (span == 0)
            continue;
        for (int round = 0; round < 150; ++round) {
            QByteArray file = original;
            const int changes = 1 + int(random() % 4);
            for (int i = 0; i < changes; ++i) {
                const qsizetype at = qsizetype(random() % span);
                file[at] = random() % 2 ? telling[random() % sizeof telling] : char(random());
            }
            if (random() % 4 == 0)
                file.truncate(qsizetype(random() % (span + 1)));
            ExpectSameID3v2Values(file, name + " mutant " + std::to_string(round));
            if (HasFailure())
                return; // one mutant's report is enough
        }
    }
}

} // namespace

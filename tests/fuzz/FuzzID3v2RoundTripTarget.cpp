// Reads every input as an MP3 file, changes its ID3v2 tag as the fix engine would, commits, and
// checks that the audio after the tag is unchanged and that the new tag reads back as written.
#include "fuzz/FuzzFile.h"
#include "support/Error.h"
#include "tags/ID3v2Tag.h"

#include <QtEndian>

namespace {

// The bytes of the tag area (header included) at the start of a file; 0 without a tag.
qsizetype TagAreaSize(const QByteArray& file) {
    if (file.size() < ID3v2HeaderSize || !file.startsWith("ID3"))
        return 0;
    const auto* b = reinterpret_cast<const uchar*>(file.constData());
    return ID3v2HeaderSize + qsizetype((b[6] & 0x7F) << 21 | (b[7] & 0x7F) << 14 |
                                       (b[8] & 0x7F) << 7 | (b[9] & 0x7F));
}

struct TValues {
    QString Title, Album, Track, Comment;
    QStringList Artists;
    int Pictures = 0;
    bool operator==(const TValues&) const = default;
};

TValues Values(TID3v2Tag& tag) {
    TValues v;
    v.Title = tag.Texts().Title();
    v.Album = tag.Texts().Album();
    v.Track = tag.Texts().TrackNum();
    if (const TID3Frame* artist = tag.Frames().FindFirst(fiLeadArtist))
        if (const auto* list = artist->As<TID3SimpleListFrame>())
            v.Artists = list->Strings();
    if (const TID3ContentFrame* comment = TID3ContentFrame::Find(tag, fiComment))
        v.Comment = comment->Text();
    v.Pictures = tag.GetFrameCountFor(fiPicture);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = FuzzFile::Write(data, size);

    TID3v2Tag tag;
    tag.SetFileName(path);
    try {
        tag.Open();
    } catch (const TError&) {
        if (FuzzFile::Read(path) != input)
            FuzzFile::Fail("a failed Open changed the file");
        return 0;
    }

    // What the fix engine does: new title (sometimes beyond Latin-1), artist list, track,
    // one comment replacing the others, a cover picture.
    const quint8 choice = size > 0 ? data[size / 2] : 0;
    tag.Texts().SetTitle(tag.Texts().Title() +
                         (choice & 1 ? QStringLiteral(" \u263A") : QStringLiteral(" x")));
    tag.Texts().LeadArtist() = QStringList{QStringLiteral("A"), QStringLiteral("B/C")};
    tag.Texts().SetTrackNum(choice & 2 ? QStringLiteral("3/12") : QStringLiteral("x3"));
    while (TID3Frame* comment = tag.Frames().FindFirst(fiComment))
        tag.Frames().Remove(comment);
    if (auto* comment = TID3ContentFrame::FindOrCreate(tag, fiComment))
        comment->SetText(QStringLiteral("Feat. Someone"));
    if (choice & 4) {
        if (auto* picture = tag.AddFrameAs<TID3PictureFrame>(fiPicture)) {
            picture->SetPictureType(ptCoverFront);
            picture->SetMIMEType(QStringLiteral("image/jpeg"));
            picture->SetPictureData(input.left(64) + QByteArray("\xFF\xD9"));
        }
    }

    try {
        tag.Commit();
    } catch (const TError&) {
        // Tags too big for their version fail with a message; the file must then be as it was.
        if (FuzzFile::Read(path) != input)
            FuzzFile::Fail("a failed Commit changed the file");
        return 0;
    }

    const QByteArray after = FuzzFile::Read(path);
    if (after.mid(TagAreaSize(after)) != input.mid(TagAreaSize(input)))
        FuzzFile::Fail("the bytes after the tag changed");

    const TValues written = Values(tag);
    TID3v2Tag again;
    again.SetFileName(path);
    try {
        again.Open();
    } catch (const TError&) {
        FuzzFile::Fail("the written tag does not read");
    }
    if (!(Values(again) == written))
        FuzzFile::Fail("the written tag reads back differently");
    return 0;
}

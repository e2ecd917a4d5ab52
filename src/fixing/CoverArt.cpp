#include "fixing/CoverArt.h"

#include "tags/ID3v2Tag.h"

#include <QFileInfo>
#include <vector>

namespace {

std::vector<TID3PictureFrame*> FrontCovers(const TID3v2Tag& tag) {
    std::vector<TID3PictureFrame*> covers;
    TID3Frame* frame = nullptr;
    for (bool found = tag.FindFirstFrame(fiPicture, frame); found;
         found = tag.FindNextFrame(fiPicture, frame))
        if (auto* picture = frame->As<TID3PictureFrame>())
            if (picture->PictureType() == ptCoverFront)
                covers.push_back(picture);
    return covers;
}

} // namespace

TID3PictureFrame* LastFrontCover(const TID3v2Tag& tag) {
    const std::vector<TID3PictureFrame*> covers = FrontCovers(tag);
    return covers.empty() ? nullptr : covers.back();
}

QString PictureFileMIMEType(const QString& pictureFileName) {
    const QString suffix = QFileInfo(pictureFileName).suffix();
    return MIMETypeForExtension(suffix.isEmpty() ? QString() : u'.' + suffix);
}

TID3PictureFrame* EmbedFrontCover(TID3v2Tag& tag, const QString& pictureFileName) {
    // Read first, so that a picture that cannot be read leaves the tag as it was.
    TID3PictureFrame scratch(fiPicture);
    scratch.LoadFromFile(pictureFileName);

    std::vector<TID3PictureFrame*> covers = FrontCovers(tag);
    TID3PictureFrame* cover = nullptr;
    if (covers.empty()) {
        cover = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
    } else {
        cover = covers.back();
        covers.pop_back();
        for (TID3PictureFrame* earlier : covers)
            if (earlier->Description().isEmpty())
                tag.Frames().Remove(earlier);
    }
    cover->SetPictureType(ptCoverFront);
    cover->SetDescription(QString());
    cover->SetMIMEType(PictureFileMIMEType(pictureFileName));
    cover->SetPictureData(scratch.PictureData());
    return cover;
}

TID3PictureFrame* SetOnlyFrontCover(TID3v2Tag& tag, const QByteArray& data,
                                    const QString& mimeType) {
    std::vector<TID3PictureFrame*> covers = FrontCovers(tag);
    TID3PictureFrame* cover = nullptr;
    if (covers.empty()) {
        cover = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
    } else {
        cover = covers.back();
        covers.pop_back();
        for (TID3PictureFrame* earlier : covers)
            tag.Frames().Remove(earlier);
    }
    cover->SetPictureType(ptCoverFront);
    cover->SetDescription(QString());
    cover->SetMIMEType(mimeType);
    cover->SetPictureData(data);
    return cover;
}

void RemoveFrontCovers(TID3v2Tag& tag) {
    for (TID3PictureFrame* cover : FrontCovers(tag))
        tag.Frames().Remove(cover);
}

QString CoverArtCell(const TID3v2Tag& tag, const QString& pictureFileName) {
    const TID3PictureFrame* cover = LastFrontCover(tag);
    if (!cover)
        return QStringLiteral("No");
    QString mime = cover->MIMEType();
    if (mime.isEmpty() && !pictureFileName.isEmpty() && QFileInfo::exists(pictureFileName))
        mime = PictureFileMIMEType(pictureFileName);
    return QStringLiteral("Yes (") + mime + u')';
}

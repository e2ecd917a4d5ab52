#include "TagLibView.h"

#include <QFile>

#include <attachedpictureframe.h>
#include <commentsframe.h>
#include <id3v1tag.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <textidentificationframe.h>

namespace {

QString FromTagLib(const TagLib::String& text) {
    return QString::fromStdString(text.to8Bit(true));
}

} // namespace

TTagLibView ReadWithTagLib(const QString& fileName) {
    TTagLibView view;
    TagLib::MPEG::File file(QFile::encodeName(fileName).constData(), false);
    if (!file.isValid())
        return view;
    if (file.hasID3v2Tag()) {
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
        view.HasID3v2 = true;
        view.Version = int(tag->header()->majorVersion());
        for (const auto& [id, frames] : tag->frameListMap()) {
            const QString key = QString::fromLatin1(id.data(), int(id.size()));
            view.FrameCounts[key] = int(frames.size());
            for (TagLib::ID3v2::Frame* frame : frames) {
                if (auto* text = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(frame)) {
                    if (!view.Texts.contains(key))
                        for (const TagLib::String& value : text->fieldList())
                            view.Texts[key].append(FromTagLib(value));
                } else if (auto* comment = dynamic_cast<TagLib::ID3v2::CommentsFrame*>(frame)) {
                    const TagLib::ByteVector language = comment->language();
                    view.Comments.append(
                        {QString::fromLatin1(language.data(), int(language.size())),
                         FromTagLib(comment->description()), FromTagLib(comment->text())});
                } else if (auto* picture =
                               dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame)) {
                    const TagLib::ByteVector data = picture->picture();
                    view.Pictures.append({int(picture->type()), FromTagLib(picture->mimeType()),
                                          FromTagLib(picture->description()),
                                          QByteArray(data.data(), int(data.size()))});
                }
            }
        }
    }
    if (file.hasID3v1Tag()) {
        TagLib::ID3v1::Tag* tag = file.ID3v1Tag();
        view.HasID3v1 = true;
        view.V1Title = FromTagLib(tag->title());
        view.V1Artist = FromTagLib(tag->artist());
        view.V1Album = FromTagLib(tag->album());
        view.V1Year = tag->year() ? QString::number(tag->year()) : QString();
        view.V1Comment = FromTagLib(tag->comment());
        view.V1Track = int(tag->track());
        view.V1Genre = int(tag->genreNumber());
    }
    return view;
}

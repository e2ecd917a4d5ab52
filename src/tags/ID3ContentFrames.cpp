// Comment and picture frames.
#include "support/Error.h"
#include "tags/ID3FileIO.h"
#include "tags/ID3FrameKinds.h"
#include "tags/ID3TextEncoding.h"
#include "tags/LanguageCodes.h"

using ID3Text::Terminator;

namespace {

const QString UnknownLanguage = QStringLiteral("XXX");

bool IsUnknownLanguage(const QString& language) {
    return language.compare(UnknownLanguage, Qt::CaseInsensitive) == 0;
}

// Reads up to count Latin-1 bytes; a zero byte ends the text but not the field.
QString ReadFixedLatin1(QByteArrayView content, qsizetype& pos, qsizetype count) {
    const QByteArrayView field = content.sliced(pos, qMin(count, content.size() - pos));
    pos += field.size();
    const qsizetype zero = field.indexOf('\0');
    return QString::fromLatin1(zero < 0 ? field : field.first(zero));
}

} // namespace

// --- TID3ContentFrame

bool TID3ContentFrame::IsEmpty() const {
    return FText.isEmpty() && FDescription.isEmpty() &&
           (FLanguage.isEmpty() || IsUnknownLanguage(FLanguage));
}

void TID3ContentFrame::ParseContent(QByteArrayView content, TID3Version) {
    qsizetype pos = 0;
    ReadEncoding(content, pos);
    FLanguage = ReadFixedLatin1(content, pos, 3);
    FDescription = ID3Text::Read(content, pos, FEncoding);
    FText = ID3Text::Read(content, pos, FEncoding);
}

QByteArray TID3ContentFrame::BuildContent(TID3Version) const {
    const TID3Encoding encoding = ID3Text::ChooseWriteEncoding({FDescription, FText});
    const QByteArray language = FLanguage.size() == 3 ? FLanguage.toLatin1() : "XXX";
    QByteArray content;
    content.reserve(4 + 2 * (FDescription.size() + FText.size()) + 6);
    content.append(char(encoding));
    content.append(language);
    ID3Text::AppendEncoded(content, FDescription, encoding, Terminator::With);
    ID3Text::AppendEncoded(content, FText, encoding, Terminator::Without);
    return content;
}

void TID3ContentFrame::AutoCorrect() {
    if (IsUnknownLanguage(FLanguage))
        FLanguage = UnknownLanguage;
    else if (FLanguage.size() == 3 && IsISO6392Code(FLanguage.toLower()))
        FLanguage = FLanguage.toLower();
    else
        FLanguage = UnknownLanguage;
}

std::optional<QString> TID3ContentFrame::DuplicateKey() const {
    return FLanguage + QChar(0) + FDescription;
}

// --- TID3PictureFrame

void TID3PictureFrame::LoadFromFile(const QString& path) {
    FData = ID3FileIO::ReadWholeFile(path);
}

void TID3PictureFrame::Clear() {
    FMIMEType.clear();
    FPictureType = ptOther;
    FDescription.clear();
    FData.clear();
}

bool TID3PictureFrame::IsEmpty() const {
    return FData.isEmpty() && (FMIMEType.isEmpty() || FMIMEType == QLatin1String(LinkMIMEType)) &&
           FDescription.isEmpty();
}

qsizetype TID3PictureFrame::ParseContentHead(QByteArrayView content, TID3Version version) {
    qsizetype pos = 0;
    ReadEncoding(content, pos);
    if (version == ive2_2) {
        const qsizetype start = pos;
        pos = qMin(pos + 3, content.size());
        FMIMEType = ID3MIMETypeFromImageFormat(content.sliced(start, pos - start));
    } else {
        FMIMEType = ID3Text::Read(content, pos, ienISO_8859_1);
    }
    FPictureType = ptOther;
    if (pos < content.size()) {
        const quint8 type = quint8(content[pos++]);
        FPictureType = type < ID3PictureTypeCount ? TID3PictureType(type) : ptOther;
    }
    FDescription = ID3Text::Read(content, pos, FEncoding);
    return pos;
}

void TID3PictureFrame::ParseContent(QByteArrayView content, TID3Version version) {
    FData = content.sliced(ParseContentHead(content, version)).toByteArray();
}

QByteArray TID3PictureFrame::BuildContentHead(TID3Version version) const {
    const TID3Encoding encoding = ID3Text::ChooseWriteEncoding({FDescription});
    QByteArray content(1, char(encoding));
    if (version == ive2_2)
        content.append(ID3ImageFormatFromMIMEType(FMIMEType));
    else
        ID3Text::AppendEncoded(content, FMIMEType, ienISO_8859_1, Terminator::With);
    content.append(char(FPictureType));
    ID3Text::AppendEncoded(content, FDescription, encoding, Terminator::With);
    return content;
}

QByteArray TID3PictureFrame::BuildContent(TID3Version version) const {
    QByteArray content = BuildContentHead(version);
    content.reserve(content.size() + FData.size());
    content.append(FData);
    return content;
}

std::optional<QString> TID3PictureFrame::DuplicateKey() const {
    // The two file icons may stand only once each, whatever their description.
    const QString type = QString::number(FPictureType);
    if (FPictureType == ptFileIcon || FPictureType == ptOtherFileIcon)
        return type;
    return type + QChar(0) + FDescription;
}

QString ID3MIMETypeFromImageFormat(QByteArrayView format) {
    const qsizetype zero = format.indexOf('\0');
    const QString text = QString::fromLatin1(zero < 0 ? format : format.first(zero));
    if (text == QLatin1String(TID3PictureFrame::LinkMIMEType))
        return text;
    if (text.compare(u"JPG", Qt::CaseInsensitive) == 0)
        return QStringLiteral("image/jpeg");
    if (text.compare(u"PNG", Qt::CaseInsensitive) == 0)
        return QStringLiteral("image/png");
    return QStringLiteral("image/") + text.toLower();
}

QByteArray ID3ImageFormatFromMIMEType(const QString& mimeType) {
    const QString mime = mimeType.toLower();
    if (mime == QLatin1String(TID3PictureFrame::LinkMIMEType))
        return TID3PictureFrame::LinkMIMEType;
    if (mime == u"image/jpeg" || mime == u"image/jpg" || mime == u"image/pjpeg")
        return "JPG";
    if (mime == u"image/bmp" || mime == u"image/bitmap")
        return "BMP";
    if (mime == u"image/tif" || mime == u"image/tiff")
        return "TIF";
    const qsizetype slash = mime.indexOf(u'/');
    QByteArray format = mime.sliced(slash + 1).left(3).toUpper().toLatin1();
    return format.leftJustified(3, ' ');
}

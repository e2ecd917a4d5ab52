#include "fixing/CoverPicture.h"

#include "support/Error.h"
#include "tags/ID3FileIO.h"

#include <QBuffer>
#include <QImageReader>

QImage DecodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QString PictureContentMIMEType(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("image/jpeg");
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return QStringLiteral("image/png");
    return {};
}

TPictureToEmbed LoadPictureToEmbed(const QString& fileName) {
    TPictureToEmbed picture;
    picture.Data = ID3FileIO::ReadWholeFile(fileName);
    picture.Image = DecodePicture(picture.Data);
    if (picture.Image.isNull())
        throw TError(QStringLiteral("\"%1\" holds no picture that can be shown.").arg(fileName));
    picture.MIMEType = PictureContentMIMEType(picture.Data);
    if (picture.MIMEType.isEmpty()) {
        QBuffer png(&picture.Data);
        picture.Data.clear();
        png.open(QIODevice::WriteOnly);
        if (!picture.Image.save(&png, "PNG"))
            throw TError(
                QStringLiteral("\"%1\" could not be turned into a PNG picture.").arg(fileName));
        picture.MIMEType = QStringLiteral("image/png");
    }
    return picture;
}

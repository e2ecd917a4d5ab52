#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Cover pictures as the properties editor shows and embeds them.

// The picture the bytes hold, decoded by their content (JPEG, PNG, BMP, ICO, GIF and whatever
// else the image plugins read); a null image when they hold none that can be shown.
QImage DecodePicture(const QByteArray& bytes);

// The MIME type of picture bytes by their content: "image/jpeg", "image/png", or "" for any
// other content.
QString PictureContentMIMEType(const QByteArray& bytes);

// A picture file made ready to become a front cover, and the picture to show for it.
struct TPictureToEmbed {
    QByteArray Data;
    QString MIMEType;
    QImage Image;
};

// JPEG and PNG files are embedded byte for byte, so that nothing is lost; a picture of any
// other format that can be decoded (a bitmap, an icon) is embedded as PNG, the format every
// player shows, without loss. Throws TError naming the file when it cannot be read or holds no
// picture that can be decoded.
TPictureToEmbed LoadPictureToEmbed(const QString& fileName);

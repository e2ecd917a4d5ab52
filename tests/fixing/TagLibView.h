#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// A file's tags as TagLib, the outside oracle, reads them.
struct TTagLibView {
    struct Comment {
        QString Language;
        QString Description;
        QString Text;
    };
    struct Picture {
        int Type = 0;
        QString MIMEType;
        QString Description;
        QByteArray Data;
    };

    bool HasID3v2 = false;
    int Version = 0; // the major version of the ID3v2 tag
    // The values of each text frame (TagLib shows a 2.3 year as TDRC), by identifier; the
    // number of frames of each identifier.
    QMap<QString, QStringList> Texts;
    QMap<QString, int> FrameCounts;
    QList<Comment> Comments;
    QList<Picture> Pictures;

    bool HasID3v1 = false;
    QString V1Title;
    QString V1Artist;
    QString V1Album;
    QString V1Year;
    QString V1Comment;
    int V1Track = 0;
    int V1Genre = 255;

    QString Text(const char* id) const { return Texts.value(QString::fromLatin1(id)).join(u'/'); }
    int Count(const char* id) const { return FrameCounts.value(QString::fromLatin1(id)); }
};

TTagLibView ReadWithTagLib(const QString& fileName);

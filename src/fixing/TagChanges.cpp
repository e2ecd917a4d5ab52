#include "fixing/TagChanges.h"

#include "tags/ID3FrameTable.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QHash>
#include <QStringDecoder>

namespace {

// The text of a text frame's content: the encoding byte, then the values ended or separated by
// a terminator.
QString DecodedText(const QByteArray& content) {
    if (content.isEmpty())
        return {};
    const QByteArray bytes = content.mid(1);
    QString text;
    switch (content[0]) {
    case 1:
        text = QStringDecoder(QStringConverter::Utf16)(bytes);
        break;
    case 2:
        text = QStringDecoder(QStringConverter::Utf16BE)(bytes);
        break;
    case 3:
        text = QString::fromUtf8(bytes);
        break;
    default:
        text = QString::fromLatin1(bytes);
    }
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return text.replace(QChar(0), u'/');
}

QString FrameText(const TID3Frame& frame, const QByteArray& content) {
    if (const auto* text = frame.As<TID3TextFrame>())
        return text->Text();
    if (const auto* list = frame.As<TID3SimpleListFrame>())
        return list->Strings().join(u'/');
    if (const auto* comment = frame.As<TID3ContentFrame>()) {
        QString shown = comment->Language().isEmpty()
                            ? QString()
                            : u'[' + comment->Language() + QStringLiteral("] ");
        if (!comment->Description().isEmpty())
            shown += comment->Description() + QStringLiteral(": ");
        return shown + comment->Text();
    }
    if (const auto* picture = frame.As<TID3PictureFrame>()) {
        const QString type = picture->PictureType() == ptCoverFront
                                 ? QStringLiteral("front cover")
                                 : QStringLiteral("picture type %1").arg(picture->PictureType());
        return QStringLiteral("%1, %2, %3 bytes")
            .arg(type, picture->MIMEType())
            .arg(picture->PictureData().size());
    }
    if (frame.As<TID3SkipFrame>())
        return QStringLiteral("%1 bytes").arg(content.size());
    return DecodedText(content); // numbers and timestamps
}

QString FrameName(const TID3Frame& frame, TID3Version version) {
    QByteArray name = ID3FrameName(frame.ID(), version);
    if (name.isEmpty())
        name = frame.Format().Name;
    return QString::fromLatin1(name);
}

} // namespace

void AppendID3v1Fields(TTagFields& fields, const TID3v1Tag& tag) {
    const auto add = [&fields](const char* name, const QString& text) {
        fields.append({QStringLiteral("ID3v1 ") + QLatin1String(name), text.toUtf8(), text});
    };
    add("Title", tag.SongName);
    add("Artist", tag.Artist);
    add("Album", tag.Album);
    add("Year", tag.Year);
    add("Comment", tag.Comment);
    add("Track", tag.AlbumTrack ? QString::number(tag.AlbumTrack) : QString());
    add("Genre", tag.GenreAsString().isEmpty() ? QString::number(tag.Genre) : tag.GenreAsString());
}

TTagFields TagFields(const TID3v2Tag& v2, TID3Version version, const TID3v1Tag* id3v1,
                     bool asRead) {
    TTagFields fields;
    QHash<QString, int> seen;
    for (const auto& frame : v2.Frames()) {
        if (frame->ID() != fiUnknown && !ID3FrameWrittenIn(frame->ID(), version))
            continue;
        QString name = FrameName(*frame, version);
        const int n = ++seen[name];
        if (n > 1)
            name += u' ' + QString::number(n);
        const QByteArray content = frame->BuildContent(version);
        QString text = FrameText(*frame, content);
        const auto* date = frame->As<TID3TimestampFrame>();
        if (date && asRead && !date->ReadText().isEmpty())
            text = date->ReadText();
        // A date compares as its text: what is read and what is written differ in form.
        fields.append({name, date ? text.toUtf8() : content, text});
    }
    if (id3v1)
        AppendID3v1Fields(fields, *id3v1);
    return fields;
}

QList<TFieldChange> ChangedFields(const TTagFields& before, const TTagFields& after) {
    QHash<QString, const TTagField*> was;
    for (const TTagField& field : before)
        was.insert(field.Name, &field);
    QHash<QString, const TTagField*> is;
    for (const TTagField& field : after)
        is.insert(field.Name, &field);
    QList<TFieldChange> changes;
    for (const TTagField& field : before) {
        const TTagField* now = is.value(field.Name);
        if (!now)
            changes.append({field.Name, field.Text, QString()});
        else if (now->Content != field.Content)
            changes.append({field.Name, field.Text, now->Text});
    }
    for (const TTagField& field : after)
        if (!was.contains(field.Name))
            changes.append({field.Name, QString(), field.Text});
    return changes;
}

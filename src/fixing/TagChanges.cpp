#include "fixing/TagChanges.h"

#include "tags/ID3FrameTable.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QHash>
#include <QStringDecoder>

namespace {

// Up to this many fields a name is looked up by walking the list; a tag of more frames (few
// files have one) gets a table.
constexpr qsizetype WalkedFields = 32;

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

QByteArray FrameName(const TID3Frame& frame, TID3Version version) {
    QByteArray name = ID3FrameName(frame.ID(), version);
    return name.isEmpty() ? frame.Format().Name : name;
}

// Whether the earlier field holds the values of the field as now set (the same kind of frame
// read from the same tag): then both frames build the same content.
bool SameValues(const TTagField& field, const TTagField* earlier) {
    if (!earlier || !earlier->ContentFromValues || earlier->How != field.How)
        return false;
    switch (field.How) {
    case TTagField::Shown::Text:
        return earlier->Text == field.Text;
    case TTagField::Shown::Values:
        return earlier->Values == field.Values;
    case TTagField::Shown::Comment:
        return earlier->Text == field.Text && earlier->Language == field.Language &&
               earlier->Description == field.Description;
    default:
        return false;
    }
}

// The field of one frame: its content to compare and the values it shows. built receives the
// frame's content when it is built whole. earlier: the field of the same name and number that
// an earlier look at the tag made, whose content serves again when the values are the same.
void SetFrameField(TTagField& field, const TID3Frame& frame, TID3Version version, bool asRead,
                   QByteArray* built, const TTagField* earlier) {
    using Shown = TTagField::Shown;
    field.Picture = QByteArray();
    field.ContentFromValues = false;
    const auto* text = frame.As<TID3TextFrame>(); // the most frames: looked for first
    const auto* picture = text ? nullptr : frame.As<TID3PictureFrame>();
    if (picture) {
        field.Content = picture->BuildContentHead(version);
        field.Picture = picture->PictureData();
        field.How = Shown::Picture;
        field.Text = picture->MIMEType();
        field.PictureType = picture->PictureType();
        return;
    }
    const auto* list = text ? nullptr : frame.As<TID3SimpleListFrame>();
    const auto* comment = text || list ? nullptr : frame.As<TID3ContentFrame>();
    if (text || list || comment) {
        // Their content follows from these values alone, whatever the version.
        field.ContentFromValues = true;
        if (text) {
            field.How = Shown::Text;
            field.Text = text->Text();
        } else if (list) {
            field.How = Shown::Values;
            field.Values = list->Strings();
        } else {
            field.How = Shown::Comment;
            field.Language = comment->Language();
            field.Description = comment->Description();
            field.Text = comment->Text();
        }
        field.Content = SameValues(field, earlier) ? earlier->Content : frame.BuildContent(version);
        if (built)
            *built = field.Content;
        return;
    }
    field.Content = frame.BuildContent(version);
    if (built)
        *built = field.Content;
    if (frame.As<TID3SkipFrame>()) {
        field.How = Shown::Size;
    } else if (const auto* date = frame.As<TID3TimestampFrame>()) {
        // A date compares as its text: what is read and what is written differ in form.
        field.How = Shown::Text;
        field.Text =
            asRead && !date->ReadText().isEmpty() ? date->ReadText() : DecodedText(field.Content);
        field.Content = field.Text.toUtf8();
    } else {
        field.How = Shown::Decoded; // numbers
    }
}

// Counts the fields of each name, the first 1.
class TNameCounter {
public:
    int Next(const TTagFields& fields, qsizetype count, const QByteArray& name) {
        if (count <= WalkedFields) {
            int n = 1;
            for (qsizetype i = 0; i < count; ++i)
                n += fields[i].Name == name;
            return n;
        }
        if (FCounts.isEmpty())
            for (qsizetype i = 0; i < count; ++i)
                ++FCounts[fields[i].Name];
        return ++FCounts[name];
    }

private:
    QHash<QByteArray, int> FCounts;
};

// Finds fields by name and number, by walking from where the last one was found (both lists
// mostly hold their fields in one order), or in a table for long lists.
class TFieldFinder {
public:
    explicit TFieldFinder(const TTagFields& fields) : FFields(fields) {
        if (fields.size() > WalkedFields)
            for (qsizetype i = 0; i < fields.size(); ++i)
                FIndex.insert({fields[i].Name, fields[i].Number}, i);
    }

    const TTagField* Find(const TTagField& like) {
        const qsizetype size = FFields.size();
        if (size > WalkedFields) {
            const auto found = FIndex.constFind({like.Name, like.Number});
            return found == FIndex.cend() ? nullptr : &FFields[*found];
        }
        for (qsizetype step = 0; step < size; ++step) {
            const qsizetype i = (FNext + step) % size;
            const TTagField& field = FFields[i];
            if (field.Number == like.Number && field.Name == like.Name) {
                FNext = i + 1;
                return &field;
            }
        }
        return nullptr;
    }

private:
    const TTagFields& FFields;
    qsizetype FNext = 0;
    QHash<std::pair<QByteArray, int>, qsizetype> FIndex;
};

bool SameBytes(const QByteArray& a, const QByteArray& b) {
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

// Whether both fields hold the same: for a picture, Content followed by the picture's bytes.
bool SameContent(const TTagField& a, const TTagField& b) {
    if (a.ComparesText || b.ComparesText)
        return a.ComparesText == b.ComparesText && a.Text == b.Text;
    if (a.Content.size() + a.Picture.size() != b.Content.size() + b.Picture.size())
        return false;
    if (a.Content.size() == b.Content.size())
        return a.Content == b.Content && SameBytes(a.Picture, b.Picture);
    return a.Content + a.Picture == b.Content + b.Picture;
}

} // namespace

void AppendID3v1Fields(TTagFields& fields, const TID3v1Tag& tag) {
    const auto add = [&fields](QByteArray name, const QString& text) {
        TTagField field;
        field.Name = std::move(name);
        field.ComparesText = true;
        field.Text = text;
        fields.append(std::move(field));
    };
    add(QByteArrayLiteral("ID3v1 Title"), tag.SongName);
    add(QByteArrayLiteral("ID3v1 Artist"), tag.Artist);
    add(QByteArrayLiteral("ID3v1 Album"), tag.Album);
    add(QByteArrayLiteral("ID3v1 Year"), tag.Year);
    add(QByteArrayLiteral("ID3v1 Comment"), tag.Comment);
    add(QByteArrayLiteral("ID3v1 Track"),
        tag.AlbumTrack ? QString::number(tag.AlbumTrack) : QString());
    const QString genre = tag.GenreAsString();
    add(QByteArrayLiteral("ID3v1 Genre"), genre.isEmpty() ? QString::number(tag.Genre) : genre);
}

void SetTagFields(TTagFields& fields, const TID3v2Tag& v2, TID3Version version,
                  const TID3v1Tag* id3v1, bool asRead, TFrameContents* contents,
                  const TTagFields* earlier) {
    // The list keeps its fields, so that the next file's fill them without new allocations.
    const qsizetype kept = fields.size();
    qsizetype count = 0;
    TNameCounter names;
    if (contents) {
        contents->clear();
        contents->resize(qsizetype(v2.Frames().Count()));
    }
    qsizetype index = -1;
    for (const auto& frame : v2.Frames()) {
        ++index;
        if (frame->ID() != fiUnknown && !ID3FrameWrittenIn(frame->ID(), version))
            continue;
        if (count == fields.size())
            fields.emplaceBack();
        TTagField& field = fields[count];
        field.Name = FrameName(*frame, version);
        field.Number = names.Next(fields, count, field.Name);
        field.ComparesText = false;
        const TTagField* same = earlier && count < earlier->size() &&
                                        (*earlier)[count].Number == field.Number &&
                                        (*earlier)[count].Name == field.Name
                                    ? &(*earlier)[count]
                                    : nullptr;
        SetFrameField(field, *frame, version, asRead, contents ? &(*contents)[index] : nullptr,
                      same);
        ++count;
    }
    if (count < kept)
        fields.resize(count);
    if (id3v1)
        AppendID3v1Fields(fields, *id3v1);
}

QString FieldName(const TTagField& field) {
    const QString name = QString::fromLatin1(field.Name);
    return field.Number > 1 ? name + u' ' + QString::number(field.Number) : name;
}

QString FieldText(const TTagField& field) {
    using Shown = TTagField::Shown;
    switch (field.How) {
    case Shown::Text:
        return field.Text;
    case Shown::Values:
        return field.Values.join(u'/');
    case Shown::Comment: {
        QString shown =
            field.Language.isEmpty() ? QString() : u'[' + field.Language + QStringLiteral("] ");
        if (!field.Description.isEmpty())
            shown += field.Description + QStringLiteral(": ");
        return shown + field.Text;
    }
    case Shown::Picture: {
        const QString type = field.PictureType == ptCoverFront
                                 ? QStringLiteral("front cover")
                                 : QStringLiteral("picture type %1").arg(field.PictureType);
        return QStringLiteral("%1, %2, %3 bytes").arg(type, field.Text).arg(field.Picture.size());
    }
    case Shown::Size:
        return QStringLiteral("%1 bytes").arg(field.Content.size());
    case Shown::Decoded:
        return DecodedText(field.Content);
    }
    return {};
}

QList<TFieldChange> ChangedFields(const TTagFields& before, const TTagFields& after) {
    QList<TFieldChange> changes;
    TFieldFinder inAfter(after);
    for (const TTagField& field : before) {
        const TTagField* now = inAfter.Find(field);
        if (!now)
            changes.append({FieldName(field), FieldText(field), QString()});
        else if (!SameContent(*now, field))
            changes.append({FieldName(field), FieldText(field), FieldText(*now)});
    }
    TFieldFinder inBefore(before);
    for (const TTagField& field : after)
        if (!inBefore.Find(field))
            changes.append({FieldName(field), QString(), FieldText(field)});
    return changes;
}

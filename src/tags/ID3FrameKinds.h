#pragma once

#include "tags/ID3Frame.h"

#include <QDateTime>
#include <QStringList>

class TID3v2Tag;

// One string: TIT2, TRCK, TALB.
class TID3TextFrame : public TID3Frame {
public:
    explicit TID3TextFrame(TID3FrameID id) : TID3Frame(id) {}
    const QString& Text() const { return FText; }
    void SetText(const QString& text) { FText = text; }

    bool IsEmpty() const override;
    void ParseContent(QByteArrayView content, TID3Version version) override;
    QByteArray BuildContent(TID3Version version) const override;
    void AutoCorrect() override;

private:
    QString FText;
};

// A list of values: TPE1 and TOPE join them with "/", TCON ends each with a terminator.
class TID3SimpleListFrame : public TID3Frame {
public:
    explicit TID3SimpleListFrame(TID3FrameID id) : TID3Frame(id) {}
    const QStringList& Strings() const { return FStrings; }
    // Callers change the list in place.
    QStringList& Strings() { return FStrings; }
    bool SeparatedByNul() const;

    bool IsEmpty() const override;
    void ParseContent(QByteArrayView content, TID3Version version) override;
    QByteArray BuildContent(TID3Version version) const override;
    void AutoCorrect() override;

private:
    // The values as the content holds them behind the encoding byte.
    void AppendEncoded(QByteArray& out, TID3Encoding encoding) const;
    QStringList FStrings;
};

// A whole number written as text: TYER, TORY, TLEN.
class TID3NumberFrame : public TID3Frame {
public:
    explicit TID3NumberFrame(TID3FrameID id) : TID3Frame(id) {}
    quint32 Number() const { return FNumber; }
    void SetNumber(quint32 number) { FNumber = number; }

    bool IsEmpty() const override;
    void ParseContent(QByteArrayView content, TID3Version version) override;
    QByteArray BuildContent(TID3Version version) const override;
    void AutoCorrect() override;

private:
    bool IsYear() const;
    QString Text() const;
    quint32 FNumber = 0;
};

// A date and time: TDRC.
class TID3TimestampFrame : public TID3Frame {
public:
    explicit TID3TimestampFrame(TID3FrameID id);
    const QDateTime& DateTime() const { return FDateTime; }
    void SetDateTime(const QDateTime& dateTime);
    // The text as the file held it (a year alone stays one); empty for a frame made here.
    const QString& ReadText() const { return FReadText; }

    bool IsEmpty() const override { return false; }
    void ParseContent(QByteArrayView content, TID3Version version) override;
    QByteArray BuildContent(TID3Version version) const override;

private:
    QString Text() const;
    QDateTime FDateTime;
    // Text read that gave no date: written back as it was until a date is set, so that a
    // frame the program did not touch never turns into 1899-12-30.
    std::optional<QString> FUnreadableText;
    QString FReadText;
};

// Language, description and text: COMM.
class TID3ContentFrame : public TID3Frame {
public:
    explicit TID3ContentFrame(TID3FrameID id) : TID3Frame(id) {}

    // The first frame of the identifier in the tag's list, or nullptr.
    static TID3ContentFrame* Find(TID3v2Tag& tag, TID3FrameID id);
    // The first frame of the identifier, or a new empty one appended to the list. Throws
    // TError("Controller is not active") when no tag is open.
    static TID3ContentFrame* FindOrCreate(TID3v2Tag& tag, TID3FrameID id);

    const QString& Language() const { return FLanguage; }
    void SetLanguage(const QString& language) { FLanguage = language; }
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& description) { FDescription = description; }
    const QString& Text() const { return FText; }
    void SetText(const QString& text) { FText = text; }

    bool IsEmpty() const override;
    void ParseContent(QByteArrayView content, TID3Version version) override;
    QByteArray BuildContent(TID3Version version) const override;
    void AutoCorrect() override;
    std::optional<QString> DuplicateKey() const override;

private:
    QString FLanguage;
    QString FDescription;
    QString FText;
};

// An attached picture: APIC (PIC in version 2.2).
class TID3PictureFrame : public TID3Frame {
public:
    // The MIME type that marks a link: the picture bytes are then a Latin-1 address.
    static constexpr const char* LinkMIMEType = "-->";

    explicit TID3PictureFrame(TID3FrameID id) : TID3Frame(id) {}

    const QString& MIMEType() const { return FMIMEType; }
    void SetMIMEType(const QString& mimeType) { FMIMEType = mimeType; }
    TID3PictureType PictureType() const { return FPictureType; }
    void SetPictureType(TID3PictureType type) { FPictureType = type; }
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& description) { FDescription = description; }
    const QByteArray& PictureData() const { return FData; }
    void SetPictureData(const QByteArray& data) { FData = data; }

    // The picture bytes become the whole file. Throws TError when it cannot be read.
    void LoadFromFile(const QString& path);
    // Clears MIME type, picture type, description and bytes, which makes the frame empty.
    void Clear();

    bool IsEmpty() const override;
    void ParseContent(QByteArrayView content, TID3Version version) override;
    // Reads the content up to the picture bytes alone, which readers that want the picture's
    // kind and not its bytes take; gives where the picture bytes start.
    qsizetype ParseContentHead(QByteArrayView content, TID3Version version);
    QByteArray BuildContent(TID3Version version) const override;
    // The content up to the picture bytes, which follow it.
    QByteArray BuildContentHead(TID3Version version) const;
    std::optional<QString> DuplicateKey() const override;

private:
    QString FMIMEType;
    TID3PictureType FPictureType = ptOther;
    QString FDescription;
    QByteArray FData;
};

// A frame kept as its bytes: unknown identifiers, the text frames the program does not
// interpret, the other frames of the standard, and compressed or encrypted frames.
class TID3SkipFrame : public TID3Frame {
public:
    explicit TID3SkipFrame(TID3FrameID id) : TID3Frame(id) {}
    const QByteArray& Data() const { return FData; }
    void SetData(const QByteArray& data) { FData = data; }

    bool IsEmpty() const override;
    void ParseContent(QByteArrayView content, TID3Version version) override;
    QByteArray BuildContent(TID3Version) const override { return FData; }
    std::optional<QString> DuplicateKey() const override;

private:
    QByteArray FData;
};

// The 2.2 picture format for a MIME type and back: "JPG" is image/jpeg, "PNG" image/png.
QString ID3MIMETypeFromImageFormat(QByteArrayView format);
QByteArray ID3ImageFormatFromMIMEType(const QString& mimeType);

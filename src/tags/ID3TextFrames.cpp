// The frame base and the frames that hold text, numbers and dates.
#include "support/Error.h"
#include "tags/ID3FrameKinds.h"
#include "tags/ID3FrameTable.h"
#include "tags/ID3TextEncoding.h"
#include "tags/ID3Timestamp.h"

using ID3Text::Terminator;

namespace {

// Content of a text-carrying frame: the encoding byte, then the text, built in one allocation.
QByteArray TextContent(TID3Encoding encoding, QStringView text) {
    QByteArray content;
    content.reserve(encoding == ienUTF_16 || encoding == ienUTF_16BE ? 3 + 2 * text.size()
                                                                     : 1 + text.size());
    content.append(char(encoding));
    ID3Text::AppendEncoded(content, text, encoding, Terminator::Without);
    return content;
}

bool IsWholeNumber(QStringView text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

[[noreturn]] void FailUnknownEncoding() {
    throw TError(QStringLiteral("Unknown encoding"));
}

} // namespace

TID3FrameKind TID3Frame::Kind() const {
    return ID3FrameInfo(FID).Kind;
}

void TID3Frame::ReadEncoding(QByteArrayView content, qsizetype& pos) {
    if (pos >= content.size())
        return;
    const quint8 encoding = quint8(content[pos]);
    if (encoding > ienUTF_8)
        FailUnknownEncoding();
    FEncoding = TID3Encoding(encoding);
    ++pos;
}

void CheckID3FrameEncoding(TID3FrameID id, QByteArrayView content) {
    if (!content.isEmpty() && quint8(content[0]) > ienUTF_8 &&
        ID3FrameKindHasEncoding(ID3FrameInfo(id).Kind))
        FailUnknownEncoding();
}

std::unique_ptr<TID3Frame> CreateID3Frame(TID3FrameID id) {
    switch (ID3FrameInfo(id).Kind) {
    case TID3FrameKind::Text:
        return std::make_unique<TID3TextFrame>(id);
    case TID3FrameKind::SlashList:
    case TID3FrameKind::NulList:
        return std::make_unique<TID3SimpleListFrame>(id);
    case TID3FrameKind::Number:
        return std::make_unique<TID3NumberFrame>(id);
    case TID3FrameKind::Timestamp:
        return std::make_unique<TID3TimestampFrame>(id);
    case TID3FrameKind::Comment:
        return std::make_unique<TID3ContentFrame>(id);
    case TID3FrameKind::Picture:
        return std::make_unique<TID3PictureFrame>(id);
    case TID3FrameKind::OtherText:
    case TID3FrameKind::Skip:
        break;
    }
    return std::make_unique<TID3SkipFrame>(id);
}

// --- TID3TextFrame

bool TID3TextFrame::IsEmpty() const {
    // The content, encoding byte included, would take fewer than 2 bytes.
    return ID3Text::EncodesToNothing(FText, FEncoding);
}

void TID3TextFrame::ParseContent(QByteArrayView content, TID3Version) {
    qsizetype pos = 0;
    ReadEncoding(content, pos);
    FText = ID3Text::Read(content, pos, FEncoding);
}

QByteArray TID3TextFrame::BuildContent(TID3Version) const {
    return TextContent(ID3Text::ChooseWriteEncoding({FText}), FText);
}

void TID3TextFrame::AutoCorrect() {
    // A track number is a number, or a number and a count joined by "/".
    if (ID() != fiTrackNum || FText.isEmpty())
        return;
    const qsizetype slash = FText.indexOf(u'/');
    const QStringView text(FText);
    const bool valid =
        slash < 0 ? IsWholeNumber(text)
                  : IsWholeNumber(text.first(slash)) && IsWholeNumber(text.sliced(slash + 1));
    if (!valid)
        FText.clear();
}

// --- TID3SimpleListFrame

bool TID3SimpleListFrame::SeparatedByNul() const {
    return Kind() == TID3FrameKind::NulList;
}

void TID3SimpleListFrame::AppendEncoded(QByteArray& out, TID3Encoding encoding) const {
    if (SeparatedByNul()) {
        for (const QString& value : FStrings)
            ID3Text::AppendEncoded(out, value, encoding, Terminator::With);
    } else if (FStrings.size() == 1) {
        ID3Text::AppendEncoded(out, FStrings.constFirst(), encoding, Terminator::Without);
    } else {
        ID3Text::AppendEncoded(out, FStrings.join(u'/'), encoding, Terminator::Without);
    }
}

bool TID3SimpleListFrame::IsEmpty() const {
    // Without values there is nothing to write, whatever the encoding. Values separated by
    // terminators, or joined by "/", always take bytes; a single empty value takes the
    // byte-order mark in UTF-16.
    if (FStrings.isEmpty())
        return true;
    return !SeparatedByNul() && FStrings.size() == 1 &&
           ID3Text::EncodesToNothing(FStrings.constFirst(), FEncoding);
}

void TID3SimpleListFrame::ParseContent(QByteArrayView content, TID3Version) {
    FStrings.clear();
    qsizetype pos = 0;
    ReadEncoding(content, pos);
    if (SeparatedByNul()) {
        // Every value ends with a terminator. Empty values at the end are the terminators and
        // padding some taggers leave behind, not values.
        while (pos < content.size())
            FStrings.append(ID3Text::Read(content, pos, FEncoding));
        while (!FStrings.isEmpty() && FStrings.constLast().isEmpty())
            FStrings.removeLast();
        return;
    }
    // One string cut at every "/". Taggers also separate values by terminators (version 2.4
    // does so by standard, TagLib in 2.3 too): each of those strings is cut the same way.
    while (pos < content.size()) {
        const QString text = ID3Text::Read(content, pos, FEncoding);
        if (!text.isEmpty())
            FStrings.append(text.split(u'/'));
    }
}

QByteArray TID3SimpleListFrame::BuildContent(TID3Version) const {
    const TID3Encoding encoding = ID3Text::ChooseWriteEncoding(FStrings);
    QByteArray content(1, char(encoding));
    AppendEncoded(content, encoding);
    return content;
}

void TID3SimpleListFrame::AutoCorrect() {
    // A "/" inside a value would read back as two values.
    if (SeparatedByNul())
        return;
    for (QString& value : FStrings)
        value.remove(u'/');
}

// --- TID3NumberFrame

bool TID3NumberFrame::IsYear() const {
    return ID() == fiYear || ID() == fiOrigYear;
}

QString TID3NumberFrame::Text() const {
    return IsYear() ? QStringLiteral("%1").arg(FNumber, 4, 10, QLatin1Char('0'))
                    : QString::number(FNumber);
}

bool TID3NumberFrame::IsEmpty() const {
    if (IsYear())
        return FNumber == 0;
    return ID3Text::EncodesToNothing(Text(), FEncoding);
}

void TID3NumberFrame::ParseContent(QByteArrayView content, TID3Version) {
    qsizetype pos = 0;
    ReadEncoding(content, pos);
    bool ok = false;
    FNumber = ID3Text::Read(content, pos, FEncoding).toUInt(&ok);
    if (!ok)
        FNumber = 0;
}

QByteArray TID3NumberFrame::BuildContent(TID3Version) const {
    return TextContent(ienISO_8859_1, Text());
}

void TID3NumberFrame::AutoCorrect() {
    if (IsYear() && FNumber > 9999)
        FNumber = 0;
}

// --- TID3TimestampFrame

TID3TimestampFrame::TID3TimestampFrame(TID3FrameID id) : TID3Frame(id), FDateTime(ID3ZeroDate()) {}

void TID3TimestampFrame::SetDateTime(const QDateTime& dateTime) {
    FDateTime = dateTime;
    FUnreadableText.reset();
}

QString TID3TimestampFrame::Text() const {
    return FUnreadableText ? *FUnreadableText : FormatID3Timestamp(FDateTime);
}

void TID3TimestampFrame::ParseContent(QByteArrayView content, TID3Version) {
    qsizetype pos = 0;
    ReadEncoding(content, pos);
    const QString text = ID3Text::Read(content, pos, FEncoding);
    FReadText = text;
    FDateTime = ParseID3Timestamp(text);
    FUnreadableText.reset();
    if (FDateTime == ID3ZeroDate())
        FUnreadableText = text;
}

QByteArray TID3TimestampFrame::BuildContent(TID3Version) const {
    const QString text = Text();
    return TextContent(ID3Text::ChooseWriteEncoding({text}), text);
}

// --- TID3SkipFrame

bool TID3SkipFrame::IsEmpty() const {
    // A text frame kept as its bytes follows the text rule; the encoding byte is one of them.
    return Kind() == TID3FrameKind::OtherText ? FData.size() < 2 : FData.isEmpty();
}

void TID3SkipFrame::ParseContent(QByteArrayView content, TID3Version) {
    if (ID3FrameKindHasEncoding(Kind())) {
        qsizetype pos = 0;
        ReadEncoding(content, pos);
    }
    FData = content.toByteArray();
}

std::optional<QString> TID3SkipFrame::DuplicateKey() const {
    // Only one text frame of an identifier belongs in a tag; other frames may repeat.
    if (Kind() == TID3FrameKind::OtherText)
        return QString();
    return std::nullopt;
}

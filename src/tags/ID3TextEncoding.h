#pragma once

#include "tags/ID3Types.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>

// The four text encodings of ID3v2 frames.
namespace ID3Text {

// Reads one string that starts at pos and runs to its terminator (one zero byte, or two for the
// UTF-16 encodings, on a unit boundary) or to the end of data; pos moves behind the terminator.
// A UTF-16 string without a byte-order mark reads as "" (its bytes are still passed over), and
// a last odd byte of a UTF-16 string is ignored.
QString Read(QByteArrayView data, qsizetype& pos, TID3Encoding encoding);

enum class Terminator { Without, With };

// The bytes of a string in the encoding; UTF-16 is written little-endian behind FF FE.
QByteArray Encode(QStringView text, TID3Encoding encoding, Terminator terminator);
// The same bytes appended to out, which frames build their content in without a copy.
void AppendEncoded(QByteArray& out, QStringView text, TID3Encoding encoding, Terminator terminator);
// Whether Encode without a terminator gives no byte at all (an empty text, but for the mark
// of UTF-16), found without encoding.
bool EncodesToNothing(QStringView text, TID3Encoding encoding);

// Whether a character of the text lies above U+00FF, so ISO-8859-1 cannot hold it.
bool NeedsUnicode(QStringView text);

// The encoding a frame is written in: UTF-16 when any of its texts needs it, else ISO-8859-1.
TID3Encoding ChooseWriteEncoding(std::initializer_list<QStringView> texts);
// The same for a frame of many values.
TID3Encoding ChooseWriteEncoding(const QStringList& texts);

} // namespace ID3Text

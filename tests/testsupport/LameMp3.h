#pragma once

#include <QString>

// Real MP3 files for the tests that run the outside tools: a sine tone encoded by lame (mono,
// 44.1 kHz, 128 kbit/s) with an ID3v2 and an ID3v1 tag holding the title and artist.
namespace LameMp3 {

// amplitude is a fraction of full scale (0.5 is loud, 0.02 quiet). Returns the path.
QString Write(const QString& path, double amplitude, const QString& title, int seconds = 1);

// Damage an encoded file on purpose: bytes of garbage between two audio frames, or the last
// audio frame cut short (the ID3v1 tag after it kept).
void InsertGarbage(const QString& path);
void TruncateLastFrame(const QString& path);

} // namespace LameMp3

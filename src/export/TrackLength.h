#pragma once

#include <QByteArray>

#include <QString>

struct mpg123_handle_struct;

// The playing time of MP3 files, for the information lines of a playlist. One decoder handle
// serves every file of an export.
class TTrackLength {
public:
    TTrackLength();
    ~TTrackLength();
    TTrackLength(const TTrackLength&) = delete;
    TTrackLength& operator=(const TTrackLength&) = delete;

    // Whole seconds: the ID3v2 "TLEN" frame (milliseconds) when it gives at least one second,
    // else the audio's playing time; -1 when neither can be found (file gone or no audio).
    qint64 Seconds(const QString& path);

    // The audio's playing time in milliseconds as the decoder finds it, -1 when the file holds
    // no MPEG audio. A Xing, Info or VBRI header gives the frame count at once; without one, a
    // file whose first frames share one bit rate is taken as constant bit rate and measured by
    // its size, any other is scanned frame by frame.
    qint64 AudioMilliseconds(const QString& path);

private:
    // The start of a file as one or two reads give it: the ID3v2 tag (when there is one) and
    // the first audio bytes after it.
    struct TTrackHead {
        qint64 FileSize = 0;
        QByteArray Bytes;
        qint64 TagSize = 0;    // header and declared tag bytes, as far as Bytes holds them
        qint64 AudioStart = 0; // after the tag and its footer
    };
    static TTrackHead ReadTrackHead(int fd, qint64 size);
    // Whether the last 128 bytes are an ID3v1 tag; read only when the head does not hold them.
    static bool EndsWithID3v1(int fd, const TTrackHead& head);

    // The length found from the first KB of audio alone: a header frame's count, or the size of
    // a file whose frames there share one bit rate; -1 when a scan must decide.
    static qint64 QuickMilliseconds(int fd, const TTrackHead& head);
    qint64 AudioMilliseconds(int fd);

    mpg123_handle_struct* FHandle = nullptr;
};

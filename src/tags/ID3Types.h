#pragma once

#include <QtGlobal>

// The enumerations of the ID3v2 tag model, named as the rest of the program knows them.

// The tag version, from the major version byte of the tag header.
enum TID3Version : quint8 { iveLowerThan2_2, ive2_2, ive2_3, ive2_4, iveHigherThan2_4 };

TID3Version ID3VersionFromMajorByte(quint8 major);
// The major version byte written for a version that can be written (2.2, 2.3, 2.4).
quint8 ID3MajorByteOf(TID3Version version);

// Text encodings; the values are the encoding bytes of the standard.
enum TID3Encoding : quint8 { ienISO_8859_1 = 0, ienUTF_16 = 1, ienUTF_16BE = 2, ienUTF_8 = 3 };

// Picture types 0 to 20 in the order of the standard.
enum TID3PictureType : quint8 {
    ptOther,
    ptFileIcon,
    ptOtherFileIcon,
    ptCoverFront,
    ptCoverBack,
    ptLeafletPage,
    ptMedia,
    ptLeadArtist,
    ptArtist,
    ptConductor,
    ptBand,
    ptComposer,
    ptLyricist,
    ptRecordingLocation,
    ptDuringRecording,
    ptDuringPerformance,
    ptMovieScreenCapture,
    ptBrightColouredFish,
    ptIllustration,
    ptBandLogotype,
    ptPublisherLogotype,
};
inline constexpr int ID3PictureTypeCount = 21;

// How a frame's content is laid out and interpreted.
enum class TID3FrameKind : quint8 {
    Text,      // one string
    SlashList, // values joined by "/"
    NulList,   // values each ended by a terminator
    Number,    // an unsigned number written as decimal text
    Timestamp, // a date and time
    Comment,   // language, description, text
    Picture,   // MIME type, picture type, description, picture bytes
    OtherText, // a text frame the program does not interpret: kept as its bytes
    Skip,      // any other frame: kept as its bytes
};

// Frame identifiers. The first block is what the program reads and writes; the second names the
// other text frames of the standard, which are kept as read but obey the version lists and the
// one-frame-per-identifier rule.
enum TID3FrameID : quint16 {
    fiUnknown,
    fiLeadArtist,
    fiOrigArtist,
    fiTitle,
    fiTrackNum,
    fiAlbum,
    fiYear,
    fiRecordingTime,
    fiSongLen,
    fiContentType,
    fiComment,
    fiPicture,

    fiOrigYear,
    fiBPM,
    fiComposer,
    fiCopyright,
    fiDate,
    fiPlaylistDelay,
    fiEncodedBy,
    fiLyricist,
    fiFileType,
    fiTime,
    fiContentGroup,
    fiSubTitle,
    fiInitialKey,
    fiLanguage,
    fiMediaType,
    fiOrigAlbum,
    fiOrigFileName,
    fiOrigLyricist,
    fiFileOwner,
    fiBand,
    fiConductor,
    fiMixArtist,
    fiPartInSet,
    fiPublisher,
    fiRecordingDates,
    fiNetRadioStation,
    fiNetRadioOwner,
    fiSize,
    fiISRC,
    fiEncoderSettings,
    fiEncodingTime,
    fiOrigReleaseTime,
    fiReleaseTime,
    fiTaggingTime,
    fiInvolvedPeople2,
    fiMusicianCreditList,
    fiMood,
    fiProducedNotice,
    fiAlbumSortOrder,
    fiPerformerSortOrder,
    fiTitleSortOrder,
    fiSetSubTitle,

    fiFrameIDCount
};

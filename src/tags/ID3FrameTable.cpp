#include "tags/ID3FrameTable.h"

#include <array>
#include <cstring>
#include <unordered_map>

namespace {

constexpr quint8 V22 = ID3VersionBit(ive2_2);
constexpr quint8 V23 = ID3VersionBit(ive2_3);
constexpr quint8 V24 = ID3VersionBit(ive2_4);
constexpr quint8 All = V22 | V23 | V24;

using K = TID3FrameKind;

// In the order of TID3FrameID.
constexpr std::array<TID3FrameInfo, fiFrameIDCount> Frames{{
    {fiUnknown, K::Skip, nullptr, nullptr, All},
    {fiLeadArtist, K::SlashList, "TP1", "TPE1", All},
    {fiOrigArtist, K::SlashList, "TOA", "TOPE", All},
    {fiTitle, K::Text, "TT2", "TIT2", All},
    {fiTrackNum, K::Text, "TRK", "TRCK", All},
    {fiAlbum, K::Text, "TAL", "TALB", All},
    {fiYear, K::Number, "TYE", "TYER", V22 | V23},
    {fiRecordingTime, K::Timestamp, nullptr, "TDRC", V24},
    {fiSongLen, K::Number, "TLE", "TLEN", All},
    {fiContentType, K::NulList, "TCO", "TCON", All},
    {fiComment, K::Comment, "COM", "COMM", All},
    {fiPicture, K::Picture, "PIC", "APIC", All},

    {fiOrigYear, K::Number, "TOR", "TORY", V22 | V23},
    {fiBPM, K::OtherText, "TBP", "TBPM", All},
    {fiComposer, K::OtherText, "TCM", "TCOM", All},
    {fiCopyright, K::OtherText, "TCR", "TCOP", All},
    {fiDate, K::OtherText, "TDA", "TDAT", V22 | V23},
    {fiPlaylistDelay, K::OtherText, "TDY", "TDLY", All},
    {fiEncodedBy, K::OtherText, "TEN", "TENC", All},
    {fiLyricist, K::OtherText, "TXT", "TEXT", All},
    {fiFileType, K::OtherText, "TFT", "TFLT", All},
    {fiTime, K::OtherText, "TIM", "TIME", V22 | V23},
    {fiContentGroup, K::OtherText, "TT1", "TIT1", All},
    {fiSubTitle, K::OtherText, "TT3", "TIT3", All},
    {fiInitialKey, K::OtherText, "TKE", "TKEY", All},
    {fiLanguage, K::OtherText, "TLA", "TLAN", All},
    {fiMediaType, K::OtherText, "TMT", "TMED", All},
    {fiOrigAlbum, K::OtherText, "TOT", "TOAL", All},
    {fiOrigFileName, K::OtherText, "TOF", "TOFN", All},
    {fiOrigLyricist, K::OtherText, "TOL", "TOLY", All},
    {fiFileOwner, K::OtherText, nullptr, "TOWN", V23 | V24},
    {fiBand, K::OtherText, "TP2", "TPE2", All},
    {fiConductor, K::OtherText, "TP3", "TPE3", All},
    {fiMixArtist, K::OtherText, "TP4", "TPE4", All},
    {fiPartInSet, K::OtherText, "TPA", "TPOS", All},
    {fiPublisher, K::OtherText, "TPB", "TPUB", All},
    {fiRecordingDates, K::OtherText, "TRD", "TRDA", V22 | V23},
    {fiNetRadioStation, K::OtherText, nullptr, "TRSN", All},
    {fiNetRadioOwner, K::OtherText, nullptr, "TRSO", All},
    {fiSize, K::OtherText, "TSI", "TSIZ", V22 | V23},
    {fiISRC, K::OtherText, "TRC", "TSRC", All},
    // Version 2.2's TSS is left unknown, so it is kept as read in 2.2 tags.
    {fiEncoderSettings, K::OtherText, nullptr, "TSSE", V23 | V24},
    {fiEncodingTime, K::OtherText, nullptr, "TDEN", V24},
    {fiOrigReleaseTime, K::OtherText, nullptr, "TDOR", V24},
    {fiReleaseTime, K::OtherText, nullptr, "TDRL", V24},
    {fiTaggingTime, K::OtherText, nullptr, "TDTG", V24},
    {fiInvolvedPeople2, K::OtherText, nullptr, "TIPL", All},
    {fiMusicianCreditList, K::OtherText, nullptr, "TMCL", All},
    {fiMood, K::OtherText, nullptr, "TMOO", V24},
    {fiProducedNotice, K::OtherText, nullptr, "TPRO", V24},
    {fiAlbumSortOrder, K::OtherText, nullptr, "TSOA", V24},
    {fiPerformerSortOrder, K::OtherText, nullptr, "TSOP", V24},
    {fiTitleSortOrder, K::OtherText, nullptr, "TSOT", V24},
    {fiSetSubTitle, K::OtherText, nullptr, "TSST", V24},
}};

constexpr bool InIDOrder() {
    for (size_t i = 0; i < Frames.size(); ++i)
        if (Frames[i].ID != TID3FrameID(i))
            return false;
    return true;
}
static_assert(InIDOrder(), "the frame table must follow the order of TID3FrameID");

quint32 Key(QByteArrayView name) {
    quint32 key = 0;
    for (const char c : name)
        key = (key << 8) | quint8(c);
    return key;
}

// Keys of three-character names carry a marker bit so that they never meet four-character ones.
constexpr quint32 ShortNameMarker = 0x80000000u;

const std::unordered_map<quint32, TID3FrameID>& NameIndex() {
    static const std::unordered_map<quint32, TID3FrameID> index = [] {
        std::unordered_map<quint32, TID3FrameID> map;
        for (const TID3FrameInfo& info : Frames) {
            if (info.Name)
                map.emplace(Key(info.Name), info.ID);
            if (info.Name22)
                map.emplace(Key(info.Name22) | ShortNameMarker, info.ID);
        }
        return map;
    }();
    return index;
}

} // namespace

const TID3FrameInfo& ID3FrameInfo(TID3FrameID id) {
    return id < fiFrameIDCount ? Frames[id] : Frames[fiUnknown];
}

TID3FrameID ID3FrameIDFromName(QByteArrayView name, TID3Version version) {
    const qsizetype length = version == ive2_2 ? 3 : 4;
    if (name.size() != length)
        return fiUnknown;
    const quint32 key = Key(name) | (length == 3 ? ShortNameMarker : 0);
    const auto& index = NameIndex();
    const auto it = index.find(key);
    return it == index.end() ? fiUnknown : it->second;
}

QByteArray ID3FrameName(TID3FrameID id, TID3Version version) {
    const TID3FrameInfo& info = ID3FrameInfo(id);
    const char* name = version == ive2_2 ? info.Name22 : info.Name;
    // The table's strings live as long as the program: they are not copied.
    return name ? QByteArray::fromRawData(name, qsizetype(std::strlen(name))) : QByteArray();
}

bool ID3FrameWrittenIn(TID3FrameID id, TID3Version version) {
    return (ID3FrameInfo(id).Versions & ID3VersionBit(version)) != 0;
}

bool IsWellFormedID3FrameName(QByteArrayView name) {
    for (const char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return !name.isEmpty();
}

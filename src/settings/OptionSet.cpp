#include "settings/OptionSet.h"

#include "net/SystemProxy.h"
#include "support/PlatformFolders.h"

#include <algorithm>

TOptionDefaults TOptionDefaults::FromPlatform() {
    TOptionDefaults d;
    d.MusicFolder = PlatformFolders::MusicFolder();
    d.MP3valFolder =
        PlatformFolders::ToolFolder({QStringLiteral("mp3val"), QStringLiteral("mp3val.exe")});
    d.MP3GainFolder =
        PlatformFolders::ToolFolder({QStringLiteral("mp3gain"), QStringLiteral("mp3gain.exe")});
    d.Mp3tagFolder = PlatformFolders::Mp3tagFolder();
    // A failed query leaves the proxy off, without address, on port 80.
    if (const std::optional<TSystemProxy> proxy = GetSystemProxy(QStringLiteral("http"))) {
        d.SystemUsesProxy = proxy->UseProxy;
        d.SystemProxyHost = proxy->Address;
        d.SystemProxyPort = QString::number(proxy->Port);
    }
    return d;
}

TCheckList TOptionSet::DefaultSuffixes() {
    TCheckList list;
    for (const char* s : {"(Acoustic)", "(Demo)", "(Instrumental)", "(Live)", "(Orchestral)",
                          "(Remastered)", "(Remix)"})
        list.append({QString::fromLatin1(s), true});
    return list;
}

TOptionSet TOptionSet::Defaults(const TOptionDefaults& platform) {
    TOptionSet o;
    o.MusicLibraryHomePath = platform.MusicFolder;
    o.MP3valPath = platform.MP3valFolder;
    o.MP3GainPath = platform.MP3GainFolder;
    o.Mp3tagPath = platform.Mp3tagFolder;
    o.UseProxyServer = platform.SystemUsesProxy;
    o.ProxyAddress = platform.SystemProxyHost;
    o.ProxyPort =
        platform.SystemProxyPort.isEmpty() ? QStringLiteral("80") : platform.SystemProxyPort;
    return o;
}

const QVector<TOptionDescriptor>& OptionDescriptors() {
    static const QVector<TOptionDescriptor> descriptors = {
        {"Recursive", &TOptionSet::Recursive},
        {"PromptBeforeOverwritingFiles", &TOptionSet::PromptBeforeOverwritingFiles},
        {"CleanAttributesDuringReadingProcess", &TOptionSet::CleanAttributesDuringReadingProcess},
        {"FormatTitleDuringFixingProcess", &TOptionSet::FormatTitleDuringFixingProcess},
        {"MoveFeaturingsFromTitleToComments", &TOptionSet::MoveFeaturingsFromTitleToComments},
        {"EmbedCoverArtDuringFixingProcess", &TOptionSet::EmbedCoverArtDuringFixingProcess},
        {"ForceFixStateToEnabled", &TOptionSet::ForceFixStateToEnabled},
        {"RememberColumnsSize", &TOptionSet::RememberColumnsSize},
        {"RecentlyUsedFileList", &TOptionSet::RecentlyUsedFileList, 0, 100},
        {"LimitSearchDepth", &TOptionSet::LimitSearchDepth},
        {"MaxSearchDepth", &TOptionSet::MaxSearchDepth, 0, 128},
        {"PreserveFileDateTime", &TOptionSet::PreserveFileDateTime},
        {"ExportPlaylistUsingExtendedM3UFormat", &TOptionSet::ExportPlaylistUsingExtendedM3UFormat},
        {"ExportPlaylistUsingAbsolutePath", &TOptionSet::ExportPlaylistUsingAbsolutePath},
        {"MusicLibraryHomePath", &TOptionSet::MusicLibraryHomePath},
        {"MP3valPath", &TOptionSet::MP3valPath},
        {"MP3GainPath", &TOptionSet::MP3GainPath},
        {"MP3GainDefaultVolume", &TOptionSet::MP3GainDefaultVolume, 0, 100},
        {"UseMP3GainUserInterface", &TOptionSet::UseMP3GainUserInterface},
        {"Mp3tagPath", &TOptionSet::Mp3tagPath},
        {"MP3NameComputing", &TOptionSet::MP3NameComputing, 0, 3},
        {"UseProxyServer", &TOptionSet::UseProxyServer},
        {"ProxyAddress", &TOptionSet::ProxyAddress},
        {"ProxyPort", &TOptionSet::ProxyPort},
    };
    return descriptors;
}

const QVector<TCheckListDescriptor>& CheckListDescriptors() {
    static const QVector<TCheckListDescriptor> descriptors = {
        {GenresListName, &TOptionSet::Genres},
        {SuffixesListName, &TOptionSet::Suffixes},
        {UpdateDataFilesListName, &TOptionSet::UpdateDataFiles},
    };
    return descriptors;
}

void SortCheckList(TCheckList& list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const TCheckListItem& a, const TCheckListItem& b) {
                         return a.Text.compare(b.Text, Qt::CaseInsensitive) < 0;
                     });
}

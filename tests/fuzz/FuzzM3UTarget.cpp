// Reads every input as a playlist lying beside music files, after checking the text decoding and
// the line cutting that every text file the program reads goes through.
#include "discovery/FilePaths.h"
#include "discovery/M3UPlaylistReader.h"
#include "fuzz/FuzzFile.h"
#include "support/TextFile.h"

#include <QDir>

namespace {

void CheckLines(const QString& text, const QStringList& lines) {
    qsizetype breaks = 0;
    for (QChar c : text)
        breaks += c == u'\r' || c == u'\n';
    qsizetype kept = 0;
    for (const QString& line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            FuzzFile::Fail("a line holds a line break");
        kept += line.size();
    }
    // Nothing but the breaks is dropped, and a CR LF pair ends one line, not two.
    if (kept + breaks != text.size() || lines.size() > breaks + 1)
        FuzzFile::Fail("cutting lines lost or invented text");
}

void CheckInformation(const QString& line) {
    const TM3UInformation information = ParseM3UInformationLine(line);
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0) {
        if (!(information == TM3UInformation{}))
            FuzzFile::Fail("an information line without a comma gave values");
        return;
    }
    const QString rest = line.mid(comma + 1);
    if (!rest.startsWith(information.Artist) || !rest.endsWith(information.Title) ||
        information.Artist.size() + information.Title.size() > rest.size())
        FuzzFile::Fail("the artist and title are not the text after the comma");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool prepared = [] {
        FuzzFile::Put(QStringLiteral("Song.mp3"), "x");
        FuzzFile::Put(QStringLiteral("Album/01 - Song.mp3"), "x");
        QDir().mkpath(FuzzFile::Folder() + QStringLiteral("/Folder.mp3"));
        return true;
    }();
    (void)prepared;

    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = TextFile::Decode(input);
    const QStringList lines = TextFile::SplitLines(text);
    CheckLines(text, lines);
    for (const QString& line : lines)
        if (line.contains(QLatin1String("#EXTINF")))
            CheckInformation(line);

    const QString path = FuzzFile::Write(data, size, QStringLiteral("input.m3u"));
    const QVector<TM3UEntry> entries = ReadM3UFile(path);
    if (entries.size() > lines.size())
        FuzzFile::Fail("more entries than lines");
    for (const TM3UEntry& entry : entries)
        if (!QDir::isAbsolutePath(entry.FileName) ||
            QDir::cleanPath(entry.FileName) != entry.FileName || !IsRegularFile(entry.FileName))
            FuzzFile::Fail("an entry is not a clean absolute path of a regular file");
    if (entries != ReadM3ULines(lines, FuzzFile::Folder()))
        FuzzFile::Fail("the file and its lines give other entries");
    FuzzFile::CheckUnchanged(path, data, size);
    return 0;
}

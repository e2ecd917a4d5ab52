#include "testsupport/HostileLibrary.h"

#include "testsupport/Mp3Fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a library file");
}

// A name given as raw bytes, for names that are not valid UTF-8.
void WriteRawName(const QString& folder, const QByteArray& name, const QByteArray& bytes) {
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        throw std::runtime_error("cannot write a raw-named file");
    ::close(fd);
}

const QByteArray RawNames[] = {"bad \xFF\xFE name.mp3", "latin1 caf\xE9.mp3"};

// Tags that a reader must survive: each is the start of a file, audio follows.
QByteArray DamagedTag(int kind) {
    using namespace Mp3Bytes;
    switch (kind % 7) {
    case 0: // a declared size far beyond the file
        return QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + Frame23("TIT2", Latin1("Cut"));
    case 1: // a frame whose size runs past the tag
        return Tag(3, QByteArray("TIT2\x00\x00\x7F\xFF\x00\x00\x00Lost", 15));
    case 2: // an unknown major version
        return QByteArray("ID3\x05\x00\x00\x00\x00\x00\x20", 10) + QByteArray(32, 'x');
    case 3: // sizes that are not synchsafe
        return QByteArray("ID3\x04\x00\x00\x00\x00\x80\x80", 10) + Frame24("TIT2", Latin1("X"));
    case 4: // a text frame with a bad encoding byte and no text
        return Tag(4, Frame24("TIT2", QByteArray("\x09", 1)) + Frame24("TPE1", QByteArray()));
    case 5: // the header alone, cut short
        return QByteArray("ID3\x03\x00", 5);
    default: // frames of zero bytes, garbage identifiers and an odd UTF-16 text
        return Tag(3, Frame23("TPE1", QByteArray()) + Frame23("\x01\x02\x03\x04", "zz") +
                          Frame23("TALB", QByteArray("\x01\xFF\xFE\x41", 4)));
    }
}

QByteArray GoodFile(std::mt19937& random, int index, const QString& artist, const QString& album) {
    const int version = int(random() % 4) + 1; // 1: no ID3v2 tag
    Mp3Fixture file(version == 1 ? 0 : version);
    const QString title = QStringLiteral("Song %1").arg(index);
    switch (random() % 5) {
    case 0:
        file.Text("TIT2", title + QStringLiteral(" (feat. Guest %1)").arg(index % 7));
        break;
    case 1:
        file.Text("TIT2",
                  QStringLiteral("%1 %2").arg(index % 12 + 1, 2, 10, QChar(u'0')).arg(title));
        break;
    case 2:
        break; // the title comes from the ID3v1 tag or the name
    default:
        file.Text("TIT2", title);
    }
    if (random() % 6 != 0)
        file.Text("TPE1", random() % 9 == 0 ? QStringList{artist, QStringLiteral("DC")}
                                            : QStringList{artist});
    if (random() % 4 != 0)
        file.Text("TALB", album);
    if (random() % 3 != 0)
        file.Text("TRCK", QStringLiteral("%1/12").arg(index % 12));
    if (random() % 2 != 0)
        file.Text(version == 4 ? "TDRC" : "TYER", QString::number(1960 + int(random() % 60)));
    if (random() % 3 != 0)
        file.Text("TCON", random() % 2 ? QStringLiteral("(%1)").arg(random() % 80)
                                       : QStringLiteral("Genre %1").arg(random() % 9));
    if (random() % 4 == 0)
        file.Comment(QString()).Comment(QStringLiteral("second %1").arg(index));
    if (random() % 7 == 0)
        file.Picture(3, random() % 2 ? "image/png" : "image/jpeg");
    if (random() % 3 == 0) {
        Mp3Bytes::TID3v1Fields v1;
        v1.Title = "V1 title " + QByteArray::number(index);
        v1.Artist = artist.toLatin1();
        v1.Album = "V1 album";
        v1.Year = "1999";
        v1.Comment = "v1 comment";
        v1.Track = index % 20;
        v1.Genre = int(random() % 150);
        file.ID3v1(v1);
    }
    if (random() % 10 == 0)
        file.Padding(int(random() % 3000));
    return file.Bytes();
}

} // namespace

QStringList HostileLibrary::Artists() {
    QStringList artists;
    for (int i = 0; i < 24; ++i)
        artists.append(QStringLiteral("Artist %1").arg(i));
    artists.append(QStringLiteral("AC/DC"));
    artists.append(QStringLiteral("Zoë Ødegård"));
    return artists;
}

HostileLibrary::HostileLibrary(const QString& folder, int count, unsigned seed) : FFolder(folder) {
    std::mt19937 random(seed);
    const QStringList artists = Artists();
    QStringList& playlist = FPlaylistEntries;
    for (int i = 0; i < count; ++i) {
        const QString artist = artists[qsizetype(random() % artists.size())];
        const QString album = QStringLiteral("Album %1").arg(random() % 5);
        QString folderName = QString(artist).replace(u'/', u'_') + u'/' + album;
        if (i % 97 == 0)
            folderName += QStringLiteral("/CD %1/deeper").arg(i % 3);
        const QString path = folder + u'/' + folderName +
                             QStringLiteral("/%1 - Track %2.mp3").arg(i % 14 + 1).arg(i);
        QByteArray bytes =
            i % 23 == 5 ? DamagedTag(i) + Mp3Bytes::Audio(2) : GoodFile(random, i, artist, album);
        if (i % 211 == 7)
            bytes.clear(); // empty file
        else if (i % 211 == 8)
            bytes = "ID3";
        WriteBytes(path, bytes);
        if (i % 10 == 0)
            playlist.append(path);
        if (i % 131 == 3)
            WriteBytes(QFileInfo(path).absolutePath() + QStringLiteral("/Cover.jpg"), "\xFF\xD8");
    }

    const QString odd = folder + QStringLiteral("/Odd");
    QDir().mkpath(odd);
    for (int i = 0; i < 3; ++i) {
        const QString pipe = odd + QStringLiteral("/pipe %1.mp3").arg(i);
        if (::mkfifo(QFile::encodeName(pipe).constData(), 0644) != 0)
            throw std::runtime_error("cannot make a named pipe");
        playlist.append(pipe);
    }
    QDir().mkpath(odd + QStringLiteral("/folder.mp3/inside"));
    WriteBytes(odd + QStringLiteral("/folder.mp3/inside/x.mp3"), Mp3Fixture().Bytes());
    playlist.append(odd + QStringLiteral("/folder.mp3"));
    QFile::link(odd + QStringLiteral("/gone.mp3"), odd + QStringLiteral("/dangling.mp3"));
    QFile::link(folder, odd + QStringLiteral("/loop"));
    WriteBytes(odd + QStringLiteral("/.hidden.mp3"), Mp3Fixture().Text("TIT2", "Hidden").Bytes());
    for (const QByteArray& name : RawNames)
        WriteRawName(odd, name, Mp3Fixture().Text("TIT2", "Raw").Bytes());
    const QString unreadable = odd + QStringLiteral("/unreadable.mp3");
    WriteBytes(unreadable, Mp3Fixture().Text("TIT2", "Locked").Bytes());
    ::chmod(QFile::encodeName(unreadable).constData(), 0);
    playlist.append(unreadable);
    playlist.append(odd + QStringLiteral("/missing.mp3"));
}

HostileLibrary::~HostileLibrary() {
    const QByteArray odd = QFile::encodeName(FFolder) + "/Odd/";
    for (const QByteArray& name : RawNames)
        ::unlink((odd + name).constData());
}

// The floor of the fix benchmark, and the snapshot that puts a corpus back between runs.
//   fix-floor run CORPUS [--grow=N]    per file: rewrite its tag bytes in place and its ID3v1
//                                      tag, then rename it without replacing; with --grow the
//                                      tag takes N more bytes, so the file is rebuilt the safe
//                                      way (temporary file, flush, rename, folder flushed);
//                                      with --grow-unpadded=N only tags without padding do
//   fix-floor save CORPUS SNAPSHOT     notes every file's name, tag area and ID3v1 tag
//   fix-floor restore CORPUS SNAPSHOT  puts them back
// Files are told apart by the "VARNHOLM-BENCH-<number>" frame that make-corpus --audio-kb puts
// at the start of their audio, so that a renamed file is found again.
#include "BenchFiles.h"

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cstdio>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 MarkerSize = 4 + 15 + 9;

qint64 TagArea(const unsigned char* header) {
    if (header[0] != 'I' || header[1] != 'D' || header[2] != '3')
        return 0;
    const qint64 size = qint64(header[6] & 0x7F) << 21 | qint64(header[7] & 0x7F) << 14 |
                        qint64(header[8] & 0x7F) << 7 | qint64(header[9] & 0x7F);
    return 10 + size + ((header[5] & 0x10) ? 10 : 0);
}

bool ReadAt(int fd, void* data, qint64 count, qint64 offset) {
    return ::pread(fd, data, size_t(count), offset) == count;
}

bool WriteAt(int fd, const void* data, qint64 count, qint64 offset) {
    return ::pwrite(fd, data, size_t(count), offset) == count;
}

QByteArray FixedName(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    return QFile::encodeName(info.path() + "/Fixed " + info.fileName());
}

qint64 Grow = 0;
qint64 GrowUnpadded = 0;
unsigned long long Rebuild(const std::string& path, qint64 grow);

// Whether the frames of a tag area fill it to its end: such a tag has no room for a changed
// frame, so a fix must rebuild its file.
bool Unpadded(const QByteArray& area) {
    if (area.size() <= 10)
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(area.constData());
    const bool syncsafe = bytes[3] >= 4;
    qint64 at = 10;
    while (at + 10 <= area.size() && bytes[at] != 0) {
        const unsigned char* s = bytes + at + 4;
        const qint64 size =
            syncsafe ? qint64(s[0] & 0x7F) << 21 | qint64(s[1] & 0x7F) << 14 |
                           qint64(s[2] & 0x7F) << 7 | qint64(s[3] & 0x7F)
                     : qint64(s[0]) << 24 | qint64(s[1]) << 16 | qint64(s[2]) << 8 | qint64(s[3]);
        at += 10 + size;
    }
    return at >= area.size();
}

// Rewrites the tag area and the ID3v1 tag with the bytes they hold, then renames. With
// --grow-unpadded a tag without padding cannot take a changed frame in place: that file is
// rebuilt instead, as the fix does.
unsigned long long RewriteInPlace(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return 0;
    unsigned char header[10];
    struct stat st {};
    unsigned long long sum = 0;
    if (::fstat(fd, &st) == 0 && ReadAt(fd, header, 10, 0)) {
        static QByteArray area;
        area.resize(TagArea(header));
        const bool read = ReadAt(fd, area.data(), area.size(), 0);
        if (read && GrowUnpadded > 0 && Unpadded(area)) {
            ::close(fd);
            return Rebuild(path, GrowUnpadded);
        }
        if (read && WriteAt(fd, area.constData(), area.size(), 0))
            sum += area.size();
        char last[128];
        if (st.st_size >= 128 && ReadAt(fd, last, 128, st.st_size - 128) && last[0] == 'T' &&
            last[1] == 'A' && last[2] == 'G' && WriteAt(fd, last, 128, st.st_size - 128))
            sum += 128;
    }
    ::close(fd);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, FixedName(path).constData(),
                    RENAME_NOREPLACE) == 0)
        ++sum;
    return sum;
}

// Writes the file again with a tag area `grow` bytes larger, as a rebuild does.
unsigned long long Rebuild(const std::string& path, qint64 grow) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat st {};
    unsigned char header[10];
    if (::fstat(fd, &st) != 0 || !ReadAt(fd, header, 10, 0)) {
        ::close(fd);
        return 0;
    }
    const qint64 area = TagArea(header);
    QByteArray tag(area + grow, '\0');
    ReadAt(fd, tag.data(), area, 0);
    // The grown area as padding of the same tag (a file without a tag gets none).
    if (area > 0) {
        const qint64 size = tag.size() - 10 - ((header[5] & 0x10) ? 10 : 0);
        for (int i = 0; i < 4; ++i)
            tag[9 - i] = char((size >> (7 * i)) & 0x7F);
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(QString::fromStdString(path)).path());
    QByteArray temporary = folder + "/.floor-XXXXXX";
    const int out = ::mkostemp(temporary.data(), O_CLOEXEC);
    bool ok = out >= 0 && WriteAt(out, tag.constData(), tag.size(), 0);
    static QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 offset = area; ok && offset < st.st_size; offset += block.size()) {
        const qint64 n = qMin<qint64>(block.size(), st.st_size - offset);
        ok = ReadAt(fd, block.data(), n, offset) &&
             WriteAt(out, block.constData(), n, offset - area + tag.size());
    }
    ::close(fd);
    ok = ok && ::fsync(out) == 0;
    if (out >= 0)
        ::close(out);
    ok = ok && ::rename(temporary.constData(), path.c_str()) == 0;
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    ok = ok && ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, FixedName(path).constData(),
                           RENAME_NOREPLACE) == 0;
    return ok ? 1 : 0;
}

struct TSaved {
    QString Path; // relative to the corpus
    QByteArray Area;
    QByteArray ID3v1;
};

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The tag area, the marker and the ID3v1 tag of a file's bytes.
bool Split(const QByteArray& bytes, QByteArray& area, QByteArray& marker, QByteArray& id3v1) {
    if (bytes.size() < 10)
        return false;
    const qint64 size = TagArea(reinterpret_cast<const unsigned char*>(bytes.constData()));
    area = bytes.left(size);
    marker = bytes.mid(size, MarkerSize);
    id3v1 = bytes.size() - size >= 128 && bytes.right(128).startsWith("TAG") ? bytes.right(128)
                                                                             : QByteArray();
    return marker.size() == MarkerSize && marker.mid(4).startsWith("VARNHOLM-BENCH-");
}

int Save(const QString& corpus, const QString& snapshot) {
    QFile out(snapshot);
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    QDataStream stream(&out);
    int count = 0;
    for (const std::string& file : BenchFiles::ListMP3Files(corpus.toStdString())) {
        const QString path = QString::fromStdString(file);
        QByteArray area, marker, id3v1;
        if (!Split(ReadFile(path), area, marker, id3v1)) {
            std::fprintf(stderr, "no bench marker in %s\n", qPrintable(path));
            return 1;
        }
        stream << marker << path.mid(corpus.size()) << area << id3v1;
        ++count;
    }
    std::printf("saved %d files\n", count);
    return 0;
}

int Restore(const QString& corpus, const QString& snapshot) {
    QFile in(snapshot);
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    QDataStream stream(&in);
    QHash<QByteArray, TSaved> saved;
    while (!stream.atEnd()) {
        QByteArray marker;
        TSaved s;
        stream >> marker >> s.Path >> s.Area >> s.ID3v1;
        saved.insert(marker, s);
    }
    int restored = 0;
    for (const std::string& file : BenchFiles::ListMP3Files(corpus.toStdString())) {
        const QString path = QString::fromStdString(file);
        QFile f(path);
        if (!f.open(QIODevice::ReadWrite))
            return 1;
        const QByteArray head = f.read(10);
        const qint64 areaSize =
            head.size() == 10 ? TagArea(reinterpret_cast<const unsigned char*>(head.constData()))
                              : 0;
        f.seek(areaSize);
        const QByteArray marker = f.read(MarkerSize);
        const TSaved s = saved.value(marker);
        if (s.Path.isEmpty()) {
            std::fprintf(stderr, "unknown file %s\n", qPrintable(path));
            return 1;
        }
        qint64 v1Size = 0;
        if (f.size() - areaSize >= 128 && f.seek(f.size() - 128) && f.read(3) == "TAG")
            v1Size = 128;
        if (areaSize == s.Area.size() && v1Size == s.ID3v1.size()) {
            f.seek(0);
            f.write(s.Area);
            if (v1Size) {
                f.seek(f.size() - 128);
                f.write(s.ID3v1);
            }
            f.close();
        } else {
            f.seek(areaSize);
            const QByteArray audio = f.read(f.size() - areaSize - v1Size);
            f.close();
            QFile rebuilt(path + ".restore");
            if (!rebuilt.open(QIODevice::WriteOnly) ||
                rebuilt.write(s.Area + audio + s.ID3v1) !=
                    s.Area.size() + audio.size() + s.ID3v1.size())
                return 1;
            rebuilt.close();
            if (::rename(QFile::encodeName(rebuilt.fileName()).constData(),
                         QFile::encodeName(path).constData()) != 0)
                return 1;
        }
        const QString original = corpus + s.Path;
        if (original != path && ::rename(QFile::encodeName(path).constData(),
                                         QFile::encodeName(original).constData()) != 0)
            return 1;
        ++restored;
    }
    std::printf("restored %d files\n", restored);
    return restored == saved.size() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const QByteArray mode = argc > 1 ? argv[1] : "";
    if (mode == "run" && argc >= 3) {
        for (int i = 3; i < argc; ++i) {
            const QByteArray arg(argv[i]);
            if (arg.startsWith("--grow="))
                Grow = arg.mid(7).toLongLong();
            else if (arg.startsWith("--grow-unpadded="))
                GrowUnpadded = arg.mid(16).toLongLong();
        }
        char* runArgs[] = {argv[0], argv[2], nullptr};
        return BenchFiles::Run(2, runArgs,
                               Grow > 0
                                   ? +[](const std::string& path) { return Rebuild(path, Grow); }
                                   : RewriteInPlace);
    }
    if ((mode == "save" || mode == "restore") && argc == 4) {
        QString corpus = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
        const QString snapshot = QString::fromLocal8Bit(argv[3]);
        return mode == "save" ? Save(corpus, snapshot) : Restore(corpus, snapshot);
    }
    std::fprintf(stderr,
                 "usage: %s run CORPUS [--grow=N | --grow-unpadded=N] | save CORPUS SNAPSHOT | "
                 "restore CORPUS SNAPSHOT\n",
                 argv[0]);
    return 2;
}

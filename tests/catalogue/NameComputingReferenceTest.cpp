#include "catalogue/NameComputing.h"
#include "catalogue/TextCleaning.h"
#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// The name rules written the plain way, one step per sentence of the rules, to check the
// program's faster building against on many random values.
namespace Reference {

QString Replace(QString s, QStringView set) {
    for (QChar& c : s)
        if (set.contains(c))
            c = u' ';
    return s;
}

QString Remove(QString s, QStringView set) {
    s.removeIf([set](QChar c) { return set.contains(c); });
    return s;
}

QString Tidy(QString s) {
    while (s.startsWith(u' '))
        s.remove(0, 1);
    while (s.endsWith(u' '))
        s.chop(1);
    while (s.contains(QStringLiteral("  ")))
        s.replace(QStringLiteral("  "), QStringLiteral(" "));
    return s;
}

const QStringView Compact = u" .-'\u00B4\u2019,;:/\\?*\"<>|~";
const QStringView NameSet = u";:/\\?*\"<>|~";
const QStringView FolderSet = u";:/\\?*\"<>|";

QString Name(const TMP3TagData& d, int mode, const TOptionSet& o) {
    const QString t = FormatTitle(CleanMP3Attribute(d.Title, o), o);
    const bool hasTrack = !d.TrackNumber.isEmpty() && d.TrackNumber != u"0";
    const QString p = Replace(d.TrackNumber.rightJustified(2, u'0'), NameSet);
    switch (mode) {
    case 0:
        return Remove(d.Artist, Compact) + "-" + Remove(t, Compact) + ".mp3";
    case 1:
        if (d.AlbumTitle.isEmpty())
            return Tidy(Replace(d.Artist, NameSet) + " - " + Replace(t, NameSet)) + ".mp3";
        if (hasTrack)
            return Tidy(Replace(d.Artist, NameSet) + " - " + Replace(d.AlbumTitle, NameSet) +
                        " - " + p + " - " + Replace(t, NameSet)) +
                   ".mp3";
        return Tidy(Replace(d.Artist, NameSet) + " - " + Replace(d.AlbumTitle, NameSet) + " - " +
                    Replace(t, NameSet)) +
               ".mp3";
    case 2:
        return Tidy((hasTrack ? p + " - " : QString()) + Replace(t, NameSet)) + ".mp3";
    default:
        return {};
    }
}

int Mode(const TMP3TagData& d, const QString& fileName, const TOptionSet& o) {
    if (o.MP3NameComputing != 3)
        return o.MP3NameComputing;
    const QStringList pieces =
        fileName.left(fileName.lastIndexOf(u'/') + 1).split(u'/', Qt::SkipEmptyParts);
    const QString folder = pieces.isEmpty() ? QString() : pieces.last();
    QString expected =
        Tidy(Replace(d.Artist, FolderSet) + " - " + Replace(d.AlbumTitle, FolderSet));
    for (QChar c : {u'.', u' ', u'.'})
        while (expected.endsWith(c))
            expected.chop(1);
    return folder == expected ? 2 : 1;
}

} // namespace Reference

TEST(NameComputingReference, RandomValuesGiveTheSameNamesAndModes) {
    std::mt19937 rng(11);
    const QString alphabet = QString::fromUtf8(" . -/\\~:\"?aAbB09é’´|");
    const auto text = [&](int most) {
        QString s;
        for (int n = int(rng() % (most + 1)); n > 0; --n)
            s += alphabet[qsizetype(rng() % alphabet.size())];
        return s;
    };
    const QStringList tracks = {"", "0", "7", "07", "123", "1/2", "a"};
    for (int i = 0; i < 20000; ++i) {
        TMP3TagData d;
        d.Artist = text(6);
        d.AlbumTitle = rng() % 4 == 0 ? QString() : text(6);
        d.Title = text(8);
        d.TrackNumber = tracks[qsizetype(rng() % tracks.size())];
        TOptionSet o;
        o.CleanAttributesDuringReadingProcess = rng() % 2;
        o.FormatTitleDuringFixingProcess = rng() % 2;
        o.MP3NameComputing = int(rng() % 4);
        // Sometimes the folder is the expected one, so that Mixed goes both ways.
        const QString folder =
            rng() % 2 ? Reference::Tidy(d.Artist + " - " + d.AlbumTitle) : text(5);
        const QString fileName = "/m/" + folder + (rng() % 3 ? "/" : "//") + "f.mp3";
        const int mode = GetMP3NameComputingMode(d, fileName, o);
        ASSERT_EQ(mode, Reference::Mode(d, fileName, o)) << fileName.toStdString();
        ASSERT_EQ(BuildMP3Name(d, mode, o), Reference::Name(d, mode, o))
            << d.Artist.toStdString() << " | " << d.AlbumTitle.toStdString() << " | "
            << d.Title.toStdString() << " | " << d.TrackNumber.toStdString();
        ASSERT_EQ(BuildMP3Name(d, 5, o), "");
    }
}

} // namespace

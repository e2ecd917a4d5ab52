// quenlor-cli show and tag over real files.
#include "CliRunner.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/Mp3Layout.h"
#include "testsupport/QtPrinters.h"

#include <QBuffer>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

QByteArray Png(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

Mp3Fixture Sample() {
    return Mp3Fixture(3)
        .Text("TPE1", "Artist")
        .Text("TIT2", "Song")
        .Text("TALB", "Album")
        .Text("TRCK", "4")
        .Text("TYER", "1999")
        .Text("TCON", "Rock")
        .Comment("note");
}

class PropertiesCommand : public testing::Test {
protected:
    CliRunner cli;
    TempDir music;
};

TEST_F(PropertiesCommand, ShowPrintsTheDialogsFieldsAndCover) {
    const QByteArray png = Png({64, 48});
    struct {
        const char* name;
        Mp3Fixture file;
        QString cover;
    } cases[] = {
        {"png.mp3", Sample().Picture(3, "image/png", png),
         QStringLiteral("image/png 64x48, %1 bytes").arg(png.size())},
        {"none.mp3", Sample().Picture(4, "image/png", png), "none"},
        {"damaged.mp3", Sample().Picture(3, "image/jpeg", "\xFF\xD8junk"),
         "image/jpeg, 6 bytes, cannot be shown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = music.Write(c.name, c.file.Bytes());
        const QByteArray before = music.Read(c.name);
        const CliRunner::Result r = cli.Run({"show", path});
        ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        EXPECT_EQ(r.OutLines(), QStringList({"Artist: Artist", "Title: Song", "Track Number: 4",
                                             "Album Title: Album", "Year: 1999", "Genre: Rock",
                                             "Comments: note", "Cover Art: " + c.cover}));
        EXPECT_EQ(music.Read(c.name), before);
    }
}

TEST_F(PropertiesCommand, ShowAsJson) {
    const QByteArray png = Png({10, 20});
    const QString path = music.Write("a.mp3", Sample().Picture(3, "image/png", png).Bytes());
    const CliRunner::Result r = cli.Run({"show", "--format", "json", path});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    const QJsonObject object = QJsonDocument::fromJson(r.OutBytes).object();
    EXPECT_EQ(object.value("Artist").toString(), "Artist");
    EXPECT_EQ(object.value("Track Number").toString(), "4");
    EXPECT_EQ(object.value("Comments").toString(), "note");
    const QJsonObject cover = object.value("Cover Art").toObject();
    EXPECT_EQ(cover.value("MIME Type").toString(), "image/png");
    EXPECT_EQ(cover.value("Width").toInt(), 10);
    EXPECT_EQ(cover.value("Height").toInt(), 20);
    EXPECT_EQ(cover.value("Bytes").toInt(), png.size());
    EXPECT_TRUE(cover.value("Can Be Shown").toBool());

    const QString bare = music.Write("b.mp3", Sample().Bytes());
    const CliRunner::Result none = cli.Run({"show", "--format=json", bare});
    EXPECT_TRUE(QJsonDocument::fromJson(none.OutBytes).object().value("Cover Art").isNull());
}

TEST_F(PropertiesCommand, ShowRefusesWhatIsNotOneFile) {
    EXPECT_EQ(cli.Run({"show"}).ExitCode, 2);
    EXPECT_EQ(cli.Run({"show", "--format", "xml", music.File("a.mp3")}).ExitCode, 2);
    const CliRunner::Result missing = cli.Run({"show", music.File("missing.mp3")});
    EXPECT_EQ(missing.ExitCode, 1);
    music.Write("a.mp3", Sample().Bytes());
    music.Write("b.mp3", Sample().Bytes());
    EXPECT_EQ(cli.Run({"show", music.Path()}).ExitCode, 1);
}

} // namespace

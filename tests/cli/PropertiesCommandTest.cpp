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

TEST_F(PropertiesCommand, TagReplacesTheGivenFieldsAndKeepsTheCover) {
    const QByteArray png = Png({8, 8});
    const QString path = music.Write("a.mp3", Sample().Picture(3, "image/png", png).Bytes());
    const QByteArray audio = AudioBytesOf(path);
    const CliRunner::Result r =
        cli.Run({"tag", path, "--title", "New Title", "--track", "12", "--year", "2003"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    ASSERT_EQ(r.OutLines().size(), 2);
    EXPECT_TRUE(r.OutLines()[1].startsWith(R"("a.mp3",")"));
    EXPECT_TRUE(r.OutLines()[1].contains(
        R"x("Artist","New Title","12","Album","2003","Rock","note","Yes (image/png)")x"))
        << r.Out.toStdString();
    EXPECT_EQ(cli.Run({"show", path}).OutLines(),
              QStringList({"Artist: Artist", "Title: New Title", "Track Number: 12",
                           "Album Title: Album", "Year: 2003", "Genre: Rock", "Comments: note",
                           QStringLiteral("Cover Art: image/png 8x8, %1 bytes").arg(png.size())}));
    EXPECT_TRUE(music.Read("a.mp3").contains(png));
    EXPECT_EQ(AudioBytesOf(path), audio);
}

TEST_F(PropertiesCommand, TagAssignsAndRemovesTheCover) {
    const QString path = music.Write("a.mp3", Sample().Picture(3, "image/jpeg", "OLD").Bytes());
    const QByteArray png = Png({16, 4});
    const QString picture = music.Write("new.jpg", png); // a PNG whatever its name says
    CliRunner::Result r = cli.Run({"tag", path, "--cover", picture});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(cli.Run({"show", path}).OutLines().value(7),
              QStringLiteral("Cover Art: image/png 16x4, %1 bytes").arg(png.size()));
    EXPECT_TRUE(music.Read("a.mp3").contains(png));
    EXPECT_FALSE(music.Read("a.mp3").contains("OLD"));

    r = cli.Run({"tag", path, "--no-cover"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.OutLines().value(1).trimmed().endsWith(R"(,"No")")) << r.Out.toStdString();
    EXPECT_EQ(cli.Run({"show", path}).OutLines().value(7), "Cover Art: none");
}

TEST_F(PropertiesCommand, TagRefusesWhatTheDialogRefusesAndWritesNothing) {
    const QString path = music.Write("a.mp3", Sample().Bytes());
    const QString notAPicture = music.Write("bad.png", "not a picture");
    const QByteArray before = music.Read("a.mp3");
    struct {
        QStringList args;
        int exit;
        QString message;
    } cases[] = {
        {{"--artist", ""}, 1, "Error: The artist value must be non-empty."},
        {{"--track", "x"}, 1, "Error: The track number value must be a number."},
        {{"--year", "12345"},
         1,
         "Error: The year value must be empty or a number of at most four digits."},
        {{"--cover", notAPicture}, 1, "Error: \"" + notAPicture + "\" holds no picture"},
        {{"--cover", notAPicture, "--no-cover"}, 2, "exclude each other"},
        {{"--rating", "5"}, 2, "Unknown option"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRunner::Result r = cli.Run(QStringList{"tag", path} + c.args);
        EXPECT_EQ(r.ExitCode, c.exit);
        EXPECT_TRUE(r.Err.contains(c.message)) << r.Err.toStdString();
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(music.Read("a.mp3"), before);
    }
}

TEST_F(PropertiesCommand, TagDryRunPrintsThePlanAndWritesNothing) {
    const QString path = music.Write("a.mp3", Sample().Picture(3, "image/jpeg", "OLD").Bytes());
    const QString picture = music.Write("new.png", Png({4, 4}));
    const QByteArray before = music.Read("a.mp3");
    CliRunner::Result r =
        cli.Run({"tag", path, "--title", "Planned", "--cover", picture, "--dry-run"});
    EXPECT_EQ(r.ExitCode, 3) << r.Err.toStdString();
    const QString header = R"("File","Change","Field","Old","New")";
    EXPECT_EQ(r.OutLines().value(0).trimmed(), header);
    EXPECT_TRUE(r.Out.contains(QStringLiteral(R"("%1","Tag","TIT2","Song","Planned")").arg(path)))
        << r.Out.toStdString();
    EXPECT_TRUE(r.Out.contains(QStringLiteral(R"("%1","Tag","APIC")").arg(path)))
        << r.Out.toStdString();
    EXPECT_EQ(music.Read("a.mp3"), before);

    // The values the dialog refuses plan nothing.
    r = cli.Run({"tag", path, "--artist", "", "--dry-run"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Err.contains("Error: The artist value must be non-empty."));
    EXPECT_TRUE(r.Out.isEmpty());
    EXPECT_EQ(music.Read("a.mp3"), before);
}

} // namespace

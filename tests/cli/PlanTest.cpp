// --dry-run: the plan lists exactly what the real run then does, and writing it changes nothing,
// neither the music nor the program's own settings, data and log.
#include "CliRunner.h"
#include "TagLibView.h"
#include "testsupport/CsvLine.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <id3v1genres.h>
#include <set>
#include <tuple>

namespace {

struct PlanLine {
    QString File, Change, Field, Old, New;
};

QList<PlanLine> ParsePlan(const QString& out) {
    QList<PlanLine> lines;
    const QStringList text = out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(text.value(0), "\"File\",\"Change\",\"Field\",\"Old\",\"New\"");
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QStringList f = CsvFields(text[i]);
        EXPECT_EQ(f.size(), 5) << text[i].toStdString();
        lines.append({f.value(0), f.value(1), f.value(2), f.value(3), f.value(4)});
    }
    return lines;
}

// A file's tag fields as TagLib reads them, named as the plan names them.
using Fields = QMap<QString, QString>;

Fields FieldsOf(const QString& file) {
    const TTagLibView view = ReadWithTagLib(file);
    Fields fields;
    for (auto it = view.Texts.cbegin(); it != view.Texts.cend(); ++it)
        // TagLib shows a 2.3 year as TDRC.
        fields[view.Version == 3 && it.key() == "TDRC" ? QStringLiteral("TYER") : it.key()] =
            it.value().join(u'/');
    for (auto it = view.FrameCounts.cbegin(); it != view.FrameCounts.cend(); ++it)
        if (!fields.contains(it.key()) && it.key() != "COMM" && it.key() != "APIC" &&
            !(view.Version == 3 && it.key() == "TDRC"))
            fields[it.key()] = QString();
    for (qsizetype i = 0; i < view.Comments.size(); ++i) {
        const auto& c = view.Comments[i];
        QString shown = c.Language.isEmpty() ? QString() : "[" + c.Language + "] ";
        if (!c.Description.isEmpty())
            shown += c.Description + ": ";
        fields[i ? QStringLiteral("COMM %1").arg(i + 1) : QStringLiteral("COMM")] = shown + c.Text;
    }
    for (qsizetype i = 0; i < view.Pictures.size(); ++i) {
        const auto& p = view.Pictures[i];
        fields[i ? QStringLiteral("APIC %1").arg(i + 1) : QStringLiteral("APIC")] =
            QStringLiteral("%1, %2, %3 bytes")
                .arg(p.Type == 3 ? QStringLiteral("front cover")
                                 : QStringLiteral("picture type %1").arg(p.Type),
                     p.MIMEType)
                .arg(p.Data.size());
    }
    if (view.HasID3v1) {
        fields["ID3v1 Title"] = view.V1Title;
        fields["ID3v1 Artist"] = view.V1Artist;
        fields["ID3v1 Album"] = view.V1Album;
        fields["ID3v1 Year"] = view.V1Year;
        fields["ID3v1 Comment"] = view.V1Comment;
        fields["ID3v1 Track"] = view.V1Track ? QString::number(view.V1Track) : QString();
        const QString genre =
            QString::fromStdString(TagLib::ID3v1::genre(view.V1Genre).to8Bit(true));
        fields["ID3v1 Genre"] = genre.isEmpty() ? QString::number(view.V1Genre) : genre;
    }
    return fields;
}

using Change = std::tuple<QString, QString, QString>; // field, old, new

std::set<Change> Differences(const Fields& before, const Fields& after) {
    std::set<Change> changes;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (!after.contains(it.key()) || after[it.key()] != it.value())
            changes.insert({it.key(), it.value(), after.value(it.key())});
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key()))
            changes.insert({it.key(), QString(), it.value()});
    return changes;
}

QStringList MusicFiles(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, {"*.mp3"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

class Plan : public testing::Test {
protected:
    CliRunner cli;
    TempDir music;

    Plan() {
        // Featured artists go from the title to the comment; the folder's cover is embedded.
        for (const char* option :
             {"MoveFeaturingsFromTitleToComments", "EmbedCoverArtDuringFixingProcess"})
            EXPECT_EQ(cli.Run({"options", "set", option, "1"}).ExitCode, 0);
        // Cid's genre was learned by an earlier run.
        QDir().mkpath(cli.DataFolder());
        QFile learned(cli.DataFolder() + "/~MyMP3ArtistGenre.def");
        EXPECT_TRUE(learned.open(QIODevice::WriteOnly));
        learned.write("\xEF\xBB\xBF"
                      "Cid\tJazz\r\n");
        learned.close();

        const Mp3Bytes::TID3v1Fields v1{"one", "ana", "First", "2001", "old", 1, 17};
        music.Write("Ana - First/a.mp3", Mp3Fixture(3)
                                             .Text("TPE1", "ana")
                                             .Text("TIT2", "one (feat. Bob)")
                                             .Text("TALB", "First")
                                             .Text("TYER", "2001")
                                             .Text("TRCK", "1")
                                             .ID3v1(v1)
                                             .Bytes());
        music.Write("Ana - First/b.mp3", Mp3Fixture(4)
                                             .Text("TPE1", "Ana")
                                             .Text("TIT2", "two  [demo]")
                                             .Text("TALB", "First")
                                             .Text("TDRC", "2001")
                                             .Comment("kept")
                                             .Bytes());
        music.Write("Ana - First/Cover.jpg", QByteArray("\xFF\xD8\xFF\xE0"
                                                        "cover",
                                                        9));
        // Two files that get one name: the second keeps its own.
        for (const char* name : {"Cid/x.mp3", "Cid/y.mp3"})
            music.Write(name, Mp3Fixture(3)
                                  .Text("TPE1", "Cid")
                                  .Text("TIT2", "Same")
                                  .Text("TCON", "Rock")
                                  .ID3v1({"Same", "Cid", "", "", "", 0, 17})
                                  .Bytes());
        // A file whose name is taken on disk by a file that needs nothing.
        const QByteArray eve = Mp3Fixture(4).Text("TPE1", "Eve").Text("TIT2", "Song").Bytes();
        music.Write("Eve/Eve - Song.mp3", eve);
        music.Write("Eve/w.mp3", Mp3Fixture(4).Text("TPE1", "Eve").Text("TIT2", "Song").Bytes());
        // A file without a tag at all, and one whose tag cannot be read, which is skipped.
        music.Write("Eve/bare.mp3", Mp3Bytes::Audio());
        music.Write("Eve/damaged.mp3",
                    Mp3Fixture(3).Text("TPE1", "Eve").Raw("TIT2", "\x07x").Bytes());
    }
};

TEST_F(Plan, TheRealRunMakesExactlyThePlannedChanges) {
    const QStringList files = MusicFiles(music.Path());
    QMap<QString, Fields> before;
    for (const QString& file : files)
        before[file] = FieldsOf(file);
    const FileSnapshot bytesBefore = SnapshotFiles(music.Path());

    const CliRunner::Result plan = cli.Run({"fix", "--dry-run", music.Path()});
    ASSERT_EQ(plan.ExitCode, 3) << plan.Err.toStdString();
    const QList<PlanLine> lines = ParsePlan(plan.Out);

    // The plan holds every kind of change the library asks for.
    QSet<QString> kinds;
    for (const PlanLine& l : lines)
        kinds.insert(l.Change + u' ' + l.Field.section(u' ', 0, 0));
    for (const char* kind : {"Rename ", "Skip ", "Tag APIC", "Tag COMM", "Tag TCON", "Tag TIT2",
                             "Tag TDRC", "Tag ID3v1"})
        EXPECT_TRUE(kinds.contains(kind)) << kind << "\n" << plan.Out.toStdString();

    const CliRunner::Result run = cli.Run({"fix", music.Path()});
    EXPECT_EQ(run.ExitCode, 1) << run.Err.toStdString(); // the damaged file

    // The files are where the plan said.
    QMap<QString, QString> newPath;
    for (const QString& file : files)
        newPath[file] = file;
    QSet<QString> skipped;
    for (const PlanLine& l : lines) {
        ASSERT_TRUE(before.contains(l.File)) << l.File.toStdString();
        if (l.Change == "Rename")
            newPath[l.File] = QFileInfo(l.File).path() + u'/' + l.New;
        if (l.Change == "Skip")
            skipped.insert(l.File);
    }
    EXPECT_TRUE(skipped.contains(music.File("Cid/y.mp3")));
    EXPECT_TRUE(skipped.contains(music.File("Eve/w.mp3")));
    EXPECT_TRUE(skipped.contains(music.File("Eve/damaged.mp3")));
    QStringList expected = newPath.values();
    expected.sort();
    EXPECT_EQ(MusicFiles(music.Path()), expected);

    // Each file's tags changed exactly as planned, and a file without a planned tag change
    // holds the bytes it held.
    for (const QString& file : files) {
        std::set<Change> planned;
        for (const PlanLine& l : lines)
            if (l.File == file && l.Change == "Tag")
                planned.insert({l.Field, l.Old, l.New});
        const QString now = newPath[file];
        EXPECT_EQ(Differences(before[file], FieldsOf(now)), planned) << file.toStdString();
        if (planned.empty()) {
            EXPECT_EQ(SnapshotFiles(QFileInfo(now).path())[now].first, bytesBefore.at(file).first)
                << file.toStdString();
        }
    }
}

TEST_F(Plan, ADryRunWritesNothing) {
    // Settings, data and state as a run left them (the log of that run included).
    ASSERT_EQ(cli.Run({"list", music.File("Eve")}).ExitCode, 0);
    QFile log(cli.Home().File("state/Tessaly/Varnholm/Quenlor.log"));
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("an earlier line\r\n");
    log.close();
    const FileSnapshot home = SnapshotFiles(cli.Home().Path());
    const FileSnapshot library = SnapshotFiles(music.Path());

    for (const QStringList& args :
         {QStringList{"fix", "--dry-run", music.Path()},
          QStringList{"edit", "--dry-run", "--format", "json", "set-genre", "Pop", music.Path()},
          QStringList{"edit", "--dry-run", "embed-cover-art", music.Path()},
          QStringList{"tag", "--dry-run", "--title", "New", music.File("Cid/x.mp3")}}) {
        const CliRunner::Result r = cli.Run(args);
        EXPECT_EQ(r.ExitCode, 3) << args.join(' ').toStdString() << r.Err.toStdString();
        EXPECT_TRUE(SnapshotFiles(music.Path()) == library) << args.join(' ').toStdString();
        EXPECT_TRUE(SnapshotFiles(cli.Home().Path()) == home) << args.join(' ').toStdString();
    }

    // A damaged settings file is read as the defaults and left where it is, with no lock file.
    const QString settings = cli.SettingsFile();
    ASSERT_TRUE(QFile::remove(settings));
    QFile damaged(settings);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{ not json");
    damaged.close();
    QFile::remove(settings + ".lock");
    const FileSnapshot damagedHome = SnapshotFiles(cli.Home().Path());
    const CliRunner::Result r = cli.Run({"fix", "--dry-run", music.Path()});
    EXPECT_EQ(r.ExitCode, 3) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("could not be read")) << r.Err.toStdString();
    EXPECT_TRUE(SnapshotFiles(cli.Home().Path()) == damagedHome);
}

// tag goes through the same plan: its plan is what its real run changes.
TEST_F(Plan, TagPlansWhatItWrites) {
    const QString file = music.File("Ana - First/b.mp3");
    const Fields before = FieldsOf(file);
    const QStringList args = {"--title", "Three", "--genre", "Jazz", "--no-cover", file};
    const CliRunner::Result plan = cli.Run(QStringList{"tag", "--dry-run"} + args);
    ASSERT_EQ(plan.ExitCode, 3) << plan.Err.toStdString();
    std::set<Change> planned;
    for (const PlanLine& l : ParsePlan(plan.Out)) {
        EXPECT_EQ(l.File, file);
        EXPECT_EQ(l.Change, "Tag");
        planned.insert({l.Field, l.Old, l.New});
    }
    EXPECT_TRUE(planned.count({"TIT2", "two  [demo]", "Three"})) << plan.Out.toStdString();
    EXPECT_EQ(FieldsOf(file), before);
    const CliRunner::Result run = cli.Run(QStringList{"tag"} + args);
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(Differences(before, FieldsOf(file)), planned);
}

// A fresh user's first dry run seeds no data folder and creates no settings or log, and still
// plans with the installed data.
TEST(PlanFirstRun, CreatesNoFolderOfTheProgram) {
    CliRunner cli;
    TempDir music;
    music.Write("a.mp3", Mp3Fixture(3).Text("TPE1", "Ana").Text("TIT2", "One").Bytes());
    const CliRunner::Result r = cli.Run({"fix", "--dry-run", music.Path()});
    EXPECT_EQ(r.ExitCode, 3) << r.Err.toStdString();
    EXPECT_TRUE(r.Out.contains("\"Rename\",\"\",\"a.mp3\",\"Ana - One.mp3\""))
        << r.Out.toStdString();
    for (const char* folder : {"config", "data", "state"})
        EXPECT_FALSE(QFileInfo::exists(cli.Home().File(folder))) << folder;
}

// The JSON lines carry the CSV's fields; a plan without a change exits 0 with the header alone.
TEST(PlanFormats, JsonLinesAndAnEmptyPlan) {
    CliRunner cli;
    TempDir music;
    music.Write("a.mp3", Mp3Fixture(3).Text("TPE1", "Ana").Text("TIT2", "Say \"Hi\"").Bytes());
    CliRunner::Result r =
        cli.Run({"edit", "--dry-run", "--format", "json", "lowercase-title", music.Path()});
    ASSERT_EQ(r.ExitCode, 3) << r.Err.toStdString();
    const QStringList lines = r.Out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    QStringList titles;
    for (const QString& line : lines) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        EXPECT_EQ(o.keys().size(), 5) << line.toStdString();
        EXPECT_EQ(o["File"].toString(), music.File("a.mp3"));
        if (o["Field"].toString() == "TIT2")
            titles << o["Old"].toString() << o["New"].toString();
    }
    EXPECT_EQ(titles, QStringList({"Say \"Hi\"", "say \"hi\""}));

    r = cli.Run({"edit", "--dry-run", "lowercase-title", music.Path()});
    EXPECT_TRUE(r.Out.contains("\"TIT2\",\"Say \"\"Hi\"\"\",\"say \"\"hi\"\"\"\r\n"))
        << r.Out.toStdString();
    ASSERT_EQ(cli.Run({"edit", "lowercase-title", music.Path()}).ExitCode, 0);
    r = cli.Run({"edit", "--dry-run", "lowercase-title", music.Path()});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, "\"File\",\"Change\",\"Field\",\"Old\",\"New\"\r\n");
}

} // namespace

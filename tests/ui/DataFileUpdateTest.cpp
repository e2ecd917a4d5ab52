#include "ui/DataFileUpdate.h"
#include "refdata/FlatFile.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"
#include "testsupport/TestWebServer.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QByteArray OldGenres = "Rock\r\nPop\r\n";
const QByteArray NewGenres = "Rock\r\nPop\r\nAmbient\r\n";
const QString Success = "The update has been completed successfully. All files are up-to-date.";
const QString NotComplete = "The update has not been completed successfully. One or more files "
                            "may not be up-to-date.";

// A data folder with a genre file, an update list, a real server and the update over them.
class DataFileUpdateTest : public testing::Test {
protected:
    TempDir Dir;
    QString DataFolder = Dir.Path() + "/data/";
    TestWebServer Server{Dir.Path() + "/web"};
    ScriptedUiPort Ui;
    TOptionSet Options;
    TKelmFlatFile UpdateList;
    TReferenceData Reference;
    std::unique_ptr<TDataFileUpdate> Update;
    QStringList Statuses; // every status the window showed, in order, without repeats

    void SetUp() override {
        qunsetenv("VARNHOLM_TEST_CA_FILE");
        ASSERT_TRUE(Server.Running());
        Dir.Write("data/MP3Genres.def", OldGenres);
        Reference.Load(DataFolder, DataFolder, Ui);
        // A reload of the table forgets this entry.
        Reference.MP3GenresKelmFlatFile().AddVolatileData("Volatile", "", false);
    }

    // Writes the update list, checks every entry and runs the update.
    bool Run(const QStringList& lines) {
        UpdateList.SetFileName(Dir.Write("Quenlor.def", lines.join("\r\n").toUtf8()));
        UpdateList.Initialize();
        Options.UpdateDataFiles.clear();
        for (const QString& name : UpdateList.Values())
            Options.UpdateDataFiles.append({name, true});
        Update = std::make_unique<TDataFileUpdate>(Ui, Options, UpdateList, Reference);
        Update->TimeoutSeconds = 1;
        Update->OnViewChanged = [this] {
            if (Statuses.isEmpty() || Statuses.last() != Update->View().Status)
                Statuses.append(Update->View().Status);
        };
        return Update->Run();
    }
    QByteArray Local(const QString& name) const { return Dir.Read("data/" + name); }
    bool Reloaded() { return !Reference.MP3GenresKelmFlatFile().ContainsValue("Volatile"); }
    QStringList DataFolderFiles() const {
        return QDir(DataFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

struct FetchCase {
    const char* Name;
    const char* Path; // on the server; the entry's source is its address
    QByteArray Served;
    bool Replaced;
    const char* Status; // shown during the fetch; empty for none to check
};
void PrintTo(const FetchCase& c, std::ostream* os) {
    *os << c.Name;
}

class OneEntry : public DataFileUpdateTest, public testing::WithParamInterface<FetchCase> {};

TEST_P(OneEntry, ReplacesOnlyWithAGoodFreshFile) {
    const FetchCase& c = GetParam();
    Server.Serve("MP3Genres.def", c.Served);
    const bool complete = Run({"Genres\t" + Server.Url(c.Path) + "|MP3Genres.def"});
    EXPECT_EQ(complete, c.Replaced);
    EXPECT_EQ(Local("MP3Genres.def"), c.Replaced ? c.Served : OldGenres);
    EXPECT_EQ(QFileInfo::exists(DataFolder + "MP3Genres.~def"), c.Replaced);
    EXPECT_EQ(Reloaded(), c.Replaced);
    if (c.Replaced) {
        EXPECT_TRUE(Reference.IsGenreName("Ambient"));
        EXPECT_EQ(Local("MP3Genres.~def"), OldGenres);
        EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Information), QStringList{Success});
    } else {
        EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error), QStringList{NotComplete + "\nGenres"});
    }
    if (*c.Status) {
        EXPECT_TRUE(Statuses.contains(c.Status)) << Statuses.join(" | ").toStdString();
    }
    QStringList expectedFiles = {"MP3Genres.def"};
    if (c.Replaced)
        expectedFiles.append("MP3Genres.~def");
    EXPECT_EQ(DataFolderFiles(), expectedFiles) << "no temporary file may stay behind";
    EXPECT_EQ(Ui.CurrentCursor, UiPort::Cursor::Normal);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OneEntry,
    testing::Values(FetchCase{"Fresh", "/files/MP3Genres.def", NewGenres, true, "Downloading file"},
                    FetchCase{"FiveRedirections", "/redirect/5/MP3Genres.def", NewGenres, true, ""},
                    FetchCase{"NoContentLength", "/nolength/MP3Genres.def", NewGenres, true, ""},
                    FetchCase{"SizedButNotFound", "/headonly/MP3Genres.def", NewGenres, false,
                              "Failed: 404 Not Found"},
                    FetchCase{"NotFound", "/status/404", NewGenres, false, ""},
                    FetchCase{"SixRedirections", "/redirect/6/MP3Genres.def", NewGenres, false, ""},
                    FetchCase{"Stalled", "/stall", NewGenres, false, ""},
                    FetchCase{"EmptyWithLength", "/files/MP3Genres.def", "", false, ""},
                    FetchCase{"EmptyWithoutLength", "/nolength/MP3Genres.def", "", false,
                              "Failed: the received file is not a data file"},
                    FetchCase{"Binary", "/files/MP3Genres.def", QByteArray("Rock\0\x01\x02", 7),
                              false, "Failed: the received file is not a data file"},
                    FetchCase{"OnlyComments", "/files/MP3Genres.def", "# nothing\r\n", false, ""},
                    FetchCase{"TooLarge", "/nolength/MP3Genres.def",
                              QByteArray(TDataFileUpdate::MaxDataFileSize + 1, 'a'), false,
                              "Failed: 0 Response too large"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DataFileUpdateTest, AnIdenticalFileChangesNothing) {
    Server.Serve("MP3Genres.def", OldGenres);
    const QDateTime before = QFileInfo(DataFolder + "MP3Genres.def").lastModified();
    EXPECT_TRUE(Run({"Genres\t" + Server.Url("/files/MP3Genres.def") + "|MP3Genres.def"}));
    EXPECT_EQ(QFileInfo(DataFolder + "MP3Genres.def").lastModified(), before);
    EXPECT_EQ(DataFolderFiles(), QStringList{"MP3Genres.def"});
    EXPECT_FALSE(Reloaded());
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Information), QStringList{Success});
}

TEST_F(DataFileUpdateTest, WithoutContentLengthTheSizeIsEstimated) {
    Server.Serve("MP3Genres.def", NewGenres);
    Server.Serve("New.def", NewGenres);
    Run({"Genres\t" + Server.Url("/nolength/MP3Genres.def")});
    EXPECT_EQ(Update->View().OverallMaximum, OldGenres.size()) << "the local file's size";
    Run({"New\t" + Server.Url("/nolength/New.def")});
    EXPECT_EQ(Update->View().OverallMaximum, TDataFileUpdate::UnknownSize);
    EXPECT_EQ(Local("New.def"), NewGenres);
}

TEST_F(DataFileUpdateTest, FailuresAreListedInOrderAndTheRestIsFetched) {
    Server.Serve("MP3Genres.def", NewGenres);
    Server.Serve("MP3ArtistExceptions.def", "AC/DC\r\n");
    const bool complete = Run({
        "Broken\t" + Server.Url("/status/500"),
        "Artists\t" + Server.Url("/files/MP3ArtistExceptions.def") + "|MP3ArtistExceptions.def",
        "Query\thttps://example.org/get?file=x.def",
        "Genres\t" + Server.Url("/files/MP3Genres.def") + "|MP3Genres.def",
    });
    EXPECT_FALSE(complete);
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error),
              (QStringList{"\"https://example.org/get?file=x.def\" is an invalid source.",
                           NotComplete + "\nBroken\nQuery"}));
    EXPECT_EQ(Local("MP3ArtistExceptions.def"), "AC/DC\r\n");
    EXPECT_TRUE(Reference.IsArtistException("ac/dc"));
    EXPECT_TRUE(Reference.IsGenreName("Ambient"));
}

TEST_F(DataFileUpdateTest, UncheckedAndUnknownEntries) {
    UpdateList.SetFileName(Dir.Write("Quenlor.def", "Genres\thttp://127.0.0.1:1/g.def\r\n"));
    UpdateList.Initialize();
    Options.UpdateDataFiles = {{"Genres", false}};
    TDataFileUpdate update(Ui, Options, UpdateList, Reference);
    EXPECT_TRUE(update.Run());
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Information), QStringList{Success});
    EXPECT_EQ(update.View().Status, "Downloading file") << "nothing fetched, nothing converted";
    Options.UpdateDataFiles = {{"Missing", true}};
    EXPECT_FALSE(update.Run());
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error),
              (QStringList{"\"\" is an invalid source.", NotComplete + "\nMissing"}));
}

TEST_F(DataFileUpdateTest, FileSourcesAreCopied) {
    const QString share = Dir.Write("share/MP3Genres.def", NewGenres);
    Dir.Write("share/MP3ArtistExceptions.def", "AC/DC\r\n");
    EXPECT_TRUE(Run({"Genres\t" + share + "|MP3Genres.def",
                     "Artists\tfile://" + Dir.Path() + "/share/MP3ArtistExceptions.def",
                     "Missing\t" + Dir.Path() + "/share/none.def"}) == false);
    EXPECT_EQ(Local("MP3Genres.def"), NewGenres);
    EXPECT_EQ(Local("MP3ArtistExceptions.def"), "AC/DC\r\n");
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error), QStringList{NotComplete + "\nMissing"});
}

TEST_F(DataFileUpdateTest, CancelInTheMiddleKeepsTheOldFile) {
    Server.Serve("MP3Genres.def", QByteArray(40 * 1024, 'x') + "\r\n");
    Ui.Answers.enqueue(false); // the first question is declined: the transfer goes on
    Ui.Answers.enqueue(true);
    int asked = 0;
    int closed = 0;
    Ui.OnPendingEvents = [&] {
        if (Update && Update->View().FilePosition > 0 && Update->View().CancelEnabled &&
            asked < 2) {
            ++asked;
            Update->CancelButtonClick();
        }
    };
    UpdateList.SetFileName(
        Dir.Write("Quenlor.def",
                  ("Genres\t" + Server.Url("/slow/MP3Genres.def") + "|MP3Genres.def").toUtf8()));
    UpdateList.Initialize();
    Options.UpdateDataFiles = {{"Genres", true}};
    Update = std::make_unique<TDataFileUpdate>(Ui, Options, UpdateList, Reference);
    Update->OnClose = [&] { ++closed; };
    EXPECT_FALSE(Update->Run());
    EXPECT_TRUE(Update->Cancelled());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Question),
              (QStringList{"Do you want to cancel the download?",
                           "Do you want to cancel the download?"}));
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error), QStringList{"The update was not completed."});
    EXPECT_TRUE(Ui.Texts(ScriptedUiPort::Kind::Information).isEmpty()) << "no summary";
    EXPECT_FALSE(Update->View().Transfer.endsWith("(100%)")) << "the transfer stopped at once";
    EXPECT_EQ(Local("MP3Genres.def"), OldGenres);
    EXPECT_EQ(DataFolderFiles(), QStringList{"MP3Genres.def"});
    EXPECT_FALSE(Reloaded());
}

TEST_F(DataFileUpdateTest, RequestsGoThroughTheProxyOfTheOptions) {
    Server.Serve("MP3Genres.def", NewGenres);
    Options.UseProxyServer = true;
    Options.ProxyAddress = "127.0.0.1";
    Options.ProxyPort = QString::number(Server.Port());
    EXPECT_TRUE(Run({"Genres\thttp://data.varnholm.invalid/files/MP3Genres.def|MP3Genres.def"}));
    EXPECT_EQ(Local("MP3Genres.def"), NewGenres);
    EXPECT_TRUE(Statuses.contains(
        "Downloading file using proxy server (127.0.0.1:" + QString::number(Server.Port()) + ")"));
    for (const QString& request : Server.Requests())
        EXPECT_TRUE(request.section('\t', 1).startsWith("http://data.varnholm.invalid/"));
}

class DataFileUpdateTls : public DataFileUpdateTest {
protected:
    TestWebServer Secure{Dir.Path() + "/secure", TestWebServer::Kind::Tls};
};

TEST_F(DataFileUpdateTls, OnlyATrustedServerReplacesAFile) {
    ASSERT_TRUE(Secure.Running());
    Secure.Serve("MP3Genres.def", NewGenres);
    const QString line = "Genres\t" + Secure.Url("/files/MP3Genres.def") + "|MP3Genres.def";
    EXPECT_FALSE(Run({line}));
    EXPECT_EQ(Local("MP3Genres.def"), OldGenres);
    EXPECT_EQ(DataFolderFiles(), QStringList{"MP3Genres.def"});
    qputenv("VARNHOLM_TEST_CA_FILE", Secure.CAFile().toLocal8Bit());
    EXPECT_TRUE(Run({line}));
    qunsetenv("VARNHOLM_TEST_CA_FILE");
    EXPECT_EQ(Local("MP3Genres.def"), NewGenres);
}

} // namespace

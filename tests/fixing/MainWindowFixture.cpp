#include "MainWindowFixture.h"

#include "refdata/DataFileNames.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <algorithm>

MainWindowFixture::MainWindowFixture()
    : state(std::make_unique<TMainWindowState>(ui, Paths(home))) {}

TMainWindowPaths MainWindowFixture::Paths(const TempDir& home) {
    TMainWindowPaths paths;
    paths.StoreFileName = home.File("config/settings.json");
    paths.LogFileName = home.File("state/Quenlor.log");
    paths.InstalledDataFolder = home.File("installed");
    paths.JournalFolder = home.File("data/journal");
    return paths;
}

QString MainWindowFixture::WriteBytes(const QString& name, const QByteArray& bytes) {
    FAudio.append(AudioBytes(bytes));
    return music.Write(name, bytes);
}

QString MainWindowFixture::Write(const QString& name, const Mp3Fixture& fixture) {
    return WriteBytes(name, fixture.Bytes());
}

void MainWindowFixture::Load(const QString& subFolder) {
    state->BrowseMP3Folder(subFolder.isEmpty() ? music.Path() : music.File(subFolder));
}

void MainWindowFixture::LoadReferenceData(const QStringList& artistGenres,
                                          const QStringList& exceptions) {
    const QString folder = home.File("data/");
    QDir().mkpath(folder);
    home.Write("data/" + DataFileNames::ArtistGenre,
               "\xEF\xBB\xBF" + artistGenres.join("\r\n").toUtf8() + "\r\n");
    home.Write("data/" + DataFileNames::ArtistsAlbumsGenres, "\xEF\xBB\xBF");
    home.Write("data/" + DataFileNames::MP3ArtistExceptions, exceptions.join("\r\n").toUtf8());
    state->ReferenceData().Load(folder, folder, ui);
    ASSERT_TRUE(state->ReferenceData().LearnedDataFolderPresent());
}

int MainWindowFixture::Row(const QString& name) {
    for (int i = 0; i < List().Count(); ++i)
        if (List().Cell(i, mcName) == name)
            return i;
    ADD_FAILURE() << "no row named " << name.toStdString();
    return 0;
}

void MainWindowFixture::SetCell(const QString& name, int column, const QString& text) {
    List().SetCell(Row(name), column, text);
}

void MainWindowFixture::Select(const QStringList& names) {
    List().ClearSelection();
    for (const QString& name : names)
        List().SetSelected(Row(name), true);
}

void MainWindowFixture::SelectAll() {
    for (int i = 0; i < List().Count(); ++i)
        List().SetSelected(i, true);
}

void MainWindowFixture::StopAtEventCall(int call) {
    ui.Answers.enqueue(true);
    ui.OnPendingEvents = [this, call, calls = 0]() mutable {
        if (++calls == call)
            state->ListClick(); // while busy: asks to stop
    };
}

QString MainWindowFixture::LogText() const {
    QFile file(state->Log().FileName());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void MainWindowFixture::ExpectAudioIntact() {
    QList<QByteArray> expected = FAudio;
    QDirIterator files(music.Path(), {"*.mp3"}, QDir::Files, QDirIterator::Subdirectories);
    int found = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        const auto at = std::find(expected.begin(), expected.end(), AudioBytesOf(path));
        EXPECT_NE(at, expected.end()) << "audio changed: " << path.toStdString();
        if (at != expected.end())
            expected.erase(at);
        ++found;
    }
    EXPECT_EQ(found, FAudio.size());
}

void MainWindowFixture::ExpectIdle() {
    int yes = 0;
    for (int row = 0; row < List().Count(); ++row)
        yes += List().Cell(row, mcMismatch) == u"Yes" ? 1 : 0;
    EXPECT_EQ(state->MismatchCount(), yes);
    EXPECT_FALSE(state->Busy());
    EXPECT_TRUE(state->CanChangeList());
    EXPECT_EQ(ui.CurrentCursor, UiPort::Cursor::Normal);
    for (TCommand c : {TCommand::Browse, TCommand::Open, TCommand::Options, TCommand::Exit})
        EXPECT_TRUE(state->CommandEnabled(c));
    EXPECT_EQ(state->StatusText(), QStringLiteral("%1 file(s) - %2 mismatch(es)")
                                       .arg(List().Count())
                                       .arg(state->MismatchCount()));
}

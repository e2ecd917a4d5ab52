#include "discovery/KelmFileFind.h"
#include "discovery/MP3FileSearch.h"
#include "settings/OptionSet.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

// The found paths relative to the temporary folder, to keep expectations readable.
QStringList Relative(const QStringList& paths, const TempDir& dir) {
    QStringList result;
    for (const QString& path : paths)
        result.append(path.startsWith(dir.Path() + u'/') ? path.mid(dir.Path().size() + 1) : path);
    return result;
}

void Link(const QString& target, const QString& linkPath) {
    ASSERT_EQ(
        ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(linkPath).constData()),
        0);
}

// A library with names that sort differently with and without regard to case.
class LibraryTree : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"b.mp3", "A.mp3", "a.mp3", "_x.mp3", "c.MP3", "notes.txt", ".hidden.mp3",
              "\xC3\xA9.mp3", "sub0/z.mp3", "sub0/deep/w.mp3", "sub0/deep/more/v.mp3", "Sub1/y.mp3",
              "Sub1/.dot/q.mp3", ".Hidden/h.mp3", "folder.mp3/inner.mp3"})
            dir.Write(QString::fromUtf8(name), "x");
    }

    QStringList Find(TFileType fileType = MP3SearchFileType, bool recursive = true) {
        find.SetStartDir(dir.Path());
        find.SetFilePattern("*.mp3");
        find.SetFileType(fileType);
        find.SetRecursive(recursive);
        find.Execute();
        return Relative(find.FilesFound(), dir);
    }

    TempDir dir;
    TKelmFileFind find;
};

// Upper-cased, "_" (0x5F) sorts after the letters and "é" after both; "A" and "a" are equal
// without case and keep their exact order. A folder's files come before its subfolders' trees.
const QStringList AllWithHidden = {".hidden.mp3",
                                   "A.mp3",
                                   "a.mp3",
                                   "b.mp3",
                                   "c.MP3",
                                   "_x.mp3",
                                   QString::fromUtf8("\xC3\xA9.mp3"),
                                   "folder.mp3/inner.mp3",
                                   "sub0/z.mp3",
                                   "sub0/deep/w.mp3",
                                   "sub0/deep/more/v.mp3",
                                   "Sub1/y.mp3"};

TEST_F(LibraryTree, ListsOwnFilesThenEachSubfolderTreeInCaseInsensitiveOrder) {
    EXPECT_THAT(Find(), ElementsAreArray(AllWithHidden));
    EXPECT_FALSE(find.Stopped());
}

TEST_F(LibraryTree, ListsHiddenFilesOnlyWhenAskedAndNeverEntersHiddenFolders) {
    QStringList withoutHidden = AllWithHidden;
    withoutHidden.removeFirst();
    EXPECT_THAT(Find(ftNormal), ElementsAreArray(withoutHidden));
}

TEST_F(LibraryTree, WithoutRecursionListsOnlyTheStartFolder) {
    EXPECT_THAT(Find(MP3SearchFileType, false), ElementsAreArray(AllWithHidden.mid(0, 7)));
    EXPECT_EQ(find.FilterFilesFoundDepth(0, 0), 0);
}

TEST_F(LibraryTree, TrailingSeparatorsGiveTheSameResult) {
    find.SetStartDir(dir.Path() + "//");
    EXPECT_THAT(find.StartDir(), ElementsAre(dir.Path()));
}

TEST_F(LibraryTree, SeveralPatternsWalkTheTreeOnceEach) {
    find.SetStartDir(dir.Path());
    find.SetFilePattern("*.txt;?.mp3");
    find.SetRecursive(false);
    find.Execute();
    EXPECT_THAT(Relative(find.FilesFound(), dir),
                ElementsAre("notes.txt", "A.mp3", "a.mp3", "b.mp3", "c.MP3",
                            QString::fromUtf8("\xC3\xA9.mp3")));
}

struct DepthCase {
    const char* name;
    int minDepth;
    int maxDepth;
    qsizetype removed;
    friend void PrintTo(const DepthCase& c, std::ostream* os) { *os << c.name; }
};

class DepthFilter : public LibraryTree, public testing::WithParamInterface<DepthCase> {};

TEST_P(DepthFilter, KeepsFilesBetweenTheDepthsBelowTheStartFolder) {
    Find();
    const DepthCase& c = GetParam();
    EXPECT_EQ(find.FilterFilesFoundDepth(c.minDepth, c.maxDepth), c.removed);
    QStringList expected;
    for (const QString& path : AllWithHidden) {
        const int depth = int(path.count(u'/'));
        if (depth >= c.minDepth && depth <= c.maxDepth)
            expected.append(path);
    }
    EXPECT_THAT(Relative(find.FilesFound(), dir), ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(Depths, DepthFilter,
                         testing::Values(DepthCase{"OnlyStartFolder", 0, 0, 5},
                                         DepthCase{"OneLevel", 0, 1, 2},
                                         DepthCase{"BelowStartFolder", 1, 2, 8},
                                         DepthCase{"Everything", 0, 8, 0},
                                         DepthCase{"NothingFits", 3, 2, 12}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibraryTree, SearchAsTheBrowseDoesAppliesTheDepthOptionOnlyWhenSet) {
    TOptionSet options;
    options.MaxSearchDepth = 1;
    options.LimitSearchDepth = false;
    PrepareMP3FileSearch(find, dir.Path() + u'/', options);
    EXPECT_THAT(Relative(RunMP3FileSearch(find, options), dir), ElementsAreArray(AllWithHidden));
    options.LimitSearchDepth = true;
    QStringList upToOneLevel;
    for (const QString& path : AllWithHidden)
        if (path.count(u'/') <= 1)
            upToOneLevel.append(path);
    EXPECT_THAT(Relative(RunMP3FileSearch(find, options), dir), ElementsAreArray(upToOneLevel));
    options.Recursive = false;
    PrepareMP3FileSearch(find, dir.Path(), options);
    EXPECT_THAT(Relative(RunMP3FileSearch(find, options), dir),
                ElementsAreArray(AllWithHidden.mid(0, 7)));
}

TEST_F(LibraryTree, CallbackSeesEachFolderAndCanStopTheSearch) {
    QStringList seen;
    find.SetOnFolder([&](const QString& folder, qsizetype found) {
        seen.append(Relative({folder}, dir).first() + u':' + QString::number(found));
        return !folder.endsWith("/deep");
    });
    EXPECT_THAT(Find(), ElementsAreArray(AllWithHidden.mid(0, 9)));
    EXPECT_TRUE(find.Stopped());
    EXPECT_THAT(seen, ElementsAre(dir.Path() + ":0", "folder.mp3:7", "sub0:8", "sub0/deep:9"));
}

// The files handed over while the walk goes on are exactly the result, in its order, whatever
// the depth option; a stop keeps the result to what was handed over.
TEST_F(LibraryTree, FilesHandedOverDuringTheWalkAreTheResult) {
    const struct {
        const char* Name;
        bool Recursive;
        bool LimitDepth;
        int MaxDepth;
        int StopAtCall; // 0: never
    } cases[] = {
        {"everything", true, false, 0, 0},      {"depth 0", true, true, 0, 0},
        {"depth 1", true, true, 1, 0},          {"negative depth", true, true, -1, 0},
        {"not recursive", false, true, 1, 0},   {"stopped at the third folder", true, false, 0, 3},
        {"stopped at once", true, false, 0, 1},
    };
    for (const auto& c : cases) {
        TOptionSet options;
        options.Recursive = c.Recursive;
        options.LimitSearchDepth = c.LimitDepth;
        options.MaxSearchDepth = c.MaxDepth;
        TKelmFileFind search;
        PrepareMP3FileSearch(search, dir.Path(), options);
        QStringList handed;
        int calls = 0;
        const QStringList result = RunMP3FileSearch(search, options, [&](const QStringList& files) {
            handed += files;
            return ++calls != c.StopAtCall;
        });
        EXPECT_EQ(handed, result) << c.Name;
        EXPECT_EQ(search.Stopped(), c.StopAtCall > 0) << c.Name;
        TKelmFileFind plain;
        PrepareMP3FileSearch(plain, dir.Path(), options);
        const QStringList whole = RunMP3FileSearch(plain, options);
        if (c.StopAtCall == 0)
            EXPECT_EQ(result, whole) << c.Name;
        else
            EXPECT_EQ(result, whole.mid(0, result.size())) << c.Name;
    }
}

TEST(KelmFileFind, StartDirSplitsAtSemicolonsAndDropsWhatIsNoFolder) {
    TempDir dir;
    dir.Write("p/1.mp3", "x");
    dir.Write("q/2.mp3", "x");
    dir.Write("p;q/3.mp3", "x");
    dir.Write("file.mp3", "x");
    TKelmFileFind find;
    find.SetFilePattern("*.mp3");
    // The folder "p;q" is taken as "<dir>/p" and the relative "q", which is no folder here.
    find.SetStartDir(dir.File("p;q"));
    EXPECT_THAT(find.StartDir(), ElementsAre(dir.File("p")));
    find.SetStartDir(dir.File("p;") + dir.File("q"));
    EXPECT_THAT(find.StartDir(), ElementsAre(dir.File("p"), dir.File("q")));
    find.Execute();
    EXPECT_THAT(Relative(find.FilesFound(), dir), ElementsAre("p/1.mp3", "q/2.mp3"));
    // Both lie one level below the folder they share.
    EXPECT_EQ(find.BaseFolder(), dir.Path() + u'/');
    EXPECT_EQ(find.FilterFilesFoundDepth(1, 1), 0);
    EXPECT_EQ(find.FilterFilesFoundDepth(0, 0), 2);

    find.SetStartDir(dir.File("none") + u';' + dir.File("file.mp3") + ";;" + dir.File("p"));
    EXPECT_THAT(find.StartDir(), ElementsAre(dir.File("p")));

    // A browse takes its folder whole, whatever its name holds.
    PrepareMP3FileSearch(find, dir.File("p;q"), TOptionSet());
    EXPECT_THAT(Relative(RunMP3FileSearch(find, TOptionSet()), dir), ElementsAre("p;q/3.mp3"));
}

TEST(KelmFileFind, SameStartFolderTwiceCountsDepthFromThatFolder) {
    TempDir dir;
    dir.Write("p/1.mp3", "x");
    dir.Write("p/sub/2.mp3", "x");
    TKelmFileFind find;
    find.SetFilePattern("*.mp3");
    find.SetStartDir(dir.File("p") + u';' + dir.File("p"));
    find.Execute();
    EXPECT_EQ(find.FilesFound().size(), 4);
    EXPECT_EQ(find.FilterFilesFoundDepth(0, 0), 2);
    EXPECT_THAT(Relative(find.FilesFound(), dir), ElementsAre("p/1.mp3", "p/1.mp3"));
}

TEST(KelmFileFind, WithoutStartFolderFindsNothingAndFiltersNothing) {
    TKelmFileFind find;
    find.SetStartDir("/no/such/folder");
    EXPECT_THAT(find.StartDir(), IsEmpty());
    find.Execute();
    EXPECT_THAT(find.FilesFound(), IsEmpty());
    EXPECT_EQ(find.FilterFilesFoundDepth(0, 0), 0);
    EXPECT_EQ(find.BaseFolder(), QString());
}

TEST(KelmFileFind, RootFolderKeepsItsSeparator) {
    TKelmFileFind find;
    find.SetStartDir("/");
    EXPECT_THAT(find.StartDir(), ElementsAre("/"));
    EXPECT_EQ(find.BaseFolder(), "/");
}

TEST(KelmFileFind, FollowsLinksOnceEndsLoopsAndSkipsWhatIsNoFile) {
    TempDir dir;
    dir.Write("a/x.mp3", "x");
    dir.Write("z/real.mp3", "x");
    Link("..", dir.File("a/back"));
    Link(".", dir.File("a/self"));
    Link(dir.Path(), dir.File("a/root"));
    Link("a", dir.File("b"));
    Link("z/real.mp3", dir.File("linked.mp3"));
    Link("nowhere.mp3", dir.File("gone.mp3"));
    Link("nowhere", dir.File("gone"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.File("pipe.mp3")).constData(), 0600), 0);

    TKelmFileFind find;
    find.SetFilePattern("*.mp3");
    find.SetStartDir(dir.Path());
    find.Execute();
    // "b" leads to "a", walked already; "gone" leads nowhere.
    EXPECT_THAT(Relative(find.FilesFound(), dir),
                ElementsAre("linked.mp3", "a/x.mp3", "z/real.mp3"));

    // A link that sorts before the folder it leads to is where that tree is listed.
    Link("z", dir.File("y"));
    find.Execute();
    EXPECT_THAT(Relative(find.FilesFound(), dir),
                ElementsAre("linked.mp3", "a/x.mp3", "y/real.mp3"));
}

TEST(KelmFileFind, SkipsAFolderRemovedDuringTheSearch) {
    TempDir dir;
    dir.Write("a/1.mp3", "x");
    dir.Write("b/2.mp3", "x");
    dir.Write("b/deeper/3.mp3", "x");
    dir.Write("c/4.mp3", "x");
    TKelmFileFind find;
    find.SetFilePattern("*.mp3");
    find.SetStartDir(dir.Path());
    find.SetOnFolder([&](const QString& folder, qsizetype) {
        if (folder.endsWith("/a"))
            QDir(dir.File("b")).removeRecursively();
        return true;
    });
    find.Execute();
    EXPECT_THAT(Relative(find.FilesFound(), dir), ElementsAre("a/1.mp3", "c/4.mp3"));
    EXPECT_FALSE(find.Stopped());
}

TEST(KelmFileFind, SkipsAFolderWithoutPermission) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root; the removed-folder test covers skipping";
    TempDir dir;
    dir.Write("a/1.mp3", "x");
    dir.Write("locked/2.mp3", "x");
    dir.Write("z/3.mp3", "x");
    const QByteArray locked = QFile::encodeName(dir.File("locked"));
    ASSERT_EQ(::chmod(locked.constData(), 0), 0);
    TKelmFileFind find;
    find.SetFilePattern("*.mp3");
    find.SetStartDir(dir.Path());
    find.Execute();
    ::chmod(locked.constData(), 0700);
    EXPECT_THAT(Relative(find.FilesFound(), dir), ElementsAre("a/1.mp3", "z/3.mp3"));
}

TEST(KelmFileFind, ListsNewlinesInNamesAndSkipsNamesThatAreNotText) {
    TempDir dir;
    const QByteArray root = QFile::encodeName(dir.Path()) + '/';
    const auto create = [&](const QByteArray& name) {
        const int fd = ::open((root + name).constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    };
    create("new\nline.mp3");
    create("bad\xFF.mp3");
    create("ok.mp3");
    ASSERT_EQ(::mkdir((root + "dir\xFE").constData(), 0700), 0);
    create("dir\xFE/inside.mp3");

    TKelmFileFind find;
    find.SetFilePattern("*.mp3");
    find.SetStartDir(dir.Path());
    find.Execute();
    EXPECT_THAT(Relative(find.FilesFound(), dir), ElementsAre("new\nline.mp3", "ok.mp3"));
    EXPECT_TRUE(QFile::exists(find.FilesFound().first()));
    ASSERT_EQ(find.SkippedNames().size(), 2);
    EXPECT_TRUE(find.SkippedNames()[0].startsWith(dir.File("bad")))
        << find.SkippedNames()[0].toStdString();
    EXPECT_TRUE(find.SkippedNames()[1].startsWith(dir.File("dir")))
        << find.SkippedNames()[1].toStdString();

    // QTemporaryDir cannot name these to remove them.
    ::unlink((root + "bad\xFF.mp3").constData());
    ::unlink((root + "dir\xFE/inside.mp3").constData());
    ::rmdir((root + "dir\xFE").constData());
}

} // namespace

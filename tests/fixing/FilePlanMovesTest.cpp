// A plan's renames: each is checked against the disk as the run's earlier moves would have left
// it, so that the plan says of every move what the real move then does.
#include "fixing/FilePlan.h"
#include "fixing/SafeRename.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Moves = std::vector<std::pair<const char*, const char*>>;

struct MoveCase {
    const char* name;
    Moves moves;
    std::vector<bool> moved;
};

// Every case starts from a.mp3 and b.mp3, with x.mp3 a second link of a.mp3.
const MoveCase Cases[] = {
    {"to a free name", {{"a.mp3", "c.mp3"}}, {true}},
    {"to a name a file has", {{"a.mp3", "b.mp3"}}, {false}},
    {"to another link of the same file", {{"a.mp3", "x.mp3"}}, {true}},
    {"to a name an earlier move took", {{"a.mp3", "c.mp3"}, {"b.mp3", "c.mp3"}}, {true, false}},
    {"to a name an earlier move freed", {{"a.mp3", "c.mp3"}, {"b.mp3", "a.mp3"}}, {true, true}},
    {"along a chain",
     {{"a.mp3", "c.mp3"}, {"c.mp3", "d.mp3"}, {"b.mp3", "c.mp3"}},
     {true, true, true}},
    {"back to a name freed and taken again",
     {{"a.mp3", "c.mp3"}, {"b.mp3", "a.mp3"}, {"c.mp3", "b.mp3"}, {"a.mp3", "b.mp3"}},
     {true, true, true, false}},
    {"a failed move frees nothing",
     {{"a.mp3", "b.mp3"}, {"b.mp3", "c.mp3"}, {"a.mp3", "b.mp3"}},
     {false, true, true}},
};

void MakeLibrary(const TempDir& dir) {
    dir.Write("a.mp3", "a");
    dir.Write("b.mp3", "b");
    ASSERT_EQ(::link(QFile::encodeName(dir.File("a.mp3")).constData(),
                     QFile::encodeName(dir.File("x.mp3")).constData()),
              0);
}

TEST(FilePlanMoves, ThePlanSaysOfEachMoveWhatTheRealMoveDoes) {
    for (const MoveCase& c : Cases) {
        TempDir planned;
        TempDir real;
        MakeLibrary(planned);
        MakeLibrary(real);
        TFilePlan plan;
        std::vector<bool> planMoved;
        std::vector<bool> realMoved;
        for (const auto& [from, to] : c.moves) {
            planMoved.push_back(plan.Move(planned.File(from), planned.File(to)).Moved);
            realMoved.push_back(MoveFileNoReplace(real.File(from), real.File(to)).Moved);
        }
        EXPECT_EQ(planMoved, c.moved) << c.name;
        EXPECT_EQ(realMoved, c.moved) << c.name;
        // The plan changed nothing on disk.
        EXPECT_EQ(QDir(planned.Path()).entryList(QDir::Files, QDir::Name),
                  QStringList({"a.mp3", "b.mp3", "x.mp3"}))
            << c.name;
        qsizetype renames = 0;
        for (const TPlannedChange& change : plan.Changes())
            renames += change.Change == TPlannedChange::Kind::Rename;
        EXPECT_EQ(renames, std::count(c.moved.begin(), c.moved.end(), true)) << c.name;
    }
}

} // namespace

// A message of several lines (its breaks are CRs) reaches a terminal one line per line: a bare CR
// would let each line overwrite the one before.
#include "CliRunner.h"
#include "testsupport/Mp3Fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageLines, EachLineOfAMessageIsALineIndentedUnderTheFirst) {
    CliRunner cli;
    TempDir music;
    music.Write("damaged.mp3", Mp3Fixture(3).Raw("TIT2", "\x09odd").Bytes());
    const CliRunner::Result r = cli.Run({"fix", music.Path()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_FALSE(r.Err.contains(u'\r')) << r.Err.toStdString();
    const QString log = cli.Home().File("state/Tessaly/Varnholm/Quenlor.log");
    EXPECT_TRUE(r.Err.contains("Warning: 1 file(s) could not be fixed.\n"
                               "         The activity log names each file and the error:\n"
                               "         " +
                               log + "\n"))
        << r.Err.toStdString();
}

} // namespace

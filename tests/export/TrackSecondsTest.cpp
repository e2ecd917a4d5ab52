#include "export/TrackSeconds.h"
#include "export/TrackLength.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(TrackSeconds, ResultsComeBackInTheOrderOfThePaths) {
    // More files than one thread takes at a time; every length differs from its neighbours',
    // so a result put in the wrong place shows.
    TempDir dir;
    QStringList paths;
    QList<qint64> expected;
    for (int i = 0; i < 70; ++i) {
        const QString name = QStringLiteral("%1.mp3").arg(i);
        if (i % 23 == 5) {
            paths.append(dir.File(name)); // never written: unknown
            expected.append(-1);
        } else if (i % 2 == 0) {
            paths.append(dir.Write(
                name, Mp3Fixture(3).Text("TLEN", QString::number(1000 * (i + 1))).Bytes()));
            expected.append(i + 1);
        } else {
            // 40 frames of 128 kbit/s last 1.0425 s.
            paths.append(dir.Write(name, Mp3Fixture(4).AudioFrames(40 * (i % 7 + 1)).Bytes()));
            expected.append(qint64(40 * (i % 7 + 1) * 417 / 16 / 1000));
        }
    }
    TTrackLength one;
    for (int i = 0; i < paths.size(); ++i)
        ASSERT_EQ(one.Seconds(paths[i]), expected[i]) << i;
    for (int threads : {0, 1, 2, 3, 8, 200})
        EXPECT_EQ(MeasureTrackSeconds(paths, threads), expected) << threads;
    for (int threads : {0, 1, 3}) {
        EXPECT_TRUE(MeasureTrackSeconds({}, threads).isEmpty());
        EXPECT_EQ(MeasureTrackSeconds(paths.mid(1, 1), threads), expected.mid(1, 1));
    }
}

} // namespace

#include "tools/ToolReports.h"
#include "support/Error.h"
#include "testsupport/QtPrinters.h"
#include "tools/ArgumentBatches.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using namespace ToolReports;

TEST(ToolReportsTest, OnlyCapitalWarningsAtTheFirstCharacterCount) {
    const struct {
        QStringList Report;
        int Count;
    } cases[] = {
        {{}, 0},
        {{"Analyzing file \"a.mp3\"...", "WARNING: \"a.mp3\": garbage", "INFO: \"a.mp3\": ok",
          "WARNING: \"a.mp3\" (offset 0x10): truncated", "Done!"},
         2},
        {{" WARNING: indented", "warning: lower case", "Warning: mixed", "INFO: WARNING later"}, 0},
        {{"WARNING"}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MP3valWarningCount(c.Report), c.Count) << c.Report.join(u'|').toStdString();
}

TEST(ToolReportsTest, MP3valFixSwitchesInOrder) {
    EXPECT_EQ(MP3valFixSwitches(false, true), (QStringList{"-f", "-nb"}));
    EXPECT_EQ(MP3valFixSwitches(true, true), (QStringList{"-f", "-t", "-nb"}));
    EXPECT_EQ(MP3valFixSwitches(true, false), (QStringList{"-f", "-t"}));
    EXPECT_EQ(MP3valFixSwitches(false, false), (QStringList{"-f"}));
}

QStringList GainReport(const QString& albumGain) {
    return {"File\tMP3 gain\tdB gain\tMax Amplitude\tMax global_gain\tMin global_gain",
            "a.mp3\t1\t1.500000\t7220.879883\t210\t127",
            "\"Album\"\t1\t" + albumGain + "\t7220.879883\t210\t127"};
}

TEST(ToolReportsTest, MP3GainAdjustmentFromTheAlbumLine) {
    const struct {
        QStringList Report;
        int Volume;
        int Adjustment;
        bool Needed;
    } cases[] = {
        {GainReport("1.500000"), 89, 2, true},
        {GainReport("0.500000"), 89, 0, false},
        {GainReport("-1.500000"), 89, -2, true},
        {GainReport("2.500000"), 89, 2, true}, // half way goes to the even integer
        {GainReport("-1.600000"), 92, 1, false},
        {GainReport("-4.2"), 89, -4, true},
        {GainReport("1.0"), 88, 0, false},
        // No album line, or a single line: nothing to adjust.
        {{"File\tMP3 gain", "a.mp3\t3\t4.5\t1\t2\t3"}, 89, 0, false},
        {{"\"Album\"\t3\t4.5"}, 89, 0, false},
        {{"File", "Album\t3\t4.5"}, 89, 0, false},
        {{"File", "\"Album\"\t3"}, 89, 0, false},
        {{}, 95, 0, false},
    };
    for (const auto& c : cases) {
        const int d = MP3GainAdjustment(c.Report, c.Volume);
        EXPECT_EQ(d, c.Adjustment) << c.Report.join(u'|').toStdString();
        EXPECT_EQ(MP3GainAdjustmentNeeded(d), c.Needed) << d;
    }
}

TEST(ToolReportsTest, TheAlbumGainIsReadWithADotWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(MP3GainAdjustment(GainReport("1.5"), 89), 2);
    EXPECT_EQ(MP3GainAdjustment(GainReport("-3.7"), 89), -4);
    QLocale::setDefault(before);
}

TEST(ToolReportsTest, AnAlbumGainThatIsNotANumberIsAnError) {
    for (const char* gain : {"loud", "", "1,5", "nan", "inf", "1e300"})
        EXPECT_THROW(MP3GainAdjustment(GainReport(QString::fromUtf8(gain)), 89), TError) << gain;
}

TEST(ToolReportsTest, MP3GainApplySwitches) {
    EXPECT_EQ(MP3GainApplySwitches(1, 89, false), (QStringList{"-r", "-d", "0", "-c"}));
    EXPECT_EQ(MP3GainApplySwitches(2, 92, true), (QStringList{"-a", "-d", "3", "-c", "-p"}));
    EXPECT_EQ(MP3GainApplySwitches(30, 87, false), (QStringList{"-a", "-d", "-2", "-c"}));
}

TEST(ArgumentBatchesTest, EveryFileInExactlyOneBatchThatFits) {
    QStringList files;
    for (int i = 0; i < 1000; ++i)
        files << QStringLiteral("/music/%1/%2.mp3").arg(QString(i % 50, u'x')).arg(i);
    const QStringList fixed{"/usr/bin/mp3val", "-f", "-nb"};
    const qsizetype budget = 8000;
    const std::vector<QStringList> batches = ArgumentBatches::Split(fixed, files, budget);
    ASSERT_GT(batches.size(), 1u);
    QStringList joined;
    for (const QStringList& batch : batches) {
        EXPECT_FALSE(batch.isEmpty());
        qsizetype used = 0;
        for (const QString& a : fixed + batch)
            used += ArgumentBatches::Cost(a);
        EXPECT_LE(used, budget);
        joined += batch;
    }
    EXPECT_EQ(joined, files);

    EXPECT_TRUE(ArgumentBatches::Split(fixed, {}, budget).empty());
    EXPECT_EQ(ArgumentBatches::Split(fixed, files, 1 << 30).size(), 1u);
    // A file too long for any batch still gets one of its own.
    const QString huge = QString(9000, u'y');
    const auto alone = ArgumentBatches::Split(fixed, {"a", huge, "b"}, budget);
    EXPECT_EQ(alone, (std::vector<QStringList>{{"a"}, {huge}, {"b"}}));
    EXPECT_GT(ArgumentBatches::Budget(), 0);
}

} // namespace

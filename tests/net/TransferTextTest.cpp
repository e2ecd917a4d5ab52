#include "net/TransferText.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

TEST(TransferText, SizesInWholeKilobytesWithTheUsersGrouping) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::pair<qint64, const char*> cases[] = {
        {0, "0 KB"},           {1, "1 KB"},    {1023, "1 KB"}, {1024, "1 KB"},
        {1536, "1 KB"},        {2047, "1 KB"}, {2048, "2 KB"}, {2500 * 1024, "2,500 KB"},
        {4194304, "4,096 KB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(TransferText::SizeText(bytes), text) << bytes;
    EXPECT_EQ(TransferText::Transfer(512, 1024), "1 KB of 1 KB (50%)");
    QLocale::setDefault(QLocale::system());
}

TEST(TransferText, PercentagesRoundHalvesToEven) {
    EXPECT_EQ(TransferText::Percentage(1, 200), 0); // 0.5
    EXPECT_EQ(TransferText::Percentage(3, 200), 2); // 1.5
    EXPECT_EQ(TransferText::Percentage(5, 200), 2); // 2.5
    EXPECT_EQ(TransferText::Percentage(2, 3), 67);  // 66.67
    EXPECT_EQ(TransferText::Percentage(6, 4), 150); // an estimate exceeded
    EXPECT_EQ(TransferText::Percentage(5, 0), 0);
}

TEST(TransferText, DurationsAndShortening) {
    EXPECT_EQ(TransferText::Duration(0), "00:00:00");
    EXPECT_EQ(TransferText::Duration(65), "00:01:05");
    EXPECT_EQ(TransferText::Duration(100 * 3600 + 1), "100:00:01");
    EXPECT_EQ(TransferText::ShortenedInTheMiddle("short", 10), "short");
    const QString shortened =
        TransferText::ShortenedInTheMiddle("https://example.org/a/b/c.def", 15);
    EXPECT_EQ(shortened.size(), 15);
    EXPECT_EQ(shortened, "https:.../c.def");
}

} // namespace

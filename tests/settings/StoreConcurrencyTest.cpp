// Two running instances writing the store at the same time, as real processes.
#include "settings/KelmRegistryEnhanced.h"
#include "testsupport/TempDir.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct WriterCase {
    const char* Name;
    const char* FirstMode;
    const char* SecondMode;
};
void PrintTo(const WriterCase& c, std::ostream* os) {
    *os << c.Name;
}

class TwoProcesses : public testing::TestWithParam<WriterCase> {};

TEST_P(TwoProcesses, BothWritersValuesSurvive) {
    const WriterCase& c = GetParam();
    TempDir dir;
    const QString file = dir.File("Tessaly/Varnholm/settings.json");
    const QString go = dir.File("go");
    constexpr int Count = 150;
    const QStringList prefixes{"A", "B"};
    const char* modes[] = {c.FirstMode, c.SecondMode};
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < 2; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QStringLiteral(STORE_WRITER_PATH),
                 {file, prefixes[i], QString::number(Count), go, QString::fromLatin1(modes[i])});
        ASSERT_TRUE(p->waitForStarted());
        writers.push_back(std::move(p));
    }
    dir.Write("go", "");
    for (auto& p : writers) {
        ASSERT_TRUE(p->waitForFinished(300000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
    }
    TKelmRegistryEnhanced store(file);
    int missing = 0;
    for (const QString& prefix : prefixes)
        for (int i = 0; i < Count; ++i)
            if (store.GetValueDefault("Race\\" + prefix + QString::number(i), -1).toInt() != i)
                ++missing;
    EXPECT_EQ(missing, 0);
    EXPECT_TRUE(prefixes.contains(store.GetValueDefault("Race\\Last", {}).toString()));
}

INSTANTIATE_TEST_SUITE_P(Table, TwoProcesses,
                         testing::Values(WriterCase{"SingleWrites", "single", "single"},
                                         WriterCase{"BatchAgainstSingleWrites", "batch", "single"}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace

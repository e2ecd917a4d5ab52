#include "net/SystemProxy.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* Name;
    const char* Server;
    const char* Scheme;
    const char* Address;
    int Port;
};
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.Name;
}

class SplitProxy : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitProxy, PicksTheSchemeEntryAndSplitsAtTheColon) {
    const SplitCase& c = GetParam();
    QString address = "stale";
    int port = -1;
    SplitProxyServer(c.Server, c.Scheme, address, port);
    EXPECT_EQ(address, c.Address);
    EXPECT_EQ(port, c.Port);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitProxy,
    testing::Values(SplitCase{"OneForAll", "p:8080", "https", "p", 8080},
                    SplitCase{"ListHttp", "http=a:3128;https=b:3129", "http", "a", 3128},
                    SplitCase{"ListHttps", "http=a:3128;https=b:3129", "https", "b", 3129},
                    SplitCase{"SpaceSeparated", "https=b:3129 http=a:3128", "HTTP", "a", 3128},
                    SplitCase{"NoPort", "p", "http", "p", 80},
                    SplitCase{"UnknownSchemeCountsAsHttp", "http=a:1;gopher=g:2", "gopher", "a", 1},
                    SplitCase{"PrefixNotFoundSplitsWholeString", "ftp=f:21", "http", "ftp=f", 21},
                    SplitCase{"PortNotANumber", "p:80x", "http", "p", 0},
                    SplitCase{"Empty", "", "http", "", 80},
                    SplitCase{"BracketedIPv6", "http=[::1]:3128", "http", "[::1]", 3128},
                    SplitCase{"BracketedIPv6NoPort", "[fe80::1]", "http", "[fe80::1]", 80}),
    [](const auto& info) { return std::string(info.param.Name); });

struct EnvCase {
    const char* Name;
    std::vector<std::pair<const char*, const char*>> Variables;
    const char* ProxyServer;
    const char* Bypass;
};
void PrintTo(const EnvCase& c, std::ostream* os) {
    *os << c.Name;
}

class ProxyEnvironment : public testing::TestWithParam<EnvCase> {};

TEST_P(ProxyEnvironment, VariablesBecomeAProxyServerString) {
    const EnvCase& c = GetParam();
    QProcessEnvironment env;
    for (const auto& [name, value] : c.Variables)
        env.insert(name, value);
    const std::optional<TSystemProxySettings> s = GetSystemProxySettings(env);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->ProxyServer, c.ProxyServer);
    EXPECT_EQ(s->ProxyServerUsed, !QString(c.ProxyServer).isEmpty());
    EXPECT_EQ(s->BypassList, c.Bypass);
    EXPECT_FALSE(s->AutoConfigScriptUsed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProxyEnvironment,
    testing::Values(
        EnvCase{"Nothing", {}, "", ""},
        EnvCase{"HttpUrl", {{"http_proxy", "http://proxy.lan:3128/"}}, "http=proxy.lan:3128", ""},
        EnvCase{"UpperCase", {{"HTTPS_PROXY", "secure:443"}}, "https=secure:443", ""},
        EnvCase{
            "LowerCaseWins", {{"http_proxy", "low:1"}, {"HTTP_PROXY", "up:2"}}, "http=low:1", ""},
        EnvCase{"CredentialsDropped",
                {{"http_proxy", "http://user:p@ss@proxy:8080"}},
                "http=proxy:8080",
                ""},
        EnvCase{"AllProxyForEveryScheme", {{"all_proxy", "socks5://s:1080"}}, "s:1080", ""},
        EnvCase{"AllProxyFillsTheOthers",
                {{"all_proxy", "a:1"}, {"https_proxy", "b:2"}},
                "http=a:1;https=b:2;ftp=a:1;socks=a:1",
                ""},
        EnvCase{"NoProxyList",
                {{"http_proxy", "p:1"}, {"no_proxy", "localhost, .lan,,127.0.0.1"}},
                "http=p:1",
                "localhost;.lan;127.0.0.1"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GetSystemProxy, AnswersForTheAskedScheme) {
    QProcessEnvironment env;
    env.insert("http_proxy", "http://a:3128");
    env.insert("https_proxy", "http://b:3129");
    const auto http = GetSystemProxy("http", env);
    ASSERT_TRUE(http);
    EXPECT_TRUE(http->UseProxy);
    EXPECT_EQ(http->Address, "a");
    EXPECT_EQ(http->Port, 3128);
    const auto https = GetSystemProxy("HTTPS", env);
    EXPECT_EQ(https->Address, "b");
    EXPECT_EQ(https->Port, 3129);
    EXPECT_EQ(GetSystemProxy("gopher", env)->Address, "a");
}

TEST(GetSystemProxy, WithoutVariablesNoProxyOnPort80) {
    const auto proxy = GetSystemProxy("http", QProcessEnvironment());
    ASSERT_TRUE(proxy);
    EXPECT_FALSE(proxy->UseProxy);
    EXPECT_EQ(proxy->Address, "");
    EXPECT_EQ(proxy->Port, 80);
}

} // namespace

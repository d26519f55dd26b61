#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "transfer/system_proxy.h"

// The manual settings as the Internet Options dialog writes them: one
// proxy for all, or one per scheme, and the hosts that go direct.
TEST(SystemProxy, TheManualSettingsGiveAProxyPerSchemeAndHost)
{
    ProxySettings all;
    all.proxy = "127.0.0.1:3128";
    all.bypass = "<local>;*.lan.example;10.*;HTTP://Mirror.Example";
    ProxySettings perScheme;
    perScheme.proxy = "http=web:8080;https=secure:8443";
    ProxySettings httpOnly;
    httpOnly.proxy = "http=web:8080";
    ProxySettings none;
    none.bypass = "<local>";
    const struct {
        const ProxySettings& settings;
        const char* scheme;
        const char* host;
        std::optional<std::string> proxy;
    } cases[] = {
        {all, "http", "q3.example.com", std::string("127.0.0.1:3128")},
        {all, "https", "q3.example.com", std::string("127.0.0.1:3128")},
        {all, "http", "localhost", std::string()},         // <local>: no dot
        {all, "http", "files.lan.example", std::string()},  // a pattern
        {all, "http", "10.1.2.3", std::string()},
        {all, "https", "mirror.example", std::string()},    // any case, a scheme of its own
        {all, "http", "lan.example", std::string("127.0.0.1:3128")},
        {perScheme, "http", "q3.example.com", std::string("web:8080")},
        {perScheme, "https", "q3.example.com", std::string("secure:8443")},
        {httpOnly, "https", "q3.example.com", std::string()},  // no entry for https: direct
        {none, "http", "q3.example.com", std::nullopt},        // nothing set: libcurl's own rules
    };
    for (const auto& c : cases)
        EXPECT_EQ(ManualProxyFor(c.settings, c.scheme, c.host), c.proxy) << c.settings.proxy << " " << c.host;
}

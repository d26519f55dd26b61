#pragma once
#include <optional>
#include <string>

// The current user's proxy settings as Windows keeps them (Internet
// Options, or a policy), read once per process before the first transfer.
struct ProxySettings {
    bool autoDetect = false;
    std::string autoConfigUrl;  // a PAC file
    std::string proxy;          // "host:port", or "http=host:port;https=host:port"
    std::string bypass;         // "<local>;*.example.com;10.*"
};

// The proxy that `settings` give for a URL of `scheme` ("http", "https")
// to `host`, from the manual part: "" when the host is bypassed or no
// entry serves the scheme, nothing when the settings name no proxy.
std::optional<std::string> ManualProxyFor(const ProxySettings& settings, const std::string& scheme,
                                          const std::string& host);

// The proxy for `url` as the system's settings give it ("host:port"), the
// auto-configuration (a PAC file, or auto-detection) first and the manual
// settings after it; "" for a direct connection; nothing when the settings
// name no proxy at all, and libcurl's own environment variables apply.
std::optional<std::string> SystemProxyFor(const std::string& url);

#include "transfer/system_proxy.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <vector>
#include <windows.h>
#include <winhttp.h>

#include <curl/curl.h>

namespace {

std::string Narrow(const wchar_t* text)
{
    if (!text || !*text)
        return "";
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    return narrow;
}

std::wstring Wide(const std::string& text)
{
    int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(size > 0 ? size - 1 : 0, L'\0');
    if (size > 1)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], size);
    return wide;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The entries of a list that Windows separates by ";", spaces or commas.
std::vector<std::string> Entries(const std::string& list)
{
    std::vector<std::string> entries;
    std::string entry;
    for (char c : list + ";") {
        if (c == ';' || c == ' ' || c == ',' || c == '\t') {
            if (!entry.empty())
                entries.push_back(entry);
            entry.clear();
        } else {
            entry += c;
        }
    }
    return entries;
}

// "*" stands for any run of characters, as in the bypass list.
bool Matches(const std::string& pattern, const std::string& text)
{
    size_t star = pattern.find('*');
    if (star == std::string::npos)
        return pattern == text;
    if (text.compare(0, star, pattern, 0, star) != 0)
        return false;
    std::string rest = pattern.substr(star + 1);
    for (size_t at = star; at <= text.size(); ++at)
        if (Matches(rest, text.substr(at)))
            return true;
    return false;
}

bool Bypassed(const std::string& bypass, const std::string& host)
{
    for (std::string entry : Entries(Lower(bypass))) {
        if (entry == "<local>") {
            if (host.find('.') == std::string::npos)
                return true;
            continue;
        }
        // An entry may name a scheme, which plays no part here.
        size_t scheme = entry.find("://");
        if (scheme != std::string::npos)
            entry = entry.substr(scheme + 3);
        if (Matches(entry, host))
            return true;
    }
    return false;
}

// The first proxy of a list as WinHTTP or a PAC file gives it; "" for none.
std::string FirstProxy(const std::string& list)
{
    for (const std::string& entry : Entries(list))
        if (Lower(entry) != "direct")
            return entry.substr(0, 6) == "PROXY " ? entry.substr(6) : entry;
    return "";
}

struct CProxySource {
    ProxySettings settings;
    bool known = false;  // the settings name some proxy or auto-configuration
    bool autoWorks = true;
    HINTERNET session = nullptr;
    std::mutex lock;
    std::map<std::string, std::string> autoByHost;  // "scheme://host" -> proxy ("" direct)
};

CProxySource& Source()
{
    static CProxySource source;
    static std::once_flag read;
    std::call_once(read, [] {
        WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config = {};
        if (!WinHttpGetIEProxyConfigForCurrentUser(&config))
            return;
        ProxySettings& settings = source.settings;
        settings.autoDetect = config.fAutoDetect;
        settings.autoConfigUrl = Narrow(config.lpszAutoConfigUrl);
        settings.proxy = Narrow(config.lpszProxy);
        settings.bypass = Narrow(config.lpszProxyBypass);
        for (LPWSTR text : {config.lpszAutoConfigUrl, config.lpszProxy, config.lpszProxyBypass})
            if (text)
                GlobalFree(text);
        source.known = !settings.proxy.empty() || !settings.autoConfigUrl.empty();
        // Windows, and Wine, report auto-detection also where nobody set
        // anything: it counts once it has found a proxy.
        if (settings.autoDetect || !settings.autoConfigUrl.empty())
            source.session = WinHttpOpen(L"Tavrin", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, 0);
    });
    return source;
}

// What the auto-configuration gives for `url`; nothing when it gives no
// answer (no PAC file found), after which auto-detection is not tried again.
std::optional<std::string> AutoProxyFor(CProxySource& source, const std::string& url, const std::string& key)
{
    std::lock_guard<std::mutex> hold(source.lock);
    auto known = source.autoByHost.find(key);
    if (known != source.autoByHost.end())
        return known->second;
    if (!source.session || !source.autoWorks)
        return std::nullopt;
    WINHTTP_AUTOPROXY_OPTIONS options = {};
    std::wstring configUrl = Wide(source.settings.autoConfigUrl);
    if (!configUrl.empty()) {
        options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = configUrl.c_str();
    } else {
        options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    options.fAutoLogonIfChallenged = TRUE;
    WINHTTP_PROXY_INFO info = {};
    if (!WinHttpGetProxyForUrl(source.session, Wide(url).c_str(), &options, &info)) {
        source.autoWorks = false;
        return std::nullopt;
    }
    std::string proxy =
        info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY ? FirstProxy(Narrow(info.lpszProxy)) : "";
    if (info.lpszProxy)
        GlobalFree(info.lpszProxy);
    if (info.lpszProxyBypass)
        GlobalFree(info.lpszProxyBypass);
    source.autoByHost[key] = proxy;
    return proxy;
}

}  // namespace

std::optional<std::string> ManualProxyFor(const ProxySettings& settings, const std::string& scheme,
                                          const std::string& host)
{
    if (settings.proxy.empty())
        return std::nullopt;
    if (Bypassed(settings.bypass, Lower(host)))
        return std::string();
    std::string forAll;
    for (const std::string& entry : Entries(settings.proxy)) {
        size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            if (forAll.empty())
                forAll = entry;
        } else if (Lower(entry.substr(0, equals)) == scheme) {
            return entry.substr(equals + 1);
        }
    }
    return forAll;
}

std::optional<std::string> SystemProxyFor(const std::string& url)
{
    CProxySource& source = Source();
    if (!source.known && !source.session)
        return std::nullopt;
    std::string scheme, host;
    if (CURLU* parts = curl_url()) {
        char* part = nullptr;
        if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
            if (curl_url_get(parts, CURLUPART_SCHEME, &part, 0) == CURLUE_OK)
                scheme = Lower(part);
            curl_free(part);
            part = nullptr;
            if (curl_url_get(parts, CURLUPART_HOST, &part, 0) == CURLUE_OK)
                host = Lower(part);
            curl_free(part);
        }
        curl_url_cleanup(parts);
    }
    if (std::optional<std::string> automatic = AutoProxyFor(source, url, scheme + "://" + host))
        return automatic;
    return ManualProxyFor(source.settings, scheme, host);
}

#pragma once
#include <string>

// The test server that with_http_server.sh started for this test binary,
// seen from the Windows side: its URL and its folder.
class CTestServer {
public:
    CTestServer();
    // False when the binary was started without the server beside it.
    bool Available() const { return !baseUrl.empty() && !root.empty(); }
    // "http://127.0.0.1:<port>/" followed by `path`.
    std::string Url(const std::string& path) const { return baseUrl + "/" + path; }
    // Stores `content` as the served file `name`; returns its plain URL.
    std::string Put(const std::string& name, const std::string& content) const;

private:
    std::string baseUrl;
    std::string root;  // Windows path of the served folder
};

// A URL on 127.0.0.1 where nothing listens, so that connecting is refused.
std::string RefusedUrl();

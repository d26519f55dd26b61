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
    // Gives the served file `name` a behaviour of the server ("stall",
    // "404", ...) for every later request of it; true when it was taken.
    bool SetBehaviour(const std::string& name, const std::string& behaviour) const;
    // The paths asked for so far, each followed by LF.
    std::string Requests() const;

    // The same folder from a server that keeps each connection open for the
    // next request, and the connections it has accepted so far.
    std::string KeepAliveUrl(const std::string& path) const { return keepAliveUrl + "/" + path; }
    int KeptConnections() const;

    // With the HTTPS servers (with_http_server.sh --tls): the same folder over
    // "https://localhost:<port>/", with a certificate of the test's authority
    // or of another one, and that authority's certificate (PEM).
    bool HttpsAvailable() const { return !httpsUrl.empty() && !certificateAuthority.empty(); }
    std::string HttpsUrl(const std::string& path) const { return httpsUrl + "/" + path; }
    std::string OtherAuthorityUrl(const std::string& path) const { return otherAuthorityUrl + "/" + path; }
    const std::string& CertificateAuthority() const { return certificateAuthority; }

private:
    std::string baseUrl;
    std::string keepAliveUrl;
    std::string root;  // Windows path of the served folder
    std::string httpsUrl;
    std::string otherAuthorityUrl;
    std::string certificateAuthority;
};

// A URL on 127.0.0.1 where nothing listens, so that connecting is refused.
std::string RefusedUrl();

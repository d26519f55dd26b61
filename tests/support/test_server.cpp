#include "support/test_server.h"

#include <cstdlib>
#include <winsock2.h>
#include <windows.h>

#include "support/test_folder.h"
#include "transfer/text_download.h"

CTestServer::CTestServer()
{
    const char* url = std::getenv("TAVRIN_SERVER_URL");
    const char* unixRoot = std::getenv("TAVRIN_SERVER_ROOT");
    if (url && unixRoot) {
        baseUrl = url;
        root = WindowsPathOf(unixRoot);
    }
    if (const char* kept = std::getenv("TAVRIN_KEEP_ALIVE_URL"))
        keepAliveUrl = kept;
    const char* https = std::getenv("TAVRIN_HTTPS_URL");
    const char* other = std::getenv("TAVRIN_HTTPS_OTHER_CA_URL");
    const char* authority = std::getenv("TAVRIN_TEST_CA");
    if (https && other && authority) {
        httpsUrl = https;
        otherAuthorityUrl = other;
        certificateAuthority = ReadWholeFile(WindowsPathOf(authority));
    }
}

std::string CTestServer::Put(const std::string& name, const std::string& content) const
{
    WriteWholeFile(root + "\\" + name, content);
    return Url(name);
}

bool CTestServer::SetBehaviour(const std::string& name, const std::string& behaviour) const
{
    std::string answer;
    StopRequest never{false};
    return DownloadText(Url("-/mode?path=/" + name + "&set=" + behaviour), 100, answer, never) == 0;
}

std::string CTestServer::Requests() const
{
    std::string paths;
    StopRequest never{false};
    DownloadText(Url("-/requests"), 1024 * 1024, paths, never);
    return paths;
}

int CTestServer::KeptConnections() const
{
    std::string count;
    StopRequest never{false};
    if (DownloadText(keepAliveUrl + "/-/connections", 100, count, never) != 0)
        return -1;
    return std::atoi(count.c_str());
}

std::string RefusedUrl()
{
    // A port the system has just handed out and taken back again.
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(probe);
    WSACleanup();
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/tavrin.txt";
}

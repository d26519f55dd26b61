#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "app/startup.h"
#include "core/application.h"
#include "core/log.h"
#include "catalogue/catalogue.h"
#include "support/transfer_fixture.h"
#include "transfer/catalogue_fetch.h"
#include "transfer/system_authorities.h"

namespace {

const char kCatalogue[] =
    "v2.0.4\n"
    "http://127.0.0.1:9/Tavrin.exe\n"
    "1000\n"
    "<message>\n"
    "Hello.\n"
    "</message>\n"
    "[Map pack]\n"
    "{Twenty maps for duels.}\n"
    "-baseq3\n"
    "5000\n"
    "http://127.0.0.1:9/maps.zip\n"
    "<items>\n"
    "#Maps;\n"
    "[Map pack]+\n"
    "!\n";
const char kOutline[] = "[ ] Maps\n  [ ] Map pack\n";

class CatalogueFetch : public CTransferTest {
protected:
    // A test that fails every mirror ends instead of retrying for ever.
    void StartOver() override
    {
        CTransferTest::StartOver();
        window.answers = {IDCANCEL};
    }

    void SetMirrors(const std::string& first, const std::string& second, const std::string& third)
    {
        mirrors.urls[0] = first;
        mirrors.urls[1] = second;
        mirrors.urls[2] = third;
    }

    // Only the lines the fetch itself writes.
    std::vector<std::string> FetchLines()
    {
        std::vector<std::string> lines;
        for (const std::string& line : LogLines())
            if (line.rfind("Config ", 0) == 0 || line == "Retry")
                lines.push_back(line);
        return lines;
    }

    CatalogueMirrors mirrors;
    StopRequest stop{false};
};

TEST_F(CatalogueFetch, FirstMirrorValid)
{
    SetMirrors(server.Put("first.txt", kCatalogue), RefusedUrl(), RefusedUrl());

    EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

    EXPECT_EQ(FetchLines(), (std::vector<std::string>{"Config file downloaded ! (0/3)"}));
    EXPECT_EQ(window.statusHistory,
              (std::vector<std::string>{"Downloading config file", "Downloading config file from 1 source", ""}));
    EXPECT_EQ(window.Outline(), kOutline);
    EXPECT_EQ(theApp.catalogueMessage, "Hello.\n");
    EXPECT_TRUE(window.shownMessages.empty());
}

// Transfer failures of mirror 1: logged with libcurl's code, then mirror 2.
TEST_F(CatalogueFetch, FailedTransferMovesToNextMirror)
{
    std::string valid = server.Put("valid.txt", kCatalogue);
    mirrors.stallSeconds = 2;  // the server's own stall lasts far longer
    mirrors.totalSeconds = 3;  // the drip would take minutes
    struct Case {
        const char* what;
        std::string url;
        int code;
    } cases[] = {
        {"refused", RefusedUrl(), CURLE_COULDNT_CONNECT},
        {"dropped mid-body", server.Url("drop/valid.txt"), CURLE_PARTIAL_FILE},
        {"stalled before answering", server.Url("stall/valid.txt"), CURLE_OPERATION_TIMEDOUT},
        {"stalled mid-body", server.Url("stall:40/valid.txt"), CURLE_OPERATION_TIMEDOUT},
        {"dripping faster than the stall limit", server.Url("drip/valid.txt"), CURLE_OPERATION_TIMEDOUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartOver();
        SetMirrors(c.url, valid, RefusedUrl());

        EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

        std::string error = "Config file downloading error: " + std::to_string(c.code) + " (0/3)";
        EXPECT_EQ(FetchLines(), (std::vector<std::string>{error, "Config file downloaded ! (1/3)"}));
        EXPECT_EQ(window.statusHistory,
                  (std::vector<std::string>{"Downloading config file", "Downloading config file from 1 source",
                                            "Downloading config file from 2 source", ""}));
        // Nothing of the failed attempt stays in front of mirror 2's text.
        EXPECT_EQ(theApp.catalogueText, kCatalogue);
        EXPECT_EQ(window.Outline(), kOutline);
    }
}

// A mirror that moved its catalogue: the redirect is followed.
TEST_F(CatalogueFetch, AMirrorThatRedirectsIsRead)
{
    server.Put("valid.txt", kCatalogue);
    SetMirrors(server.Url("moved/moved/valid.txt"), RefusedUrl(), RefusedUrl());

    EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

    EXPECT_EQ(FetchLines(), (std::vector<std::string>{"Config file downloaded ! (0/3)"}));
    EXPECT_EQ(theApp.catalogueText, kCatalogue);
    EXPECT_EQ(window.Outline(), kOutline);
}

TEST_F(CatalogueFetch, ErrorPageIsRejectedAndNextMirrorRead)
{
    SetMirrors(server.Url("404/valid.txt"), server.Put("valid.txt", kCatalogue), RefusedUrl());

    EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

    EXPECT_EQ(FetchLines(),
              (std::vector<std::string>{"Config file downloaded ! (0/3)", "Config file downloaded ! (1/3)"}));
    EXPECT_EQ(theApp.catalogueText, kCatalogue);
    EXPECT_EQ(window.Outline(), kOutline);
    EXPECT_EQ(theApp.catalogueMessage, "Hello.\n");
}

// Texts the parser refuses: the parser says why, and mirror 2 is read.
TEST_F(CatalogueFetch, BadCatalogueMovesToNextMirror)
{
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>(i * 7 % 256);
    std::string noise(5 * 1024 * 1024, '\0');
    unsigned seed = 12345;
    for (char& byte : noise) {
        seed = seed * 1103515245 + 12345;
        byte = static_cast<char>(seed >> 16);
    }
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty.txt", ""},
        {"binary.bin", binary},
        {"noise.bin", noise},
        {"no-items.txt",
         "v2.0.4\nhttp://127.0.0.1:9/Tavrin.exe\n1000\n<message>\nWrong.\n</message>\n#Maps;\n[Map pack]\n"},
    };
    std::string valid = server.Put("valid.txt", kCatalogue);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        SetMirrors(server.Put(c.name, c.content), valid, RefusedUrl());

        EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

        std::vector<std::string> lines = LogLines();
        auto first = std::find(lines.begin(), lines.end(), "Config file downloaded ! (0/3)");
        auto second = std::find(lines.begin(), lines.end(), "Config file downloaded ! (1/3)");
        ASSERT_TRUE(first < second && second != lines.end());
        auto reason = std::find_if(first, second, [](const std::string& line) {
            return line.rfind("Eof reached ! <items> tag missing?", 0) == 0;
        });
        EXPECT_NE(reason, second) << "no reason logged between the two attempts";
        EXPECT_TRUE(theApp.catalogueText == kCatalogue) << theApp.catalogueText.size() << " bytes kept";
        EXPECT_EQ(window.Outline(), kOutline);
        // The header is read once, from the accepted text only.
        EXPECT_EQ(theApp.catalogueMessage, "Hello.\n");
    }
}

TEST_F(CatalogueFetch, AnAnswerLargerThanAnyCatalogueFailsThatMirror)
{
    std::string huge(kMaxCatalogueBytes + 1, 'x');
    SetMirrors(server.Put("huge.txt", huge), server.Put("valid.txt", kCatalogue), RefusedUrl());

    EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

    std::vector<std::string> lines = LogLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Config file downloading error: 23 (0/3)"), lines.end());
    EXPECT_TRUE(theApp.catalogueText == kCatalogue);
    EXPECT_EQ(window.Outline(), kOutline);
}

// Closing the window while a mirror is silent: the attempt ends at the next
// stop check, no further mirror is tried and nobody is asked to retry.
TEST_F(CatalogueFetch, StopRequestEndsAStalledFetch)
{
    SetMirrors(server.Url("stall/valid.txt"), server.Put("valid.txt", kCatalogue), RefusedUrl());
    std::thread closer([this] {
        Sleep(500);
        stop = true;
    });

    EXPECT_FALSE(LoadCatalogue(window, mirrors, theApp, stop));
    closer.join();

    EXPECT_EQ(FetchLines(), (std::vector<std::string>{"Config file downloading error: 42 (0/3)"}));
    EXPECT_TRUE(window.shownMessages.empty());
    EXPECT_EQ(window.Outline(), "");
}

TEST_F(CatalogueFetch, AllMirrorsFailThenRetryThenCancel)
{
    SetMirrors(RefusedUrl(), server.Url("404/valid.txt"), server.Url("missing.txt"));
    window.InsertNode(nullptr, "left over");
    window.answers = {IDRETRY, IDCANCEL};

    EXPECT_FALSE(LoadCatalogue(window, mirrors, theApp, stop));

    std::vector<std::string> round = {"Config file downloading error: 7 (0/3)", "Config file downloaded ! (1/3)",
                                      "Config file downloaded ! (2/3)"};
    std::vector<std::string> expected = round;
    expected.push_back("Retry");
    expected.insert(expected.end(), round.begin(), round.end());
    expected.push_back("Config downloading failure.");
    EXPECT_EQ(FetchLines(), expected);

    std::vector<std::string> statusRound = {"Downloading config file from 1 source",
                                            "Downloading config file from 2 source",
                                            "Downloading config file from 3 source"};
    std::vector<std::string> statuses = {"Downloading config file"};
    statuses.insert(statuses.end(), statusRound.begin(), statusRound.end());
    statuses.insert(statuses.end(), statusRound.begin(), statusRound.end());
    EXPECT_EQ(window.statusHistory, statuses);

    ASSERT_EQ(window.shownMessages.size(), 2u);
    for (const CMemoryWindowOperations::ShownMessage& message : window.shownMessages) {
        EXPECT_EQ(message.text, "Failed to download config file. Do you want to try again ?");
        EXPECT_EQ(message.caption, "Tavrin");
        EXPECT_EQ(message.type, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONWARNING));
    }
    EXPECT_EQ(window.Outline(), "");
}

// Stands in for a user who waits until a mirror is back, then picks Retry.
class CPatientUser : public CMemoryWindowOperations {
public:
    int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) override
    {
        beforeAnswer();
        return CMemoryWindowOperations::ShowMessage(owner, text, caption, type);
    }
    std::function<void()> beforeAnswer;
};

TEST_F(CatalogueFetch, RetryStartsOverAndCanSucceed)
{
    CPatientUser user;
    user.beforeAnswer = [this] { server.Put("late.txt", kCatalogue); };
    user.answers = {IDRETRY};
    SetMirrors(RefusedUrl(), RefusedUrl(), server.Url("late.txt"));

    EXPECT_TRUE(LoadCatalogue(user, mirrors, theApp, stop));

    EXPECT_EQ(FetchLines(), (std::vector<std::string>{
                                "Config file downloading error: 7 (0/3)", "Config file downloading error: 7 (1/3)",
                                "Config file downloaded ! (2/3)", "Retry", "Config file downloading error: 7 (0/3)",
                                "Config file downloading error: 7 (1/3)", "Config file downloaded ! (2/3)"}));
    EXPECT_EQ(user.shownMessages.size(), 1u);
    EXPECT_EQ(user.Outline(), kOutline);
    EXPECT_EQ(user.statusHistory.back(), "");
}

TEST_F(CatalogueFetch, CatalogueInManySmallBlocksIsByteIdentical)
{
    // Large enough for hundreds of blocks; CR LF and a NUL on the way.
    std::string text = "v2.0.4\r\nhttp://127.0.0.1:9/Tavrin.exe\r\n1000\r\n<message>\r\nHi\r\n</message>\r\n";
    text += std::string("a NUL \0 inside\r\n", 16);
    std::string items = "<items>\r\n";
    for (int i = 0; i < 300; ++i) {
        std::string name = "Item " + std::to_string(i);
        text += "[" + name + "]\r\n{About " + name + ".}\r\n-baseq3\r\n100\r\nhttp://127.0.0.1:9/" +
                std::to_string(i) + ".zip\r\n";
        items += "[" + name + "]\r\n";
    }
    text += items;
    server.Put("big.txt", text);
    SetMirrors(server.Url("blocks:50/big.txt"), RefusedUrl(), RefusedUrl());

    EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

    EXPECT_EQ(theApp.catalogueText.size(), text.size());
    EXPECT_TRUE(theApp.catalogueText == text) << "same length, other bytes";
    EXPECT_EQ(window.topNodes.size(), 300u);
}

// Mirrors over HTTPS, checked against the test's own authority: a good
// certificate is taken; another authority's and one whose name does not
// match the host (an address the certificate does not name) are refused
// with libcurl's code 60, logged, and the next mirror is tried.
TEST_F(CatalogueFetch, HttpsMirrorsAreCheckedAgainstTheAuthority)
{
    ASSERT_TRUE(server.HttpsAvailable()) << "run through tests/servers/with_http_server.sh --tls";
    server.Put("secure.txt", kCatalogue);
    std::string wrongName = server.HttpsUrl("secure.txt");
    wrongName.replace(wrongName.find("localhost"), 9, "127.0.0.1");
    mirrors.certificateAuthority = &server.CertificateAuthority();
    struct Case {
        const char* what;
        std::string first;
        std::vector<std::string> lines;
    } cases[] = {
        {"good certificate", server.HttpsUrl("secure.txt"), {"Config file downloaded ! (0/3)"}},
        {"another authority", server.OtherAuthorityUrl("secure.txt"),
         {"Config file downloading error: 60 (0/3)", "Config file downloaded ! (1/3)"}},
        {"name mismatch", wrongName, {"Config file downloading error: 60 (0/3)", "Config file downloaded ! (1/3)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartOver();
        SetMirrors(c.first, server.HttpsUrl("secure.txt"), RefusedUrl());

        EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

        EXPECT_EQ(FetchLines(), c.lines);
        EXPECT_EQ(theApp.catalogueText, kCatalogue);
        EXPECT_EQ(window.Outline(), kOutline);
    }
}

// With no authority named, a mirror is checked against the trust store's
// authorities, which lack the test's: under Wine nothing else would check
// it. An empty list trusts nothing, a list that libcurl refuses (over its
// 8 MB limit) fails the attempt instead of leaving it unchecked, and the
// whole store's PEM is one that libcurl takes.
TEST_F(CatalogueFetch, HttpsMirrorsAreCheckedAgainstTheTrustStoreWhenNoAuthorityIsGiven)
{
    ASSERT_TRUE(server.HttpsAvailable()) << "run through tests/servers/with_http_server.sh --tls";
    server.Put("secure.txt", kCatalogue);
    const std::string empty;
    const std::string storeAndTest = TrustStoreAuthorities() + server.CertificateAuthority();
    const std::string tooLong = storeAndTest + std::string(8000000, '\n');
    const std::vector<std::string> refused = {"Config file downloading error: 60 (0/3)",
                                              "Config file downloaded ! (1/3)"};
    struct Case {
        const char* what;
        const std::string* authority;
        std::vector<std::string> lines;
    } cases[] = {
        {"none given", nullptr, refused},
        {"an empty list", &empty, refused},
        {"a list libcurl refuses", &tooLong,
         {"Config file downloading error: 43 (0/3)", "Config file downloaded ! (1/3)"}},
        {"the trust store's and the test's", &storeAndTest, {"Config file downloaded ! (0/3)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartOver();
        mirrors.certificateAuthority = c.authority;
        SetMirrors(server.HttpsUrl("secure.txt"), server.Url("secure.txt"), RefusedUrl());

        EXPECT_TRUE(LoadCatalogue(window, mirrors, theApp, stop));

        EXPECT_EQ(FetchLines(), c.lines);
        EXPECT_EQ(theApp.catalogueText, kCatalogue);
    }
}

}  // namespace

#include "transfer/resume_transfer.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <curl/curl.h>

#include "transfer/easy_handle.h"

namespace {

struct LengthCheck {
    uint64_t length;
    bool changed;
};

// Header callback: "Content-Range: bytes <first>-<last>/<length>" must give
// the length of the file the first answer announced.
size_t CheckContentRange(char* data, size_t size, size_t count, void* check)
{
    LengthCheck& expected = *static_cast<LengthCheck*>(check);
    size_t bytes = size * count;
    static const char name[] = "content-range:";
    const size_t nameLength = sizeof name - 1;
    if (bytes <= nameLength || _strnicmp(data, name, nameLength) != 0)
        return bytes;
    std::string value(data + nameLength, bytes - nameLength);
    size_t slash = value.find('/');
    const char* digits = slash == std::string::npos ? "" : value.c_str() + slash + 1;
    char* end = nullptr;
    unsigned long long length = std::strtoull(digits, &end, 10);
    if (end == digits || length != expected.length) {
        expected.changed = true;
        return 0;  // ends the transfer before the body is written
    }
    return bytes;
}

}  // namespace

std::optional<uint64_t> AnswerLength(CEasyHandle& handle)
{
    curl_off_t length = -1;
    CURL* curl = static_cast<CURL*>(handle.Get());
    if (!curl || curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK || length < 0)
        return std::nullopt;
    return static_cast<uint64_t>(length);
}

ResumeResult ResumeTransfer(CEasyHandle& handle, uint64_t from, uint64_t length)
{
    CURL* curl = static_cast<CURL*>(handle.Get());
    if (!curl)
        return {CURLE_FAILED_INIT, false};
    LengthCheck check = {length, false};
    curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(from));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CheckContentRange);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &check);
    int code = static_cast<int>(curl_easy_perform(curl));
    curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, nullptr);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, nullptr);
    return {code, check.changed};
}

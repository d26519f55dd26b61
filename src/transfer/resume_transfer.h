#pragma once
#include <cstdint>
#include <optional>

class CEasyHandle;

// libcurl's code for a server that will not answer with the range asked for.
constexpr int kRangeRefused = 33;

// The length of the whole file as the last answer on `handle` announced it;
// nothing when the answer gave none.
std::optional<uint64_t> AnswerLength(CEasyHandle& handle);

struct ResumeResult {
    int code;          // libcurl's result (0 for success)
    bool fileChanged;  // the answer was for a file of another length
};

// Asks the same URL again, on the same handle with the options it has, for
// the file from byte `from` on. An answer whose whole length is not
// `length` ends the transfer before any of it is written.
ResumeResult ResumeTransfer(CEasyHandle& handle, uint64_t from, uint64_t length);

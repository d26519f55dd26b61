#pragma once
#include <cstddef>
#include <string>

#include "core/workers.h"

class CEasyHandle;

// libcurl's write callback: takes a block, returns the bytes it consumed.
using WriteCallback = size_t (*)(char* data, size_t size, size_t count, void* target);

// What one transfer needs: where from, where the blocks go, when a stalled
// server counts as gone, and the program's stop request. The defaults are
// those of a file download (an item or the update).
struct TransferRequest {
    std::string url;
    WriteCallback write = nullptr;
    void* target = nullptr;
    long stallSeconds = 5;  // less than 1 byte a second for this long ends the attempt
    long totalSeconds = 0;  // the whole attempt may last this long; 0 for no limit
    const StopRequest* stop = nullptr;
    // An answer of 400 or above ends the attempt (libcurl's code 22) before
    // any of its body is written. The catalogue fetch leaves it off: its
    // parser refuses an error page on its own.
    bool failOnHttpError = true;
    // PEM certificates to check an https server against instead of the
    // system's store; only tests give one.
    const std::string* certificateAuthority = nullptr;
};

// libcurl's result when a transfer ended because the program is closing.
constexpr int kTransferStopped = 42;

// Sets every option of the recipe on `handle`: the URL, 5 s to connect, the
// write callback and its target, the stall limit, blocks of up to 100 KB,
// a stop check that libcurl runs between blocks and while it waits, and the
// authorities of https servers (the request's, else SystemAuthorities()).
// Authorities that libcurl refuses fail an https transfer with libcurl's
// code when it is performed, and keep an http one from being redirected
// to https.
void ApplyTransferRecipe(CEasyHandle& handle, const TransferRequest& request);
// Runs the transfer; libcurl's result code (0 for success; 22 also for a
// final answer that is a redirect, whose page is no file).
int PerformTransfer(CEasyHandle& handle);

// One attempt at `url` on a handle of its own, with the recipe's defaults
// (those of a file download), the blocks going to `write` with `target`.
// libcurl's result code.
int TransferOnce(const std::string& url, WriteCallback write, void* target, const StopRequest& stop);

#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

class CSideFile;

// Added to a file's name while it arrives.
constexpr char kArrivingSuffix[] = ".download";

// Told of every block written to a file, with its size in bytes.
using ReceivedCallback = std::function<void(uint32_t bytes)>;

// Where a file transfer writes: the local path (owned by the caller, alive
// for the whole transfer), the file, opened when the first data arrive, the
// bytes written to it, and who is told of each block (nobody when empty).
// With `side`, the file is that side file of `path` (`kArrivingSuffix`),
// which the caller places once it is whole.
struct DownloadTarget {
    const char* path = nullptr;
    CSideFile* side = nullptr;
    FILE* file = nullptr;
    uint64_t bytes = 0;
    ReceivedCallback received;
};

// libcurl write callback of every file transfer (items and the update):
// creates `path` on the first block, writes the block and tells the
// target's `received`. A short count (the file cannot be created or
// written) ends the transfer with libcurl's code 23.
size_t WriteToFile(char* data, size_t size, size_t count, void* target);

// Creates the target's file (a plain one is emptied if it is there) unless
// it is open already; false when it cannot be created.
bool OpenTarget(DownloadTarget& target);

// Closes the target's file if one was opened, so the next attempt starts
// the file anew from its first byte. False when what was still buffered
// could not be written.
bool CloseTarget(DownloadTarget& target);

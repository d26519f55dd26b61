#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// Where a file transfer writes: the local path (owned by the caller, alive
// for the whole transfer) and the file, opened when the first data arrive.
struct DownloadTarget {
    const char* path;
    FILE* file;
};

// libcurl write callback of every file transfer (items and the update):
// creates `path` on the first block, writes the block, feeds the progress
// bars and shows "Downloading <currentItemName>". A short count (the file
// cannot be created or written) ends the transfer with libcurl's code 23.
size_t WriteToFile(char* data, size_t size, size_t count, void* target);

// Creates (or empties) the target's file unless it is open already; false
// when it cannot be created.
bool OpenTarget(DownloadTarget& target);

// Closes the target's file if one was opened, so the next attempt starts
// the file anew from its first byte. False when what was still buffered
// could not be written.
bool CloseTarget(DownloadTarget& target);

// The bytes written to the target's open file so far; 0 when none is open.
uint64_t TargetLength(DownloadTarget& target);

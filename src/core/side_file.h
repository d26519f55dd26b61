#pragma once
#include <cstdio>
#include <string>

#include "core/file_system.h"

// A file written beside its target under a name of its own, which takes the
// target's place only once it is whole: until then whatever the target
// holds stays as it was, and a run cut short leaves no half file in its
// place. It is created exclusively and shared with nobody, so two instances
// never write into one file; a name already taken (a record's own file, or
// what a killed run left) is never opened: the next numbered name is used.
class CSideFile {
public:
    CSideFile() = default;
    ~CSideFile();  // removes the side file unless it took the target's place
    CSideFile(const CSideFile&) = delete;
    CSideFile& operator=(const CSideFile&) = delete;

    // Creates the side file of `target`: `target` + `suffix`, or, when that
    // name is taken, `target` + ".1" + `suffix` and so on. False when none
    // could be made; GetLastError tells why.
    bool Create(const std::string& target, const char* suffix, unsigned long attributes = 0x80);
    // Where nothing is at `target` yet there is nothing to keep: the file is
    // made there at once, exclusively, and removed again unless placed.
    // False, with ERROR_FILE_EXISTS, when something is there.
    bool CreateInPlace(const std::string& target, unsigned long attributes = 0x80);
    void* Handle() const { return handle.get(); }
    const std::string& Path() const { return path; }
    // A buffered stream over the side file, made at the first call (binary,
    // or with `text` CR LF line ends) and closed with it.
    FILE* Stream(bool text = false);
    // Drops what was written, for a start from the first byte.
    bool Empty();
    // Closes the side file and moves it to the target: over an existing one
    // with `replace` (never over a read-only one, which Windows would refuse
    // and Wine run as root would not), else only where there is none. False,
    // with the side file removed, when the target did not take its bytes.
    bool Place(bool replace, bool writeThrough = false);
    // Closes and removes the side file.
    void Discard();
    // Closes the side file and moves it, under the same rule of names, to
    // be the side file of `newTarget` instead; false, with nothing changed
    // but the closing, when that cannot be made.
    bool MoveBeside(const std::string& newTarget, const char* suffix);

private:
    bool Close();
    std::string target;
    std::string path;
    CFileHandle handle;
    FILE* stream = nullptr;
};

// Moves the file at `path` aside to `path` + `suffix` (or the next numbered
// name, as above; beside `besides` instead of `path` when given), never
// over another file. The new name, or nothing.
std::string MoveAside(const std::string& path, const char* suffix, const std::string& besides = "");

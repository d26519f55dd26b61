#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Files, folders and the parts of their paths: the one place where the
// program asks the file system, so every subsystem asks it the same way.
// The name helpers touch no file and build natively too.

// For bytes of a name and for the wide characters Windows reads them as.
template <typename Char>
bool IsPathSeparator(Char c)  // "\" or "/"
{
    return c == Char('\\') || c == Char('/');
}
// What Windows drops from the end of each part of a path.
template <typename Char>
bool IsDotOrSpace(Char c)
{
    return c == Char('.') || c == Char(' ');
}
// The text after the last "/" of a URL or path; the whole text when it has none.
std::string FileNameOf(const std::string& text);
// The text before the last backslash of a path; the whole text when it has none.
std::string FolderOf(const std::string& path);
// Where the name in `path` begins: after its last "\" or "/", 0 without one.
size_t NameStart(const std::string& path);
// True when the name holds ".zip" or ".ZIP" anywhere (".Zip" does not count).
bool IsArchiveName(const std::string& name);

// Why `path`, a relative path that came from outside (a catalogue record's
// folder, a downloaded file's name, an archive entry), could lead out of the
// folder it is written below or name no plain file there: a drive, a leading
// separator, a control character, a ":" (a stream), a character Windows
// forbids, a ".." part (or any other part of dots and spaces but "."), or a
// name Windows reserves (CON, NUL, COM1, aux.txt...), each judged on the
// name as Windows reads it, in the ANSI code page. Null when it is safe.
const char* UncontainedReason(const std::string& path);
// The same, read in the code page `codePage` (natively: each byte as the
// character of that number).
const char* UncontainedReasonIn(const std::string& path, unsigned codePage);
// Where the install run puts the file `fileName` of a record whose folder is
// `recordFolder`: below `installPath` (the current folder when empty), each
// part followed by a backslash. Null with `path` set, or the reason either
// part is refused (or that the name is empty) and `path` untouched.
const char* RecordFilePath(const std::string& installPath, const std::string& recordFolder,
                           const std::string& fileName, std::string& path);

struct FileHandleCloser {
    void operator()(void* handle) const;
};
// An open file, closed with its owner; null stands for a failed open.
using CFileHandle = std::unique_ptr<void, FileHandleCloser>;
// What CreateFileA returned, with its failure value turned into null.
CFileHandle OwnHandle(void* handle);
// How an opened file is to be read: straight through from its first byte
// lets Windows read ahead of the reader.
enum class ReadPattern { anyOrder, straightThrough };
// The existing file at `path`, open to read; others may read it meanwhile
// but neither write nor delete it. Null when it cannot be opened.
CFileHandle OpenForReading(const std::string& path, ReadPattern pattern);

// The size of the file at `path`; nothing when there is no such file.
std::optional<uint64_t> FileSizeOf(const std::string& path);
// True when a file or folder is at `path` and marked read-only. Windows
// refuses to replace such a file; Wine run as root would not, so the
// program asks first.
bool IsReadOnlyFile(const std::string& path);
// Makes the last folder of `path` (its parents must be there). True when
// the folder is there afterwards.
bool MakeFolder(const std::string& path);
// Makes the folder and every missing folder above it; a relative path is
// taken from the current folder. True when the folder is there afterwards;
// false also for a path of 260 bytes or more, which is never cut to fit.
bool MakeFolderWithParents(const std::string& path);

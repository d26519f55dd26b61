#include "install/unpack_archive.h"

#include <cstdint>
#include <memory>
#include <windows.h>

#include "core/file_system.h"
#include "core/log.h"
#include "core/progress.h"
#include "core/side_file.h"
#include "core/window_operations.h"
#include "zip/zip.h"

namespace {

struct ZipCloser {
    void operator()(ZipHandle* handle) const { ZipClose(handle); }
};
using OpenArchive = std::unique_ptr<ZipHandle, ZipCloser>;

// Entries go below `folder` ("" or ending in a separator), keeping their paths.
// The bars move by the compressed bytes of each entry against the archive's
// size: a first pass for the total of the unpacked sizes would read every
// entry's header twice.
// `name` is the archive's own, for the log; `source` where it lies now.
UnpackOutcome ExtractEntries(const std::string& source, const std::string& name, const std::string& folder,
                             CProgress& progress, CWindowOperations& window, const StopRequest& stop)
{
    OpenArchive archive(ZipOpenFile(source.c_str(), nullptr));
    if (!archive) {
        theLog.WriteFormatted("Can't open archive %s", name.c_str());
        return UnpackOutcome::failed;
    }
    ZipEntryInfo entry;
    ZipGetEntry(archive.get(), -1, &entry);
    int32_t count = entry.index;
    progress.ResetItemProgress();
    uint64_t total = FileSizeOf(source).value_or(0);

    UnpackOutcome outcome = UnpackOutcome::unpacked;
    uint64_t done = 0;
    for (int32_t index = 0; index < count; ++index) {
        if (stop)
            return UnpackOutcome::stopped;
        ZipGetEntry(archive.get(), index, &entry);
        window.SetStatus(std::string("Unzipping ") + entry.name);
        ZipResult result = ZipExtractToFile(archive.get(), index, (folder + entry.name).c_str(), &stop);
        if (result == zipStopped)
            return UnpackOutcome::stopped;
        if (result != zipOk) {
            theLog.WriteFormatted("Unzipping error: 0x%x (entry %i: %s)", static_cast<unsigned>(result),
                                  static_cast<int>(index), entry.name);
            outcome = UnpackOutcome::failed;
        }
        done += static_cast<uint32_t>(entry.compressedSize);
        if (total > 0 && done < total)
            progress.AddUnzipProgress(static_cast<uint32_t>(done * 100 / total));
    }
    progress.AddUnzipProgress(100);
    return outcome;
}

// Emptied from its end, a megabyte at a time, before it is removed:
// dropping the whole of a freshly written large file at once held up the
// server that every window of a Wine session waits on for tens of milliseconds.
bool RemoveArchive(const std::string& path)
{
    constexpr LONGLONG kStepBytes = 1 << 20;
    CFileHandle file = OwnHandle(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (file && GetFileSizeEx(file.get(), &size)) {
        while (size.QuadPart > 0) {
            size.QuadPart = size.QuadPart > kStepBytes ? size.QuadPart - kStepBytes : 0;
            if (!SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))
                break;
        }
    }
    file.reset();
    return DeleteFileA(path.c_str());
}

}  // namespace

UnpackOutcome UnpackArchive(const std::string& path, CProgress& progress, CWindowOperations& window,
                            const StopRequest& stop)
{
    size_t nameStart = NameStart(path);
    std::string folder = nameStart == 0 ? "" : path.substr(0, nameStart - 1) + "/";

    // Unpacked under another name: an archive cut off half way, even by the
    // end of the process, is then no longer there with its declared size.
    // Never over another file: one of that name may be the player's.
    std::string working = MoveAside(path, zipSideSuffix);
    const std::string& source = working.empty() ? path : working;

    UnpackOutcome outcome = ExtractEntries(source, path, folder, progress, window, stop);
    if (RemoveArchive(source))
        theLog.WriteLine("Delete file");
    else
        theLog.WriteFormatted("Failed to delete file %s", path.c_str());
    return outcome;
}

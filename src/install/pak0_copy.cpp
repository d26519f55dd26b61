#include "install/pak0_copy.h"

#include <memory>
#include <windows.h>

#include "core/file_system.h"
#include "core/log.h"
#include "core/side_file.h"
#include "core/window_operations.h"

namespace {

constexpr DWORD kPieceBytes = 1 << 20;

// Copies piece by piece, so that the stop request ends even the long copy
// from a game CD, into a name of its own that becomes `target` only when
// whole: a closing window or an ended process never leaves a cut pak0.pk3,
// which every later run would take for the game's own and keep.
bool CopyWhole(const std::string& source, const std::string& target, const StopRequest& stop)
{
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    CFileHandle in = OpenForReading(source, ReadPattern::straightThrough);
    if (!in)
        return false;
    CSideFile part;
    if (!part.Create(target, ".part"))
        return false;
    std::unique_ptr<char[]> piece(new char[kPieceBytes]);
    while (!stop) {
        DWORD got = 0, written = 0;
        if (!ReadFile(in.get(), piece.get(), kPieceBytes, &got, nullptr))
            return false;
        // Without replacing: a pak0.pk3 that came meanwhile stays as it is.
        if (got == 0)
            return part.Place(false, true);
        if (!WriteFile(part.Handle(), piece.get(), got, &written, nullptr) || written != got)
            return false;
    }
    return false;
}

}  // namespace

void CopyPak0(const std::string& pak0Path, const std::string& installFolder, CWindowOperations& window,
              const StopRequest& stop)
{
    window.SetStatus("Copying pak0.pk3");
    std::string folder = installFolder.empty() ? "" : installFolder + "\\baseq3\\";
    MakeFolderWithParents(folder);
    if (!CopyWhole(pak0Path, folder + "pak0.pk3", stop))
        theLog.WriteLine("Can't copy pak0.pk3");
}

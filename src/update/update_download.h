#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/catalogue_header.h"
#include "core/workers.h"
#include "transfer/file_write.h"
#include "update/verified_release.h"

// What arrived is not the release, numbered as libcurl numbers its kin:
// not the declared size (libcurl's "partial file"), or no Windows program
// (libcurl's "write error": nothing fit to keep).
constexpr int kUpdateWrongSize = 18;
constexpr int kUpdateNotAProgram = 23;
// The release's signature is missing, or is not the release key's over the
// file that arrived, or the signed release is not the announced version.
// Far beyond libcurl's codes, which stay below 100.
constexpr int kUpdateNotSigned = 1000;

// A signature is far shorter; a longer answer is no signature.
constexpr size_t kMaxSignatureBytes = 1024;

// What the catalogue and the build say the release must be.
struct ExpectedRelease {
    uint32_t size = 0;  // any size when 0
    CatalogueVersion version;
    std::string key;  // PEM; empty for none, and then neither signature nor version is checked
};

// Downloads the new release from `url` into `path`, telling `received` of
// each block, and checks that it is a Windows program of the expected size
// and, with a key, that the signature at `url` followed by ".sig" is that
// key's over it and that the release carries the expected version. Returns
// 0 with the checked file held in `release`, or libcurl's code or one of
// the three above; on a failure nothing is left at `path`.
int DownloadUpdate(const std::string& url, const char* path, const ExpectedRelease& expected,
                   const ReceivedCallback& received, const StopRequest& stop, CVerifiedRelease& release);

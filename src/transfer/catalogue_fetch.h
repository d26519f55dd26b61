#pragma once
#include <cstddef>
#include <string>

constexpr int kMirrorCount = 3;
// Far above any real catalogue; a longer answer is a failed attempt.
constexpr size_t kMaxCatalogueBytes = 16 * 1024 * 1024;

// Tried in this order; built into the program, replaced only by tests.
extern std::string catalogueMirrors[kMirrorCount];
// A mirror that sends less than one byte a second for this long has failed.
extern long catalogueStallSeconds;

// Downloads the catalogue from the mirrors and fills the tree.
// False only when the user declines to retry.
bool FetchCatalogue();

// libcurl write callback: appends the whole block to the std::string `target`
// (refuses it once the text would pass kMaxCatalogueBytes).
size_t WriteToText(char* data, size_t size, size_t count, void* target);

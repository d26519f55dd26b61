#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Appends the path of every file and folder below `folder`, a folder before
// what it holds, and adds the bytes of the files to `bytes` when given.
void ListTree(const std::string& folder, std::vector<std::string>* paths, uint64_t* bytes = nullptr);

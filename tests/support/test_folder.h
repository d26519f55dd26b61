#pragma once
#include <string>
#include <vector>

#include "support/whole_file.h"

// A fresh empty folder under the temp folder, made the current directory for
// the lifetime of the object; removed with everything in it afterwards.
class CTestFolder {
public:
    CTestFolder();
    ~CTestFolder();
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "\\" + name; }

private:
    std::string path;
    std::string previous;
};

// The path of `name` in the folder of the running test program.
std::string BesideThisProgram(const std::string& name);
// The Windows name of a Unix path (a build output, a server's folder), as
// Wine tells it; empty outside Wine.
std::string WindowsPathOf(const char* unixPath);
// `count` bytes that look random and are the same for the same seed.
std::string SomeBytes(size_t count, unsigned seed);
// The lines of a text file, without their line ends (LF or CR LF).
std::vector<std::string> FileLines(const std::string& path);

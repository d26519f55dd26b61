#pragma once
#include <string>

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

// Files for the tests: reading one whole, and scratch folders.
#pragma once

#include <string>

namespace tarno_test {

// The whole file's bytes; empty when it cannot be read.
std::string file_text(const std::string& path);

// Whether anything (a file, a folder, a FIFO) is there.
bool file_exists(const std::string& path);

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return path_; }                                 // empty when none could be made
    std::string file(const std::string& name) const { return path_ + "/" + name; }   // a path inside it

private:
    std::string path_;
};

}  // namespace tarno_test

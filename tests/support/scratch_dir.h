// A folder of one test's own under /tmp, removed with all it holds when the
// test is done, and files written to it and read back whole.
#pragma once

#include <string>

namespace testsupport {

class ScratchDir {
  public:
    // Makes /tmp/<prefix>XXXXXX; throws std::runtime_error when it cannot.
    explicit ScratchDir(const std::string& prefix);
    // Removes it; what cannot be removed is a test failure.
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    // Writes the bytes as the file of that name in the folder; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

  private:
    std::string path_;
};

// A file's bytes, or "" when it cannot be read.
std::string readFile(const std::string& path);

} // namespace testsupport

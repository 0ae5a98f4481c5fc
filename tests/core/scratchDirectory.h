#pragma once

#include <string>
#include <vector>

// A fresh directory that the test works in: it becomes the current directory
// (preset files without a directory land there) and is removed afterwards.
class scratchDirectory {
public:
    scratchDirectory();
    ~scratchDirectory();
    scratchDirectory(const scratchDirectory&) = delete;
    scratchDirectory& operator=(const scratchDirectory&) = delete;

    const std::string& path() const { return directory; }
    // Writes a file under the directory, bytes as given, and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // The whole content of a file.
    static std::string read(const std::string& path);
    static bool exists(const std::string& path);
    // The names of everything in the directory, sorted.
    std::vector<std::string> entries() const;

private:
    std::string previous;
    std::string directory;
};

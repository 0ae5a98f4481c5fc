// A fresh directory for one test, removed with everything in it at the end.
// Entered, it is also the current directory meanwhile, so that preset files
// saved without a directory land there.
#pragma once

#include <map>
#include <string>
#include <vector>

class ScratchDir {
public:
    enum class Enter { no, yes };

    explicit ScratchDir(Enter enter = Enter::no);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return directory; }
    std::string file(const std::string& name) const { return directory + "/" + name; }
    // Writes a file under the directory, bytes as given, and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // The whole content of a file.
    static std::string read(const std::string& path);
    static bool exists(const std::string& path);
    // The names of everything directly in the directory, sorted.
    std::vector<std::string> entries() const;
    // Name and bytes of every file in it, hidden ones too, subfolders included.
    std::map<std::string, std::string> contents() const;
    // Names of the files that changed, appeared or vanished since `before`.
    std::vector<std::string> changedSince(const std::map<std::string, std::string>& before) const;

private:
    std::string previous; // the current directory before, when entered
    std::string directory;
};

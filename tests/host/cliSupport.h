// Helpers for running the built tq-spectrum program on generated audio files.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built program with args; stdin is empty. It runs in `workDir`, or
// in a fresh empty directory, so that the demo's pictures land there.
CliResult runCli(const std::vector<std::string>& args, const std::string& workDir = "");

// A fresh directory that is removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

// sample(frame, channel) gives each sample; written as 32-bit float WAV.
void writeWav(const std::string& path, int rate, int channels, long frames,
              const std::function<float(long, int)>& sample);

// The CSV the program wrote: header fields and numeric rows.
struct CsvTable {
    std::vector<std::string> header;
    std::vector<std::vector<double>> rows;
};
CsvTable readCsv(const std::string& path);

// Sine of the given frequency and amplitude at the given sample frame.
float sine(double hz, double amplitude, long frame, int rate);

// Helpers for running the built tq-spectrum program on generated audio files.
#pragma once

#include <sndfile.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/ScratchDir.h"

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// How standard input reaches the program: empty, or a file's bytes,
// redirected from the file or written into a pipe; and where standard output
// goes.
struct CliInput {
    std::string file; // empty: /dev/null
    bool pipe = false;
    std::string output; // empty: captured; else appended to this file, as `>>` does
};

// Runs argv (a program and its arguments) in `workDir`, or in a fresh empty
// directory, so that the demo's pictures land there.
CliResult runProgram(const std::vector<std::string>& argv, const std::string& workDir = "",
                     const CliInput& input = {});
// Runs the built tq-spectrum program with args.
CliResult runCli(const std::vector<std::string>& args, const std::string& workDir = "",
                 const CliInput& input = {});

// Starts the built tq-spectrum program with args, its output discarded,
// waits until ready() holds, sends it the signal and gives the signal that
// ended it; 0 when it exited, or ready() never held within 20 s.
int signalCli(const std::vector<std::string>& args, const std::function<bool()>& ready, int signal);

// sample(frame, channel) gives each sample; written as 32-bit float WAV, or
// in another libsndfile format.
void writeWav(const std::string& path, int rate, int channels, long frames,
              const std::function<float(long, int)>& sample,
              int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT);

// The CSV the program wrote: header fields and numeric rows.
struct CsvTable {
    std::vector<std::string> header;
    std::vector<std::vector<double>> rows;
};
CsvTable readCsv(const std::string& path);

// Sine of the given frequency and amplitude at the given sample frame.
float sine(double hz, double amplitude, long frame, int rate);

#include "host/OutputPlan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "host/BandTable.h"
#include "host/CsvWriter.h"
#include "host/SndfileSource.h"
#include "platform/headless/PngCodec.h"

namespace {

// The file a path names now, if it is a regular file.
bool regularFile(const std::string& path, struct stat& status) {
    const int result = path == "-" ? ::fstat(STDIN_FILENO, &status) : ::stat(path.c_str(), &status);
    return result == 0 && S_ISREG(status.st_mode);
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// One spelling for every path to a file, existing or not.
std::string canonical(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path full = std::filesystem::weakly_canonical(path, ignored);
    return full.empty() ? path : full.string();
}

std::string inputName(const std::string& input) {
    return input == "-" ? std::string("standard input") : "'" + input + "'";
}

bool startsWith(const std::string& path, const std::string& text) {
    std::ifstream file(path, std::ios::binary);
    std::string start(text.size(), '\0');
    return file.read(start.data(), static_cast<std::streamsize>(start.size())) && start == text;
}

// The input a file is, if it is one.
const OutputPlan::Run* inputOf(const std::vector<OutputPlan::Run>& runs,
                               const struct stat& status) {
    for (const OutputPlan::Run& run : runs) {
        struct stat input {};
        if (!run.input.empty() && regularFile(run.input, input) && sameFile(input, status)) {
            return &run;
        }
    }
    return nullptr;
}

} // namespace

std::string OutputPlan::stem(const std::string& input) {
    if (input.empty()) {
        return HostOptions::kDemoStem;
    }
    if (input == "-") {
        return HostOptions::kStandardInputStem;
    }
    const std::string name = std::filesystem::path(input).stem().string();
    return name.empty() ? std::filesystem::path(input).filename().string() : name;
}

bool OutputPlan::replaceable(const std::string& path) {
    std::error_code error;
    if (std::filesystem::file_size(path, error) == 0 && !error) {
        return true;
    }
    const std::string software = PngCodec::software(path);
    const std::string program = PngCodec::kSoftware;
    return startsWith(path, CsvWriter::headerLine()) || startsWith(path, BandTable::kCsvHeader) ||
           (software.compare(0, program.size(), program) == 0 &&
            (software.size() == program.size() || software[program.size()] == ' '));
}

bool OutputPlan::name(const std::string& option, const std::string& value,
                      const std::string& suffix, const std::string& input, size_t inputCount,
                      std::string& path, std::string& error) {
    std::error_code ignored;
    if (value.empty() || value == "-") {
        path = value;
    } else if (std::filesystem::is_directory(value, ignored)) {
        path = (std::filesystem::path(value) / (stem(input) + suffix)).string();
    } else if (inputCount > 1) {
        error =
            "with several input files, '" + option + "' names a folder: '" + value + "' is not one";
        return false;
    } else {
        path = value;
    }
    return true;
}

bool OutputPlan::make(const HostOptions& options, std::string& error) {
    planned.clear();
    std::vector<std::string> inputs = options.inputPaths;
    const bool demo = inputs.empty();
    if (demo) {
        inputs.push_back("");
    }
    for (const std::string& input : inputs) {
        Run run;
        run.input = input;
        const std::string png =
            demo && options.pngPath.empty() ? HostOptions::kDemoWindowPng : options.pngPath;
        const std::string spectrogram = demo && options.spectrogramPath.empty()
                                            ? HostOptions::kDemoSpectrogramPng
                                            : options.spectrogramPath;
        if (!name("--csv", options.csvPath, ".csv", input, inputs.size(), run.csv, error) ||
            !name("--png", png, ".png", input, inputs.size(), run.png, error) ||
            !name("--spectrogram", spectrogram, "-spectrogram.png", input, inputs.size(),
                  run.spectrogram, error) ||
            !name("--bands", options.bandsPath, "-bands.csv", input, inputs.size(), run.bands,
                  error)) {
            return false;
        }
        planned.push_back(run);
    }
    return check(options, error);
}

bool OutputPlan::check(const HostOptions& options, std::string& error) const {
    // Standard output takes the summary unless quiet, and a CSV when asked.
    const bool toStandardOutput =
        !options.quiet ||
        std::any_of(planned.begin(), planned.end(), [](const Run& run) { return run.csv == "-"; });
    struct stat standardOutput {};
    if (toStandardOutput && ::fstat(STDOUT_FILENO, &standardOutput) == 0 &&
        S_ISREG(standardOutput.st_mode)) {
        if (const Run* input = inputOf(planned, standardOutput)) {
            error = "refusing to write standard output: it is the input " + inputName(input->input);
            return false;
        }
    }
    std::map<std::string, std::string> written; // canonical path -> the path as given
    for (const Run& run : planned) {
        for (const std::string* output : {&run.csv, &run.png, &run.spectrogram, &run.bands}) {
            struct stat status {};
            if (output->empty() || *output == "-") {
                continue;
            }
            const bool exists = ::stat(output->c_str(), &status) == 0;
            if (exists && !S_ISREG(status.st_mode)) {
                continue; // a device or a pipe: written as it is, never replaced
            }
            if (!written.emplace(canonical(*output), *output).second) {
                error = "'" + *output + "' would be written twice: give each output its own name";
                return false;
            }
            if (!exists) {
                continue;
            }
            // Even --force never turns an input into an output.
            if (const Run* input = inputOf(planned, status)) {
                error = "refusing to write '" + *output + "': it is the input " +
                        inputName(input->input);
                return false;
            }
            if (!options.force && !replaceable(*output)) {
                error = "refusing to replace '" + *output + "': it " +
                        (SndfileSource::isAudio(*output) ? "holds audio"
                                                         : "is not a file tq-spectrum wrote") +
                        " (give --force to replace it)";
                if (options.inputPaths.empty()) {
                    error += "; without an input file the demo signal is played";
                }
                return false;
            }
        }
    }
    return true;
}

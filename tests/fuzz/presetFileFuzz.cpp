// libFuzzer target: any bytes as a preset file. Loading must never crash,
// read or write past a buffer, or leave undefined values behind; the loaded
// preset is then named, selected and looked up like any other.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/pluginCore.h"

namespace {

// Parameters of every kind the file format treats differently.
class fuzzCore : public pluginCore {
public:
    fuzzCore() {
        addParameter("Cutoff", 27, 20.0f, 20000.0f, 1000.0f);
        addParameter("Gain", 6, -60.0f, 6.0f, 0.0f);
        addParameter("Mode", 2, 0.0f, 1.0f, 1.0f);
        addParameter("Title", 28, 0.0f, 1.0f, 0.0f, 16);
        addParameter("Blob", 29, 0.0f, 1.0f, 0.0f, 8);
        addParameter("Secret", 10, 0.0f, 10.0f, 3.0f, 0, true);
    }
};

std::string directory;
std::string inputPath;

void removeScratch() {
    unlink(inputPath.c_str());
    rmdir(directory.c_str());
}

const std::string& scratchInput() {
    if (inputPath.empty()) {
        char pattern[] = "/tmp/tq-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::abort();
        }
        directory = pattern;
        inputPath = directory + "/input.pre";
        std::atexit(removeScratch);
    }
    return inputPath;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = scratchInput();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    fuzzCore core;
    core.loadPresetFile(path.c_str(), "fuzz");
    if (core.getPresetCount() == 1) {
        char name[pluginCore::kNameSize + 1];
        char group[pluginCore::kNameSize + 1];
        core.getPresetName(0, name);
        core.getPresetGroup(0, group);
        core.selectPreset(0);
        core.nextPreset();
        core.previousPreset();
        if (core.findPreset(name) != 0) {
            std::abort(); // a preset must be found by the name it reports
        }
        char text[64];
        for (int32_t i = 0; i < 6; ++i) {
            core.getParameterProperty(0, i, text);
        }
    }
    return 0;
}

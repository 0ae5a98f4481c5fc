#include "tests/reliability/TestHost.h"

#include <cmath>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "shell/tq_spectrum.h"
#include "shell/vstPluginMain.h"

TestHost::TestHost() : record(VSTPluginMain(fakeHost::callback)) {}

TestHost::~TestHost() {
    close();
}

VstIntPtr TestHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) const {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

void TestHost::processReplacing(float** inputs, float** outputs, VstInt32 frames) const {
    record->processReplacing(record, inputs, outputs, frames);
}

VstIntPtr TestHost::close() {
    if (!record) {
        return 0;
    }
    const VstIntPtr answer = record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    record = nullptr;
    return answer;
}

tq_spectrum& TestHost::plugin() const {
    return *static_cast<tq_spectrum*>(record->object);
}

tq_spectrumCore& TestHost::core() const {
    return *plugin().getCore();
}

tq_spectrumEditor& TestHost::editor() const {
    return *plugin().getSpectrumEditor();
}

bool TestHost::levelsInRange() const {
    for (const auto& band : core().bandLevel) {
        const float level = band.load(std::memory_order_relaxed);
        if (!(level >= 0.0f && level <= 1.0f)) {
            return false;
        }
    }
    return true;
}

float TestHost::highestLevel() const {
    float highest = 0.0f;
    for (const auto& band : core().bandLevel) {
        highest = std::fmax(highest, band.load(std::memory_order_relaxed));
    }
    return highest;
}

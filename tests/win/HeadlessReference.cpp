#include "HeadlessReference.h"

#include "EditorScenes.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessWindow.h"
#include "shell/vstPluginMain.h"
#include "tests/support/fakeHost.h"
#include "TestSignal.h"

namespace {

RawImage shown(const HeadlessWindow& window) {
    return RawImage(window.width(), window.height(), window.pixels());
}

} // namespace

bool HeadlessReference::run() {
    HeadlessSystem::reset();
    HeadlessWindow window;
    AEffect* effect = VSTPluginMain(fakeHost::callback);
    if (!effect) {
        return false;
    }
    auto dispatch = [effect](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr,
                             float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, opt);
    };
    TestSignal::prepare(effect);
    if (dispatch(effEditOpen, 0, window.handle()) != 1) {
        dispatch(effClose);
        return false;
    }
    dispatch(effEditIdle);

    // The signal, then one decay step: the Windows side sleeps instead.
    std::vector<float> signal = TestSignal::samples();
    std::vector<float> out(TestSignal::kBlock);
    for (size_t at = 0; at < signal.size(); at += TestSignal::kBlock) {
        float* ins[2] = {signal.data() + at, signal.data() + at};
        float* outs[2] = {out.data(), out.data()};
        effect->processReplacing(effect, ins, outs, VstInt32(TestSignal::kBlock));
    }
    HeadlessSystem::advanceTicks(200);
    dispatch(effEditIdle);
    bars = shown(window);

    window.scriptPopupChoice(EditorScenes::kAboutEntry);
    window.click(EditorScenes::kHelpX, EditorScenes::kHelpY);
    dispatch(effEditIdle);
    about = shown(window);

    dispatch(effMainsChanged, 0);
    dispatch(effEditIdle);
    suspended = shown(window);

    dispatch(effEditClose);
    dispatch(effClose);
    return bars.valid() && about.valid() && suspended.valid();
}

bool HeadlessReference::write(const std::string& folder) const {
    return bars.write(folder + "/" + EditorScenes::kBars) &&
           about.write(folder + "/" + EditorScenes::kAbout) &&
           suspended.write(folder + "/" + EditorScenes::kSuspended);
}

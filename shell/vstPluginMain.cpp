#include "shell/vstPluginMain.h"

#include "shell/tq_spectrum.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    // A host that does not answer the version query gets no plug-in.
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
    try {
        auto* effect = new tq_spectrum(audioMaster);
        return effect->getAeffect();
    } catch (...) {
        return nullptr;
    }
}

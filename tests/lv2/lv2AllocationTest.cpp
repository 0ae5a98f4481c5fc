// The plug-in's run allocates nothing: blocks of every size, frames and
// status forged, an axis choice read.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "lv2/Lv2Plugin.h"
#include "Lv2TestHost.h"
#include "tests/support/allocationHook.h"

TEST(Lv2Run, NeverAllocates) {
    Lv2TestHost host;
    std::unique_ptr<Lv2Plugin> plugin(Lv2Plugin::create(44100.0, host.pluginFeatures()));
    ASSERT_TRUE(plugin);
    plugin->activate();
    std::vector<float> in(8192), out(2 * 8192);
    for (size_t n = 0; n < in.size(); ++n) {
        in[n] = static_cast<float>(n % 100) / 100.0f - 0.5f;
    }
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {out.data(), out.data() + 8192};
    // The host's run builds its buffers; afterwards the plug-in runs alone on them.
    host.run(*plugin, 0, inputs, outputs, 16384, {host.axisChoice(1)});
    allocationHook::startCounting();
    for (uint32_t frames : {0u, 1u, 777u, 4096u, 8192u, 3u}) {
        plugin->run(frames);
    }
    EXPECT_EQ(allocationHook::stopCounting(), 0u);
}

// The LV2 editor in the headless parent window: what it needs of the host,
// its life through open, close and reopen, the plug-in's messages reaching
// the bars, the axis both ways, and the suspended panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "lv2/Lv2Plugin.h"
#include "lv2/Lv2Ui.h"
#include "Lv2TestHost.h"
#include "platform/headless/HeadlessSystem.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CVuMeter.h"

namespace {

using Kind = Lv2Messages::Kind;
constexpr double kPi = 3.141592653589793;

std::unique_ptr<Lv2Ui> openUi(Lv2TestHost& host, bool map = true, bool parent = true,
                              bool resize = true, LV2UI_Widget* widget = nullptr) {
    LV2UI_Widget local = nullptr;
    return std::unique_ptr<Lv2Ui>(Lv2Ui::create(host.uiFeatures(map, parent, resize),
                                                Lv2TestHost::writeFunction, &host,
                                                widget ? widget : &local));
}

// A plug-in and its editor joined by the host.
struct Session {
    Session() {
        HeadlessSystem::reset();
        plugin.reset(Lv2Plugin::create(44100.0, host.pluginFeatures()));
        plugin->activate();
        ui = openUi(host);
    }
    // A run of a loud 1 kHz tone, its messages handed to the editor.
    std::vector<Lv2TestHost::Atom> play(uint32_t frames) {
        std::vector<float> tone(frames), out(2 * frames);
        for (uint32_t n = 0; n < frames; ++n) {
            tone[n] =
                0.5f * static_cast<float>(std::sin(2.0 * kPi * 1000.0 * (phase + n) / 44100.0));
        }
        phase += frames;
        const float* in[2] = {tone.data(), tone.data()};
        float* outputs[2] = {out.data(), out.data() + frames};
        auto events = host.run(*plugin, frames, in, outputs);
        host.deliver(*ui, events);
        return events;
    }
    Lv2TestHost host;
    std::unique_ptr<Lv2Plugin> plugin;
    std::unique_ptr<Lv2Ui> ui;
    uint32_t phase = 0;
};

} // namespace

TEST(Lv2Ui, needsTheMapAndAParentWindow) {
    struct Case {
        bool map, parent, resize, opens;
    };
    for (const Case c : {Case{true, true, true, true}, Case{true, true, false, true},
                         Case{false, true, true, false}, Case{true, false, true, false}}) {
        SCOPED_TRACE(::testing::Message() << c.map << c.parent << c.resize);
        Lv2TestHost host;
        LV2UI_Widget widget = nullptr;
        auto ui = openUi(host, c.map, c.parent, c.resize, &widget);
        EXPECT_EQ(ui != nullptr, c.opens);
        EXPECT_EQ(host.window.hasChild(), c.opens);
        EXPECT_EQ(widget, c.opens ? host.window.handle() : nullptr);
        const std::vector<std::pair<int, int>> told{{570, 180}};
        EXPECT_EQ(host.resizes, c.opens && c.resize ? told : decltype(told){});
        // It asks the plug-in for its status at once.
        EXPECT_EQ(host.kinds(host.takeWrites()),
                  c.opens ? std::vector<Kind>{Kind::statusRequest} : std::vector<Kind>{});
    }
}

// A host that closes the editor and opens it again gets a whole editor
// each time, in the same parent, fed by the same plug-in.
TEST(Lv2Ui, opensClosesAndOpensAgain) {
    Session s;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        if (round > 0) {
            s.ui = openUi(s.host);
        }
        ASSERT_TRUE(s.ui);
        EXPECT_TRUE(s.host.window.hasChild());
        s.play(8192);
        HeadlessSystem::advanceTicks(200);
        s.ui->idle();
        EXPECT_GT(s.ui->spectrumEditor().bars[4]->getValue(), 0.5f); // 1 kHz on the linear axis
        s.ui.reset();
        EXPECT_FALSE(s.host.window.hasChild());
    }
}

// Frames that pile up before the editor's next idle raise the bands as the
// audio thread does in the VST plug-in: each band shows the highest of them,
// then the editor's own decay lowers it.
TEST(Lv2Ui, showsTheHighestOfTheFramesItFellBehindOn) {
    Session s;
    tq_spectrumCore reference;
    int frames = 0;
    for (int run = 0; run < 12; ++run) {
        for (const auto& atom : s.play(1500)) {
            const Lv2Messages::Message message = s.host.read(atom);
            if (message.kind == Kind::frame) {
                reference.raiseBandLevels(message.powers);
                ++frames;
            }
        }
    }
    EXPECT_GE(frames, 4);
    HeadlessSystem::advanceTicks(200);
    s.ui->idle();
    for (int b = 0; b < SpectrumLayout::kBandCount; ++b) {
        const float expected = std::max(0.0f, reference.bandLevel[b].load() - 0.2f);
        EXPECT_EQ(s.ui->spectrumEditor().bars[b]->getValue(), expected) << "band " << b;
    }
}

TEST(Lv2Ui, followsTheStatusAndSendsTheUsersAxis) {
    Session s;
    tq_spectrumEditor& editor = s.ui->spectrumEditor();
    s.host.takeWrites();
    // A restored session's axis reaches the editor; it is not sent back.
    s.host.deliver(*s.ui, s.host.runSilence(*s.plugin, 0, {s.host.axisChoice(1)}));
    s.ui->idle();
    EXPECT_EQ(editor.scaleMode, 1);
    EXPECT_TRUE(editor.viewMenu->isCheckEntry(3));
    EXPECT_FALSE(editor.viewMenu->isCheckEntry(2));
    EXPECT_TRUE(s.host.takeWrites().empty());
    // The user picks Linear in the View menu: the plug-in hears it.
    s.host.window.scriptPopupChoice(2);
    s.host.window.click(30, 10);
    s.ui->idle();
    EXPECT_EQ(editor.scaleMode, 0);
    const auto writes = s.host.takeWrites();
    ASSERT_EQ(s.host.kinds(writes), std::vector<Kind>{Kind::axisChoice});
    EXPECT_EQ(s.host.read(writes[0]).axis, 0);
    s.host.runSilence(*s.plugin, 0, writes);
    EXPECT_EQ(s.plugin->axis(), 0);
}

// The host's options: the rate until the plug-in's status comes, and the
// scale, which sizes the editor and what the host is told of it.
TEST(Lv2Ui, takesTheSampleRateFromTheHostThenFromThePluginAndTheScaleFromTheHost) {
    struct Case {
        float option;
        int32_t interval;
        float high;
        float scale;
        int width, height;
    };
    for (const Case c :
         {Case{0.0f, 92, 22050.0f, 0.0f, 570, 180}, Case{96000.0f, 42, 48000.0f, 2.0f, 1140, 360},
          Case{0.0f, 92, 22050.0f, 1.4f, 855, 270}}) {
        SCOPED_TRACE(::testing::Message() << c.option << " " << c.scale);
        Lv2TestHost host;
        HeadlessSystem::reset();
        std::unique_ptr<Lv2Plugin> plugin(Lv2Plugin::create(48000.0, host.pluginFeatures()));
        LV2UI_Widget widget = nullptr;
        std::unique_ptr<Lv2Ui> ui(
            Lv2Ui::create(host.uiFeatures(true, true, true, c.option, c.scale),
                          Lv2TestHost::writeFunction, &host, &widget));
        ASSERT_TRUE(ui);
        EXPECT_EQ(host.resizes, (std::vector<std::pair<int, int>>{{c.width, c.height}}));
        EXPECT_EQ(ui->spectrumEditor().refreshInterval, c.interval); // 4096 samples
        EXPECT_EQ(ui->spectrumEditor().highFrequency, c.high);
        host.deliver(*ui, host.runSilence(*plugin, 0));
        EXPECT_EQ(ui->displayCore().getSampleRate(), 48000.0f);
        EXPECT_EQ(ui->spectrumEditor().refreshInterval, 85);
        EXPECT_EQ(ui->spectrumEditor().highFrequency, 24000.0f);
    }
}

// The plug-in speaks only while the host runs it: silence for longer than
// a second shows the suspended panel, and the next message the bars, as
// suspend and resume do in the VST plug-in, the About panel included.
TEST(Lv2Ui, showsTheSuspendedPanelWhileThePluginIsNotRun) {
    Session s;
    tq_spectrumEditor& editor = s.ui->spectrumEditor();
    struct Step {
        uint32_t advance;
        bool play;
        bool about; // Help > About...
        int32_t panel;
    };
    const Step steps[] = {
        {500, false, false, -1}, {600, false, false, 1},  {100, true, false, -1},
        {900, false, false, -1}, {300, false, false, 1},  {10, true, false, -1},
        {10, true, true, 0},     {1100, false, false, 1}, {10, true, false, -1},
    };
    for (const Step& step : steps) {
        HeadlessSystem::advanceTicks(step.advance);
        if (step.play) {
            s.play(4096);
        }
        if (step.about) {
            s.host.window.scriptPopupChoice(3);
            s.host.window.click(70, 10);
            s.ui->idle(); // the menu's choice; the panel follows at the next idle
        }
        s.ui->idle();
        EXPECT_EQ(editor.shownPanel, step.panel) << "after " << HeadlessSystem::ticks() << " ms";
    }
}

// Anything but an atom of the notify port is passed over.
TEST(Lv2Ui, ignoresWhatIsNotItsMessage) {
    Session s;
    const auto events = s.play(4096);
    ASSERT_FALSE(events.empty());
    const Lv2TestHost::Atom& frame = events.back();
    s.ui->portEvent(Lv2Plugin::kControl, static_cast<uint32_t>(frame.size()),
                    s.host.urids.atomEventTransfer, frame.data());
    s.ui->portEvent(Lv2Plugin::kNotify, static_cast<uint32_t>(frame.size()), 0, frame.data());
    s.ui->portEvent(Lv2Plugin::kNotify, 4, s.host.urids.atomEventTransfer, frame.data());
    s.ui->portEvent(Lv2Plugin::kNotify, 0, s.host.urids.atomEventTransfer, nullptr);
    const float level = 0.25f;
    s.ui->portEvent(Lv2Plugin::kInLeft, sizeof(level), 0, &level);
    SUCCEED();
}

// The opcode translation of the plug-in and editor bases, seen through a
// small plug-in and editor that record what reaches them.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "tests/support/fakeHost.h"
#include "toolkit/CKnobMode.h"
#include "vst/AEffGUIEditor.h"
#include "vst/AudioEffectX.h"

namespace {

int destroyed = 0;

class KeyEditor : public AEffGUIEditor {
public:
    using AEffGUIEditor::AEffGUIEditor;
    bool onKeyDown(VstKeyCode& key) override {
        lastKey = key;
        return key.character == 'k';
    }
    bool onKeyUp(VstKeyCode& key) override {
        lastKey = key;
        return false;
    }
    VstKeyCode lastKey{};
};

class RecordingEffect : public AudioEffectX {
public:
    explicit RecordingEffect(bool withEditor) : AudioEffectX(fakeHost::callback, 1, 0) {
        if (withEditor) {
            keyEditor = new KeyEditor(this);
        }
    }
    ~RecordingEffect() override { ++destroyed; }
    void processReplacing(float**, float**, VstInt32) override {}
    void close() override { closed = true; }
    void setParameter(VstInt32 index, float value) override {
        lastIndex = index;
        lastValue = value;
    }
    void setProgram(VstInt32 program) override { programs.push_back(program); }
    VstIntPtr send(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f) {
        return getAeffect()->dispatcher(getAeffect(), opcode, index, value, ptr, opt);
    }

    KeyEditor* keyEditor = nullptr;
    bool closed = false;
    VstInt32 lastIndex = -1;
    float lastValue = 0.0f;
    std::vector<VstInt32> programs;
};

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeHost::reset(true);
        destroyed = 0;
    }
};

} // namespace

TEST_F(DispatcherTest, EditorRegistersItselfAndSetsTheFlag) {
    RecordingEffect plain(false);
    EXPECT_EQ(plain.getAeffect()->flags, effFlagsCanReplacing);
    EXPECT_EQ(plain.getEditor(), nullptr);
    RecordingEffect withEditor(true);
    EXPECT_EQ(withEditor.getAeffect()->flags, effFlagsCanReplacing | effFlagsHasEditor);
    EXPECT_EQ(withEditor.getEditor(), withEditor.keyEditor);
}

TEST_F(DispatcherTest, BaseRecordDefaults) {
    RecordingEffect effect(false);
    const AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->numInputs, 1);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->uniqueID, vstFourCharCode('N', 'o', 'E', 'f'));
    EXPECT_EQ(record->object, &effect);
    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
}

TEST_F(DispatcherTest, EditorOpcodesWithoutEditorAnswerZero) {
    RecordingEffect effect(false);
    ERect* rect = nullptr;
    EXPECT_EQ(effect.send(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(effect.send(effEditOpen, 0, 0, &rect), 0);
    EXPECT_EQ(effect.send(effEditKeyDown, 'k'), 0);
    EXPECT_EQ(effect.send(effSetEditKnobMode, 0, 1), 0);
}

TEST_F(DispatcherTest, KeyRecordTakesLowBytes) {
    RecordingEffect effect(true);
    EXPECT_EQ(effect.send(effEditKeyDown, 'k', 0x1234, nullptr, 259.7f), 1);
    EXPECT_EQ(effect.keyEditor->lastKey.character, 'k');
    EXPECT_EQ(effect.keyEditor->lastKey.virt, 0x34);
    EXPECT_EQ(effect.keyEditor->lastKey.modifier, 3) << "259 truncated, low byte";
    EXPECT_EQ(effect.send(effEditKeyDown, 'x', -1, nullptr, -1.0f), 0);
    EXPECT_EQ(effect.keyEditor->lastKey.virt, 0xFF);
    EXPECT_EQ(effect.keyEditor->lastKey.modifier, 0xFF);
    EXPECT_EQ(effect.send(effEditKeyUp, 'k', 2, nullptr, std::numeric_limits<float>::quiet_NaN()),
              0);
    EXPECT_EQ(effect.keyEditor->lastKey.modifier, 0) << "an impossible modifier reads as none";
    effect.send(effEditKeyUp, 'k', 2, nullptr, 1e20f);
    EXPECT_EQ(effect.keyEditor->lastKey.modifier, 0);
}

TEST_F(DispatcherTest, KnobModeIsOneValueForTheProcess) {
    RecordingEffect first(true), second(true);
    EXPECT_EQ(first.send(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(CKnobMode::get(), 2);
    EXPECT_EQ(second.send(effSetEditKnobMode, 0, 1), 1);
    EXPECT_EQ(CKnobMode::get(), 1);
}

TEST_F(DispatcherTest, SetProgramFiltersWithASignedComparison) {
    RecordingEffect effect(false);
    effect.send(effSetProgram, 0, 1);
    effect.send(effSetProgram, 0, 5);
    effect.send(effSetProgram, 0, 0);
    effect.send(effSetProgram, 0, -1);
    EXPECT_EQ(effect.programs, (std::vector<VstInt32>{0, -1}));
}

TEST_F(DispatcherTest, EditsAndAutomationReachTheHost) {
    RecordingEffect effect(true);
    effect.keyEditor->beginEdit(2);
    effect.keyEditor->endEdit(2);
    effect.setParameterAutomated(3, 0.25f);
    effect.masterIdle();
    const std::vector<fakeHost::Call>& hostCalls = fakeHost::calls;
    ASSERT_EQ(hostCalls.size(), 4u);
    EXPECT_EQ(hostCalls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(hostCalls[0].index, 2);
    EXPECT_EQ(hostCalls[1].opcode, audioMasterEndEdit);
    EXPECT_EQ(hostCalls[1].index, 2);
    EXPECT_EQ(hostCalls[2].opcode, audioMasterAutomate);
    EXPECT_EQ(hostCalls[2].index, 3);
    EXPECT_EQ(hostCalls[2].opt, 0.25f);
    EXPECT_EQ(hostCalls[3].opcode, audioMasterIdle);
    EXPECT_EQ(effect.lastIndex, 3);
    EXPECT_EQ(effect.lastValue, 0.25f);
}

TEST_F(DispatcherTest, CloseCallsCloseThenDeletes) {
    auto* effect = new RecordingEffect(true);
    AEffect* record = effect->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(DispatcherTest, NullRecordIsIgnored) {
    RecordingEffect effect(false);
    AEffect* record = effect.getAeffect();
    EXPECT_EQ(record->dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
    record->processReplacing(nullptr, nullptr, nullptr, 10);
    EXPECT_EQ(record->getParameter(nullptr, 0), 0.0f);
    EXPECT_EQ(record->dispatcher(record, effGetVstVersion, 0, 0, nullptr, 0.0f), 2400);
}

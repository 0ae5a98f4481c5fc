// The plug-in DLL's editor in a real window under Windows: it opens as a
// child of the host's window, shows the same pictures as the headless
// rendering of the same state (text excepted, see EditorScenes.h), runs
// the native Help menu, lets go of the About panel while the OK button is
// still held, and survives a host that destroys its window first. Audio,
// editor and pictures stay the same when the host calls with its stack off
// the 16-byte alignment, as old 32-bit hosts do (StackShift.h).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "analysis/MEftFrmFft.h"
#include "analysis/MEftWinBase.h"
#include "analysis/SpectrumLayout.h"
#include "besideProgram.h"
#include "EditorScenes.h"
#include "HostWindow.h"
#include "MenuDriver.h"
#include "SceneImage.h"
#include "StackShift.h"
#include "tests/support/fakeHost.h"
#include "tests/support/PluginLibrary.h"
#include "TestSignal.h"

namespace {

RawImage reference(const char* scene) {
    RawImage image;
    image.read(besideProgram(std::string(TQ_REFERENCE_DIR) + "/" + scene));
    return image;
}

// Whether `editor` shows the About panel's version line.
bool showsVersionLine(HWND editor) {
    const EditorScenes::Box ink =
        SceneImage::inkBounds(HostWindow::capture(editor), EditorScenes::kAboutText[0]);
    return ink.left < ink.right;
}

class EditorWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library = new PluginLibrary(TQ_PLUGIN_PATH); }
    static void TearDownTestSuite() {
        delete library;
        library = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(library->loaded()) << library->error();
        fakeHost::reset(true);
        effect = host.create(library->entry("VSTPluginMain"), fakeHost::callback);
        ASSERT_NE(effect, nullptr);
        dispatch(effSetSampleRate, 0, nullptr, float(TestSignal::kSampleRate));
        dispatch(effSetBlockSize, VstIntPtr(TestSignal::kBlock));
        dispatch(effMainsChanged, 1);
    }

    void TearDown() override {
        fakeHost::onCall = nullptr;
        if (effect) {
            dispatch(effEditClose);
            dispatch(effClose);
        }
        HostWindow::pump();
    }

    VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return host.dispatch(effect, opcode, 0, value, ptr, opt);
    }

    // Idles the editor as a host's timer does, then lets the host's loop
    // deliver what the windows were sent.
    void idle() {
        dispatch(effEditIdle);
        host.pump();
    }

    void play() {
        std::vector<float> signal = TestSignal::samples();
        std::vector<float> out(TestSignal::kBlock);
        for (size_t at = 0; at < signal.size(); at += TestSignal::kBlock) {
            float* ins[2] = {signal.data() + at, signal.data() + at};
            float* outs[2] = {out.data(), out.data()};
            host.processReplacing(effect, ins, outs, VstInt32(TestSignal::kBlock));
        }
    }

    // Opens, plays the signal and lets exactly one decay step pass.
    HWND openWithBars(HostWindow& host) {
        if (dispatch(effEditOpen, 0, host.handle()) != 1) {
            return nullptr;
        }
        idle();
        play();
        // More than one refresh interval (92 ms at 44.1 kHz), one idle.
        Sleep(200);
        idle();
        return host.child();
    }

    // Clicks the Help menu and picks "About..." in the native popup.
    void chooseAbout(HWND editor) {
        MenuDriver driver({VK_UP, VK_RETURN});
        driver.arm();
        host.sendMessage(editor, WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(EditorScenes::kHelpX, EditorScenes::kHelpY));
        host.sendMessage(editor, WM_LBUTTONUP, 0,
                         MAKELPARAM(EditorScenes::kHelpX, EditorScenes::kHelpY));
        EXPECT_TRUE(driver.seen) << "the Help menu's popup did not open";
        idle();
    }

    static PluginLibrary* library;
    StackShift host;
    AEffect* effect = nullptr;
};

PluginLibrary* EditorWindow::library = nullptr;

// The same host with its stack GetParam() bytes off the alignment.
class HostAtStackShift : public EditorWindow, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override {
        host = StackShift(GetParam());
        EditorWindow::SetUp();
    }

    // What `editor` shows against the headless picture of `scene`, text in
    // `text` aside. The first shift keeps the picture for the comparison
    // with the other Windows build's.
    RawImage expectScene(HWND editor, const char* scene, std::vector<EditorScenes::Box> text) {
        const RawImage shown = HostWindow::capture(editor);
        EXPECT_EQ(SceneImage::compare(shown, reference(scene), text), "") << scene;
        if (GetParam() == 0) {
            CreateDirectoryA(besideProgram("pictures").c_str(), nullptr);
            EXPECT_TRUE(shown.write(besideProgram(std::string("pictures/") + scene))) << scene;
        }
        return shown;
    }
};

INSTANTIATE_TEST_SUITE_P(Bytes, HostAtStackShift, ::testing::ValuesIn(StackShift::shifts()));

// Runs this program's test `filter` in a process of its own on a desktop
// of 192 dpi (wine's LogPixels, which a process reads as it starts), with
// TQ_DPI_CHILD set; the registry value is put back afterwards. The child's
// exit status.
DWORD runAt192Dpi(const char* filter) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return DWORD(-1);
    }
    DWORD before = 0;
    DWORD size = sizeof before;
    DWORD type = 0;
    const bool had = RegQueryValueExA(key, "LogPixels", nullptr, &type,
                                      reinterpret_cast<BYTE*>(&before), &size) == ERROR_SUCCESS &&
                     type == REG_DWORD;
    const DWORD dpi = 192;
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);

    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command = std::string("\"") + program + "\" --gtest_filter=" + filter;
    SetEnvironmentVariableA("TQ_DPI_CHILD", "1");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    DWORD status = DWORD(-1);
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &child)) {
        WaitForSingleObject(child.hProcess, 300000);
        GetExitCodeProcess(child.hProcess, &status);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    SetEnvironmentVariableA("TQ_DPI_CHILD", nullptr);
    if (had) {
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before),
                       sizeof before);
    } else {
        RegDeleteValueA(key, "LogPixels");
    }
    RegCloseKey(key);
    return status;
}

} // namespace

// On a 192 dpi desktop a DPI-aware host is told twice the size, and the
// window the editor makes in it has that size, drawn at 2x: its Help menu
// is at twice its place.
TEST_F(EditorWindow, OnA192DpiDesktopTheHostGetsTheDoubledRectangle) {
    if (!std::getenv("TQ_DPI_CHILD")) {
        EXPECT_EQ(runAt192Dpi("EditorWindow.OnA192DpiDesktop*"), 0u);
        return;
    }
    SetProcessDPIAware();
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 1140);
    EXPECT_EQ(rect->bottom, 360);
    HostWindow parent("tq-spectrum at 192 dpi", 0, 0, 1140, 360);
    ASSERT_EQ(dispatch(effEditOpen, 0, parent.handle()), 1);
    idle();
    HWND editor = parent.child();
    ASSERT_NE(editor, nullptr);
    RECT client{};
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, 1140);
    EXPECT_EQ(client.bottom, 360);
    ASSERT_EQ(dispatch(effEditGetRect, 0, &rect), 1);
    EXPECT_EQ(rect->right, 1140);

    MenuDriver driver({VK_ESCAPE});
    driver.arm();
    host.sendMessage(editor, WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(2 * EditorScenes::kHelpX, 2 * EditorScenes::kHelpY));
    host.sendMessage(editor, WM_LBUTTONUP, 0,
                     MAKELPARAM(2 * EditorScenes::kHelpX, 2 * EditorScenes::kHelpY));
    EXPECT_TRUE(driver.seen) << "the Help menu's popup did not open";
    POINT corner{110, 34}; // the Help menu's bottom-left corner at 2x
    ClientToScreen(editor, &corner);
    EXPECT_EQ(driver.where.left, corner.x);
    EXPECT_EQ(driver.where.top, corner.y);
    idle();
    if (const char* folder = std::getenv("TQ_WIN_PICTURES")) {
        HostWindow::capture(editor).write(std::string(folder) + "/wine-2x.raw");
    }
}

TEST_P(HostAtStackShift, IdentityAndAudioPassThroughBitForBit) {
    EXPECT_EQ(dispatch(effOpen), 0);
    char text[64] = {};
    EXPECT_EQ(dispatch(effGetEffectName, 0, text), 1);
    EXPECT_STREQ(text, "tq-spectrum");
    EXPECT_EQ(dispatch(effGetVendorString, 0, text), 1);
    EXPECT_STREQ(text, "corvale");
    EXPECT_EQ(host.getParameter(effect, 0), -1.0f);

    // 400 blocks: 50 analysed frames, every other block in place.
    std::mt19937 rng(uint32_t(GetParam()) + 1);
    std::uniform_real_distribution<float> dist(-1.5f, 1.5f);
    const VstInt32 frames = VstInt32(TestSignal::kBlock);
    std::vector<float> in[2], out[2];
    for (int32_t block = 0; block < 400; ++block) {
        for (int32_t c = 0; c < 2; ++c) {
            in[c].resize(size_t(frames));
            for (float& x : in[c]) {
                x = dist(rng);
            }
            out[c] = block % 2 ? in[c] : std::vector<float>(size_t(frames), 9.0f);
        }
        float* ins[2] = {in[0].data(), in[1].data()};
        float* outs[2] = {out[0].data(), out[1].data()};
        host.processReplacing(effect, block % 2 ? outs : ins, outs, frames);
        for (int32_t c = 0; c < 2; ++c) {
            ASSERT_EQ(std::memcmp(out[c].data(), in[c].data(), sizeof(float) * size_t(frames)), 0)
                << "block " << block << ", channel " << c;
        }
    }
}

TEST_F(EditorWindow, OpensAsAChildOfTheHostAtItsOriginInTheDllsClass) {
    HostWindow host("tq-spectrum", 60, 60);
    ASSERT_EQ(dispatch(effEditOpen, 0, host.handle()), 1);
    HWND editor = host.child();
    ASSERT_NE(editor, nullptr);
    RECT r{};
    GetWindowRect(editor, &r);
    MapWindowPoints(nullptr, host.handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 570);
    EXPECT_EQ(r.bottom - r.top, 180);

    // Registered with the module handle DllMain stored: the DLL's own.
    HMODULE dll = GetModuleHandleA("tq-spectrum.dll");
    ASSERT_NE(dll, nullptr);
    const std::string name = HostWindow::className(editor);
    char expected[64];
    std::snprintf(expected, sizeof(expected), "tq-spectrum-frame-%p", static_cast<void*>(dll));
    EXPECT_EQ(name, expected);
    WNDCLASSEXA info{};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(GetClassInfoExA(dll, name.c_str(), &info));
}

TEST_P(HostAtStackShift, BaselineTransformGivesTheSameBits) {
    // Processors without 256-bit vectors run the baseline butterflies,
    // whose SSE code keeps vectors on the stack. This processor's DLL takes
    // the wide path, so the same code runs here, in-process, on the shift.
    MEftWinBase owner;
    MEftFrmFft aligned(&owner), shifted(&owner);
    const std::vector<float> signal = TestSignal::samples(1024);
    for (MEftFrmFft* fft : {&aligned, &shifted}) {
        ASSERT_EQ(fft->setSize(1024), 0);
        ASSERT_EQ(fft->prepare(), 0);
        fft->useWideVectors(false);
        std::memcpy(fft->getRe(), signal.data(), sizeof(float) * 1024);
        std::fill(fft->getIm(), fft->getIm() + 1024, 0.0f);
    }
    aligned.fftInPlace();
    host.call([](void* fft) { static_cast<MEftFrmFft*>(fft)->fftInPlace(); }, &shifted);
    EXPECT_EQ(std::memcmp(shifted.getRe(), aligned.getRe(), sizeof(float) * 1024), 0);
    EXPECT_EQ(std::memcmp(shifted.getIm(), aligned.getIm(), sizeof(float) * 1024), 0);
}

TEST_P(HostAtStackShift, EditorScenesMatchTheHeadlessRenderingExceptForTheText) {
    const RawImage suspendedReference = reference(EditorScenes::kSuspended);
    ASSERT_TRUE(reference(EditorScenes::kBars).valid() && reference(EditorScenes::kAbout).valid() &&
                suspendedReference.valid())
        << "the headless pictures are missing from " << TQ_REFERENCE_DIR;

    HostWindow host("tq-spectrum", 60, 60);
    HWND editor = openWithBars(host);
    ASSERT_NE(editor, nullptr);
    const RawImage bars =
        expectScene(editor, EditorScenes::kBars,
                    {std::begin(EditorScenes::kBarsText), std::end(EditorScenes::kBarsText)});
    const std::vector<int32_t> segments = TestSignal::expectedSegments();
    for (int32_t band = 0; band < SpectrumLayout::kBandCount; ++band) {
        EXPECT_EQ(SceneImage::litSegments(bars, band), segments[size_t(band)]) << "band " << band;
    }

    chooseAbout(editor);
    EXPECT_EQ(fakeHost::indexesOf(audioMasterBeginEdit), std::vector<VstInt32>{3});
    EXPECT_EQ(fakeHost::indexesOf(audioMasterEndEdit), std::vector<VstInt32>{3});
    expectScene(editor, EditorScenes::kAbout,
                {std::begin(EditorScenes::kAboutText), std::end(EditorScenes::kAboutText)});

    dispatch(effMainsChanged, 0);
    idle();
    expectScene(editor, EditorScenes::kSuspended, {});

    // What a repaint of the whole window brings back is the same picture.
    InvalidateRect(editor, nullptr, FALSE);
    host.pump();
    EXPECT_EQ(SceneImage::compare(HostWindow::capture(editor), suspendedReference, {}), "");
}

TEST_F(EditorWindow, OkTakesTheAboutPanelAwayWhileTheButtonIsStillHeld) {
    HostWindow host("tq-spectrum", 60, 60);
    HWND editor = openWithBars(host);
    ASSERT_NE(editor, nullptr);
    chooseAbout(editor);
    ASSERT_TRUE(showsVersionLine(editor)) << "the About panel is shown";
    fakeHost::calls.clear();

    // At each idle callback of the button's tracking loop: is the button
    // still down, and is the version line still on screen?
    std::atomic<int32_t> heldIdles{0};
    int32_t heldIdlesWithPanelGone = 0;
    fakeHost::onCall = [&](const fakeHost::Call& c) {
        if (c.opcode != audioMasterIdle || !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
            return;
        }
        if (!showsVersionLine(editor)) {
            ++heldIdlesWithPanelGone;
        }
        ++heldIdles;
    };

    POINT ok{EditorScenes::kOkX, EditorScenes::kOkY};
    ClientToScreen(editor, &ok);
    SetCursorPos(ok.x, ok.y);
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    ASSERT_EQ(SendInput(1, &press, sizeof(press)), 1u);
    // The release comes from elsewhere once the loop on this thread has
    // idled a few times with the button held (or after five seconds).
    std::thread releaser([&heldIdles] {
        const DWORD start = GetTickCount();
        while (heldIdles.load() < 3 && GetTickCount() - start < 5000) {
            Sleep(10);
        }
        INPUT release{};
        release.type = INPUT_MOUSE;
        release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &release, sizeof(release));
    });
    const DWORD start = GetTickCount();
    while (fakeHost::indexesOf(audioMasterEndEdit).empty() && GetTickCount() - start < 8000) {
        HostWindow::pump();
        Sleep(10);
    }
    releaser.join();
    HostWindow::pump();
    fakeHost::onCall = nullptr;

    EXPECT_EQ(fakeHost::indexesOf(audioMasterBeginEdit), std::vector<VstInt32>{1});
    EXPECT_EQ(fakeHost::indexesOf(audioMasterEndEdit), std::vector<VstInt32>{1});
    EXPECT_GE(heldIdles.load(), 3) << "the tracking loop idles the host";
    EXPECT_GT(heldIdlesWithPanelGone, 0);
    EXPECT_FALSE(showsVersionLine(editor));
}

TEST_F(EditorWindow, AHostThatDestroysItsWindowFirstCanOpenTheEditorAgain) {
    {
        HostWindow host("first", 60, 60);
        ASSERT_EQ(dispatch(effEditOpen, 0, host.handle()), 1);
        idle();
        DestroyWindow(host.handle());
        host.release();
        idle();
        dispatch(effEditClose);
    }
    HostWindow again("again", 60, 60);
    ASSERT_EQ(dispatch(effEditOpen, 0, again.handle()), 1);
    idle();
    ASSERT_NE(again.child(), nullptr);
    const RawImage shown = HostWindow::capture(again.child());
    EXPECT_EQ(shown.at(300, 60) & 0xFFFFFFu, reference(EditorScenes::kBars).at(300, 60) & 0xFFFFFFu)
        << "a point of the plot area between the bars";
}

TEST_F(EditorWindow, TwoEditorsShareTheClassAndOutliveEachOther) {
    AEffect* second = library->entry("main")(fakeHost::callback);
    ASSERT_NE(second, nullptr);
    HostWindow firstHost("first", 60, 60);
    HostWindow secondHost("second", 60, 300);
    ASSERT_EQ(dispatch(effEditOpen, 0, firstHost.handle()), 1);
    ASSERT_EQ(second->dispatcher(second, effEditOpen, 0, 0, secondHost.handle(), 0.0f), 1);
    idle();
    EXPECT_EQ(HostWindow::className(firstHost.child()), HostWindow::className(secondHost.child()));

    second->dispatcher(second, effEditClose, 0, 0, nullptr, 0.0f);
    second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(secondHost.child(), nullptr);
    // The first editor still paints: its class stayed registered.
    InvalidateRect(firstHost.child(), nullptr, FALSE);
    HostWindow::pump();
    const RawImage shown = HostWindow::capture(firstHost.child());
    EXPECT_EQ(shown.at(300, 60) & 0xFFFFFFu,
              reference(EditorScenes::kBars).at(300, 60) & 0xFFFFFFu);
}

// The window, the GL context and the message loop, against the scripted window system.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/AppWindow.h"
#include "tests/support/FakeWin32.h"

namespace {

std::vector<std::string> events;

LRESULT CALLBACK RecordingProcedure(HWND, UINT message, WPARAM, LPARAM) {
    events.push_back("message " + std::to_string(message));
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
    }
    return 0;
}

// A window whose frames are scripted: it can post the quit message from a given frame.
class ScriptedWindow : public AppWindow {
public:
    void Frame() override {
        ++frames;
        events.push_back("frame");
        if (frames == quitOnFrame) {
            PostQuitMessage(0);
            events.push_back("frame goes on after the quit");
        }
    }
    UINT LastMessage() const { return message.message; }

    int frames = 0;
    int quitOnFrame = -1;
};

class AppWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakewin::Reset();
        events.clear();
        window.Create("TestClass", "Test", WS_POPUP, 0, 0, 1280, 1024, RecordingProcedure, false);
        events.clear();
    }
    ScriptedWindow window{};
};

TEST_F(AppWindowTest, CreateRegistersTheClassAndMakesAVisiblePopupWithoutPointer) {
    const fakewin::Record& r = fakewin::Get();
    EXPECT_EQ(r.windowClass.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_EQ(r.windowClass.lpfnWndProc, &RecordingProcedure);
    EXPECT_EQ(r.className, "TestClass");
    EXPECT_EQ(r.windowClass.style, 0u);
    EXPECT_EQ(r.windowClass.hInstance, nullptr);
    EXPECT_EQ(r.windowClass.hCursor, nullptr);
    EXPECT_EQ(r.windowClass.hbrBackground, nullptr);
    EXPECT_EQ(r.windowClass.lpszMenuName, nullptr);
    EXPECT_EQ(r.title, "Test");
    EXPECT_EQ(r.style, static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(r.exStyle, 0u);
    EXPECT_EQ((std::vector<int>{r.x, r.y, r.width, r.height}),
              (std::vector<int>{0, 0, 1280, 1024}));
    EXPECT_TRUE(r.shown);
    EXPECT_EQ(r.showCursor, std::vector<BOOL>{FALSE});
    EXPECT_EQ(r.calls, (std::vector<std::string>{"RegisterClassExA", "CreateWindowExA",
                                                 "ShowWindow", "ShowCursor"}));
}

TEST_F(AppWindowTest, GlContextAsksForADoubleBufferedRgbaWindowSurfaceOnly) {
    fakewin::Get().calls.clear();
    window.CreateGLContext();
    const fakewin::Record& r = fakewin::Get();
    EXPECT_EQ(r.calls, (std::vector<std::string>{"GetDC", "ChoosePixelFormat", "SetPixelFormat",
                                                 "wglCreateContext", "wglMakeCurrent"}));
    const PIXELFORMATDESCRIPTOR& pfd = r.pixelFormat;
    EXPECT_EQ(pfd.nSize, 40);
    EXPECT_EQ(pfd.nVersion, 1);
    EXPECT_EQ(pfd.dwFlags, 0x25u);
    PIXELFORMATDESCRIPTOR zeroRest = pfd;
    zeroRest.nSize = zeroRest.nVersion = 0;
    zeroRest.dwFlags = 0;
    const PIXELFORMATDESCRIPTOR zero = {};
    EXPECT_EQ(memcmp(&zeroRest, &zero, sizeof zero), 0)
        << "colour, depth, stencil and the rest must be left to the driver";
    EXPECT_EQ(r.setFormat, r.chosenFormat);

    window.MakeCurrent();
    window.Present();
    EXPECT_EQ(fakewin::Get().makeCurrent, 2);
    EXPECT_EQ(fakewin::Get().swaps, 1);
}

TEST_F(AppWindowTest, LoopHandlesEveryPendingMessageBeforeTheNextFrame) {
    fakewin::Post(WM_KEYDOWN, VK_ESCAPE);
    fakewin::Post(WM_LBUTTONDOWN);
    int idle = 0;
    fakewin::OnIdle([&] {
        if (++idle == 2) {
            fakewin::Post(WM_MOUSEMOVE);
            fakewin::Post(WM_MOUSEMOVE);
            fakewin::Post(WM_MOUSEMOVE);
        } else if (idle == 4) {
            fakewin::Post(WM_CLOSE);
        }
    });
    window.Run();
    EXPECT_EQ(events,
              (std::vector<std::string>{"message 256", "message 513", "frame", "message 512",
                                        "message 512", "message 512", "frame", "message 16"}));
    // The quit message is taken, translated and dispatched like any other, then ends the loop.
    const fakewin::Record& r = fakewin::Get();
    ASSERT_FALSE(r.dispatched.empty());
    EXPECT_EQ(r.dispatched.back(), static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(r.translated, static_cast<int>(r.dispatched.size()));
    EXPECT_EQ(window.LastMessage(), static_cast<UINT>(WM_QUIT));
}

TEST_F(AppWindowTest, AFrameThatPostsTheQuitFinishesAndIsTheLast) {
    window.quitOnFrame = 3;
    window.Run();
    EXPECT_EQ(window.frames, 3);
    ASSERT_GE(events.size(), 1u);
    EXPECT_EQ(events.back(), "frame goes on after the quit");
    EXPECT_EQ(fakewin::Get().quitCodes, std::vector<int>{0});
}

}  // namespace

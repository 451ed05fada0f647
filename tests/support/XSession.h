// Runs the real game on a virtual X display and plays it through real X input: starts Xvfb,
// starts the program, finds its window, moves the pointer, presses buttons and keys, and
// reads the screen back.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace xsession {

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // three bytes a pixel, rows top-down

    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    bool Empty() const { return rgb.empty(); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Writes a PNG (through ImageMagick when present, else a PPM beside it); returns the path.
    std::string Save(const std::string& pathWithoutExtension) const;
};

struct WindowInfo {
    Window id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool borderless = false;

    // Where it lies and how large it is, as one value to compare.
    std::vector<int> Box() const { return {x, y, width, height}; }
};

class Session {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Starts Xvfb with a screen of this size, 24 bits deep, on a display number it picks
    // itself. False (with the reason in Error()) where Xvfb is not installed or does not start.
    bool StartDisplay(int width = 1280, int height = 1024);
    // Plays on a display that something else runs (a compositor's XWayland), and takes its
    // captures from `capture`: such a server's root window holds no picture of the screen.
    bool UseDisplay(const std::string& name, std::function<Screenshot()> capture);
    // Starts the game (or any command line: the game under Wine, say) in the given folder on
    // that display, with extra NAME=value settings in its environment.
    bool StartProgram(const std::vector<std::string>& commandLine,
                      const std::string& workingDirectory,
                      const std::vector<std::string>& environment = {});

    // Starts a program that makes the desktop around the game (a window manager, a panel) on
    // the display; it ends with the session, after the game and before the display.
    bool StartHelper(const std::vector<std::string>& commandLine,
                     const std::vector<std::string>& environment = {});

    // The top-level window with this title, once it is mapped; waits up to timeoutMs.
    bool FindWindow(const std::string& title, WindowInfo* info, int timeoutMs = 10000);
    // What a window manager sends when the user closes a window.
    void RequestClose(Window window);
    // Moves and resizes a window, as a window manager would (with none running, it simply is).
    void MoveResizeWindow(Window window, int x, int y, int width, int height);

    // Moves the pointer as a mouse would (an XTest motion, not a warp): the game's SDL layer
    // reads the pointer only after a device event, and a warp is none. These three return once
    // the server has taken the input, so that a hold is timed from the server's press to its
    // release however slowly a busy server answers.
    void MovePointer(int x, int y);
    void Button(bool down);
    void Key(const char* keysym, bool down);

    Screenshot Capture();
    // Captures the screen again and again until `seen` accepts a capture or timeoutMs have
    // passed; the last capture is left in *last either way.
    bool WaitForScreen(const std::function<bool(const Screenshot&)>& seen, int timeoutMs,
                       Screenshot* last = nullptr);

    // Waits for the game to end; true with its exit code when it did within timeoutMs.
    bool WaitForExit(int timeoutMs, int* exitCode);
    pid_t GamePid() const { return gameProcess; }

    const std::string& DisplayName() const { return displayName; }
    // The session's connection, for what a test asks the X server itself.
    ::Display* Connection() const { return display; }
    const std::string& Error() const { return error; }

private:
    void Stop(pid_t& pid);
    bool Connect();
    bool FindMapped(const std::string& title, WindowInfo* info);

    pid_t xvfb = 0;
    pid_t gameProcess = 0;
    std::vector<pid_t> helpers;
    ::Display* display = nullptr;
    std::string displayName;
    std::string error;
    std::function<Screenshot()> outsideCapture;
};

// The 32-bit items of a window's property (a window manager's hints, its work area); none where
// the window has no such property.
std::vector<long> LongProperty(::Display* display, Window window, const char* name);

void SleepMs(int ms);
// Asks `done` every pollMs until it says yes (true) or timeoutMs have passed (false); it is
// asked at least once.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 50);

}  // namespace xsession

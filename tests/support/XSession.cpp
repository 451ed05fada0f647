#include "tests/support/XSession.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/support/Shell.h"

namespace xsession {
namespace {

int Ignore(::Display*, XErrorEvent*) {
    return 0;
}

std::string WindowTitle(::Display* display, Window window) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

// Borderless: the window asks the window manager for no decorations, or is override-redirect.
bool Borderless(::Display* display, Window window) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.override_redirect) {
        return true;
    }
    const std::vector<long> hints = LongProperty(display, window, "_MOTIF_WM_HINTS");
    // MWM_HINTS_DECORATIONS, and no decorations.
    return hints.size() >= 3 && (hints[0] & 2) != 0 && hints[2] == 0;
}

// Starts a program on the display, with the given settings on top, in `folder` (where the test
// runs when empty); a silent one's output goes nowhere. No program here needs a session bus;
// without one, none is started on the display on its behalf (and left behind when it ends).
pid_t Spawn(const std::string& displayName, const std::vector<std::string>& commandLine,
            const std::string& folder, const std::vector<std::string>& environment, bool silent) {
    const pid_t pid = commandLine.empty() ? -1 : fork();
    if (pid != 0) {
        return pid;
    }
    if (silent) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
    }
    if (!folder.empty() && chdir(folder.c_str()) != 0) {
        _exit(126);
    }
    setenv("DISPLAY", displayName.c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    for (const std::string& setting : environment) {
        putenv(strdup(setting.c_str()));
    }
    std::vector<char*> argv;
    for (const std::string& argument : commandLine) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

}  // namespace

std::vector<long> LongProperty(::Display* display, Window window, const char* name) {
    Atom type;
    int format = 0;
    unsigned long count = 0, remaining;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 16, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr && format == 32) {
        const long* items = reinterpret_cast<const long*>(data);
        values.assign(items, items + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        SleepMs(pollMs);
    }
    return true;
}

std::string Screenshot::Save(const std::string& base) const {
    std::string ppm = base + ".ppm";
    FILE* file = std::fopen(ppm.c_str(), "wb");
    if (file == nullptr) {
        return "";
    }
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    std::fwrite(rgb.data(), 1, rgb.size(), file);
    std::fclose(file);
    if (access("/usr/bin/convert", X_OK) == 0) {
        std::string png = base + ".png";
        if (shell::Run({{"/usr/bin/convert", ppm, png}})) {
            unlink(ppm.c_str());
            return png;
        }
    }
    return ppm;
}

Session::~Session() {
    if (display != nullptr) {
        XCloseDisplay(display);
    }
    Stop(gameProcess);
    for (auto helper = helpers.rbegin(); helper != helpers.rend(); ++helper) {
        Stop(*helper);
    }
    Stop(xvfb);
}

void Session::Stop(pid_t& pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    if (!WaitUntil([pid] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 2000, 20)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = 0;
}

bool Session::StartDisplay(int width, int height) {
    if (!shell::OnPath("Xvfb")) {
        error = "Xvfb is not installed (Debian package xvfb)";
        return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        error = "no pipe";
        return false;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    xvfb = Spawn(
        "",
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp"},
        "", {}, true);
    close(fds[1]);
    // Xvfb writes the display number it chose once it accepts connections.
    std::string number;
    pollfd wait = {fds[0], POLLIN, 0};
    while (poll(&wait, 1, 15000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n') {
            break;
        }
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        error = "Xvfb did not start";
        Stop(xvfb);
        return false;
    }
    displayName = ":" + number;
    return Connect();
}

bool Session::UseDisplay(const std::string& name, std::function<Screenshot()> capture) {
    displayName = name;
    outsideCapture = std::move(capture);
    return Connect();
}

bool Session::Connect() {
    display = XOpenDisplay(displayName.c_str());
    if (display == nullptr) {
        error = "cannot connect to the X server on " + displayName;
        return false;
    }
    XSetErrorHandler(Ignore);
    // A window manager would have made this atom; programs only set their decoration hints
    // (borderless, for the game) where it exists.
    XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XSync(display, False);
    int event, errorBase, major, minor;
    if (!XTestQueryExtension(display, &event, &errorBase, &major, &minor)) {
        error = "the X server on " + displayName + " has no XTest extension";
        return false;
    }
    return true;
}

bool Session::StartProgram(const std::vector<std::string>& commandLine,
                           const std::string& workingDirectory,
                           const std::vector<std::string>& environment) {
    // A message box under Xvfb would block forever; the game must never need one here.
    std::vector<std::string> settings = {"SDL_VIDEODRIVER=x11", "LUMENVALE_NO_MESSAGE_BOX=1"};
    settings.insert(settings.end(), environment.begin(), environment.end());
    gameProcess = Spawn(displayName, commandLine, workingDirectory, settings, false);
    return gameProcess > 0;
}

bool Session::StartHelper(const std::vector<std::string>& commandLine,
                          const std::vector<std::string>& environment) {
    const pid_t helper = Spawn(displayName, commandLine, "", environment, true);
    if (helper > 0) {
        helpers.push_back(helper);
    }
    return helper > 0;
}

bool Session::FindWindow(const std::string& title, WindowInfo* info, int timeoutMs) {
    return WaitUntil([&] { return FindMapped(title, info); }, timeoutMs);
}

bool Session::FindMapped(const std::string& title, WindowInfo* info) {
    Window root = DefaultRootWindow(display), parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) {
        return false;
    }
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        found = XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable && WindowTitle(display, children[i]) == title;
        if (found) {
            Window child;
            info->id = children[i];
            XTranslateCoordinates(display, children[i], root, 0, 0, &info->x, &info->y, &child);
            info->width = attributes.width;
            info->height = attributes.height;
            info->borderless = Borderless(display, children[i]);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

void Session::RequestClose(Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

void Session::MoveResizeWindow(Window window, int x, int y, int width, int height) {
    XMoveResizeWindow(display, window, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    XFlush(display);
}

void Session::MovePointer(int x, int y) {
    XTestFakeMotionEvent(display, 0, x, y, CurrentTime);
    XSync(display, False);
}

void Session::Button(bool down) {
    XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
    XSync(display, False);
}

void Session::Key(const char* keysym, bool down) {
    KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysym));
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
}

Screenshot Session::Capture() {
    if (outsideCapture) {
        return outsideCapture();
    }
    Screenshot shot;
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* image =
        XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return shot;
    }
    shot.width = attributes.width;
    shot.height = attributes.height;
    shot.rgb.resize(size_t(shot.width) * shot.height * 3);
    // The usual 24-bit visual stores 0x00RRGGBB words in the image's byte order; anything
    // else goes the slow, general way.
    bool direct = image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 &&
                  image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    for (int y = 0; y < shot.height; ++y) {
        uint8_t* out = &shot.rgb[size_t(y) * shot.width * 3];
        const char* row = image->data + size_t(y) * image->bytes_per_line;
        for (int x = 0; x < shot.width; ++x, out += 3) {
            unsigned long pixel;
            if (direct) {
                const auto* bytes = reinterpret_cast<const uint8_t*>(row + size_t(x) * 4);
                pixel = image->byte_order == LSBFirst ? bytes[0] | bytes[1] << 8 | bytes[2] << 16
                                                      : bytes[3] | bytes[2] << 8 | bytes[1] << 16;
            } else {
                pixel = XGetPixel(image, x, y);
            }
            out[0] = static_cast<uint8_t>((pixel >> 16) & 0xFF);
            out[1] = static_cast<uint8_t>((pixel >> 8) & 0xFF);
            out[2] = static_cast<uint8_t>(pixel & 0xFF);
        }
    }
    XDestroyImage(image);
    return shot;
}

bool Session::WaitForScreen(const std::function<bool(const Screenshot&)>& seen, int timeoutMs,
                            Screenshot* last) {
    Screenshot shot;
    const bool accepted = WaitUntil(
        [&] {
            shot = Capture();
            return !shot.Empty() && seen(shot);
        },
        timeoutMs, 40);
    if (last != nullptr) {
        *last = std::move(shot);
    }
    return accepted;
}

bool Session::WaitForExit(int timeoutMs, int* exitCode) {
    int status = 0;
    if (!WaitUntil([&] { return waitpid(gameProcess, &status, WNOHANG) == gameProcess; }, timeoutMs,
                   20)) {
        return false;
    }
    gameProcess = 0;
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

}  // namespace xsession

// The real game under sway, a Wayland compositor, headless on a 1366 × 768 output: through
// XWayland, as most X programs run on Wayland desktops, sway decides where the window goes and
// how large it is, and the whole game plays through where its frame shows, also after sway
// resizes and moves the window (full screen at first, as the window does not fit the output);
// and on sway's own Wayland back end, where it is full screen too. sway takes screenshots
// (grim); the pointer, buttons and keys reach the game as X input through XWayland.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <glob.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/FittedPlay.h"
#include "tests/support/GameScreen.h"
#include "tests/support/Shell.h"
#include "tests/support/XSession.h"

namespace {

using xsession::Screenshot;

// Runs a program with extra NAME=value settings and gives its standard output; false when it
// cannot be started or fails.
bool Output(const std::vector<std::string>& commandLine, const std::vector<std::string>& settings,
            std::string* out) {
    shell::Output run = shell::Capture({commandLine, settings}, shell::Keep::Output);
    *out = std::move(run.output);
    return run.status == 0;
}

// A binary PPM (P6, 8 bits) as grim writes it.
Screenshot ReadPpm(const std::string& data) {
    Screenshot shot;
    int width = 0, height = 0, maximum = 0, header = 0;
    if (std::sscanf(data.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &header) != 3 ||
        maximum != 255 || width <= 0 || height <= 0 ||
        data.size() < size_t(header) + 1 + size_t(width) * height * 3) {
        return shot;
    }
    shot.width = width;
    shot.height = height;
    shot.rgb.assign(data.begin() + header + 1,
                    data.begin() + header + 1 + size_t(width) * height * 3);
    return shot;
}

// The x, y, width and height that follow `key` in sway's JSON, from `from` on.
bool ReadRect(const std::string& json, size_t from, const char* key, int rect[4]) {
    size_t at = json.find(std::string("\"") + key + "\"", from);
    const char* fields[] = {"\"x\"", "\"y\"", "\"width\"", "\"height\""};
    for (int i = 0; i < 4 && at != std::string::npos; ++i) {
        at = json.find(fields[i], at);
        if (at != std::string::npos) {
            at = json.find(':', at);
            rect[i] = std::atoi(json.c_str() + at + 1);
        }
    }
    return at != std::string::npos;
}

// sway on a headless output, run as an ordinary user (it refuses to run as root) with a
// runtime folder of its own, and XWayland started in it for the game.
class Sway {
public:
    ~Sway() {
        if (pid > 0) {
            Command({"exit"});
            if (!xsession::WaitUntil([this] { return waitpid(pid, nullptr, WNOHANG) == pid; },
                                     5000)) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
        if (!runtime.empty()) {
            std::filesystem::remove_all(runtime);
        }
    }

    bool Start(int width, int height, std::string* error) {
        char folder[] = "/tmp/lumenvale-sway-XXXXXX";  // short: socket paths are limited
        if (mkdtemp(folder) == nullptr) {
            *error = "no runtime folder";
            return false;
        }
        runtime = folder;
        const passwd* user = getuid() == 0 ? getpwnam("nobody") : getpwuid(getuid());
        if (user == nullptr || chown(folder, user->pw_uid, user->pw_gid) != 0) {
            *error = "no user to run sway as";
            return false;
        }
        std::ofstream(runtime + "/config") << "output HEADLESS-1 resolution " << width << "x"
                                           << height << " position 0 0\nxwayland enable\n";
        std::ofstream(runtime + "/x11.sh")
            << "#!/bin/sh\nxhost +si:localuser:root >/dev/null 2>&1\n"
            << "printenv DISPLAY > \"$XDG_RUNTIME_DIR/display.part\"\n"
            << "mv \"$XDG_RUNTIME_DIR/display.part\" \"$XDG_RUNTIME_DIR/display\"\n";
        chmod((runtime + "/x11.sh").c_str(), 0755);

        pid = fork();
        if (pid == 0) {
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(user->pw_gid) != 0 ||
                                  setuid(user->pw_uid) != 0)) {
                _exit(126);
            }
            for (const std::string& setting : Settings()) {
                putenv(strdup(setting.c_str()));
            }
            unsetenv("DISPLAY");
            setenv("WLR_BACKENDS", "headless", 1);
            setenv("WLR_LIBINPUT_NO_DEVICES", "1", 1);
            setenv("WLR_RENDERER", "pixman", 1);
            execlp("sway", "sway", "-c", (runtime + "/config").c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        // sway is up once its IPC socket answers; then XWayland starts on the first X client.
        bool ended = false;
        auto answers = [&] {
            return Command({"-t", "get_version"}) ||
                   (ended = waitpid(pid, nullptr, WNOHANG) == pid);
        };
        if (!xsession::WaitUntil(answers, 20000, 100) || ended) {
            *error = "sway did not start";
            return false;
        }
        if (!Command({"exec", runtime + "/x11.sh"})) {
            *error = "sway ran no command";
            return false;
        }
        if (!xsession::WaitUntil([&] { return std::ifstream(runtime + "/display").good(); }, 20000,
                                 100)) {
            *error = "XWayland did not start";
            return false;
        }
        std::getline(std::ifstream(runtime + "/display"), xDisplay);
        return !xDisplay.empty();
    }

    std::vector<std::string> Settings() const {
        std::vector<std::string> settings = {"XDG_RUNTIME_DIR=" + runtime,
                                             "WAYLAND_DISPLAY=wayland-1"};
        glob_t found;
        if (glob((runtime + "/sway-ipc.*.sock").c_str(), 0, nullptr, &found) == 0) {
            settings.push_back(std::string("SWAYSOCK=") + found.gl_pathv[0]);
        }
        globfree(&found);
        return settings;
    }

    bool Command(std::vector<std::string> words) {
        words.insert(words.begin(), "swaymsg");
        std::string reply;
        return Output(words, Settings(), &reply);
    }

    Screenshot Capture() const {
        std::string ppm;
        return Output({"grim", "-t", "ppm", "-"}, Settings(), &ppm) ? ReadPpm(ppm) : Screenshot();
    }

    // sway's tree of windows, and where in it the window with this title is named: npos while
    // sway shows no such window.
    size_t Tree(const std::string& title, std::string* tree) {
        if (!Output({"swaymsg", "-r", "-t", "get_tree"}, Settings(), tree)) {
            return std::string::npos;
        }
        return tree->find("\"name\": \"" + title + "\"");
    }

    // Where the content of the window with this title lies on the output: false while sway
    // shows no such window.
    bool ContentRect(const std::string& title, xsession::WindowInfo* window) {
        std::string tree;
        size_t name = Tree(title, &tree);
        size_t node = name == std::string::npos ? name : tree.rfind("\"rect\"", name);
        int outer[4], inner[4];
        if (node == std::string::npos || !ReadRect(tree, node, "rect", outer) ||
            !ReadRect(tree, node, "window_rect", inner)) {
            return false;
        }
        window->x = outer[0] + inner[0];
        window->y = outer[1] + inner[1];
        window->width = inner[2];
        window->height = inner[3];
        return window->width > 0 && window->height > 0;
    }

    // Whether sway shows the window with this title full screen on its output (its
    // fullscreen_mode, which follows its name in the tree); false too while sway shows no such
    // window.
    bool FullScreen(const std::string& title) {
        std::string tree;
        size_t name = Tree(title, &tree);
        size_t mode = name == std::string::npos ? name : tree.find("\"fullscreen_mode\"", name);
        return mode != std::string::npos && std::atoi(tree.c_str() + tree.find(':', mode) + 1) == 1;
    }

    std::string xDisplay;

private:
    pid_t pid = 0;
    std::string runtime;
};

std::string OutputDir() {
    return std::string(LUMENVALE_BUILD_DIR) + "/wayland";
}

class UnderSway : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"sway", "swaymsg", "grim", "Xwayland", "xhost"}) {
            if (!shell::OnPath(program)) {
                GTEST_SKIP() << program
                             << " is missing (Debian packages sway, grim, xwayland, "
                                "x11-xserver-utils)";
            }
        }
        std::string error;
        ASSERT_TRUE(sway.Start(1366, 768, &error)) << error;
        ASSERT_TRUE(session.UseDisplay(sway.xDisplay, [this] { return sway.Capture(); }))
            << session.Error();
    }

    // The menu fills the game's window, wherever sway has it as the screenshot is taken.
    bool MenuFillsWindow(const Screenshot& shot, xsession::WindowInfo* window) {
        return sway.ContentRect("LumenvaleGame", window) &&
               e2e::MainGroupShown(e2e::FrameOnScreen::Of(*window).View(shot));
    }

    Sway sway;
    xsession::Session session;  // after sway: it leaves the display before sway ends
};

TEST_F(UnderSway, TheWholeGamePlaysThroughXWaylandFullScreenAndWhereverSwayPutsItsWindow) {
    ASSERT_TRUE(session.StartProgram({LUMENVALE_PROGRAM}, LUMENVALE_DATA_DIR));
    // Too large for the output, the game is full screen on it, not a floating window; the
    // player takes it out of full screen and floats it, and sway resizes and moves it.
    e2e::FittedPlay play{
        session, OutputDir(), [this](const xsession::WindowInfo&) {
            EXPECT_TRUE(sway.FullScreen("LumenvaleGame")) << "sway does not show it full screen";
            EXPECT_TRUE(sway.Command({"[title=\"LumenvaleGame\"]", "fullscreen", "disable,",
                                      "floating", "enable,", "resize", "set", "width", "1200", "px",
                                      "height", "700", "px,", "move", "position", "50", "30"}));
        }};
    xsession::WindowInfo window;
    play.Run(&window);
    EXPECT_EQ(window.Box(), (std::vector<int>{0, 0, 1366, 768}));
}

TEST_F(UnderSway, WhenTheOutputShrinksUnderTheGameItBecomesFullScreen) {
    // On 1920 × 1200 the game's own window fits, and sway shows it as any window; once the
    // output is 1366 × 768 the game is full screen. The menu fills the window all the while.
    xsession::WindowInfo window;
    auto shown = [&](bool fullScreen) {
        return session.WaitForScreen(
            [&](const Screenshot& s) {
                return sway.FullScreen("LumenvaleGame") == fullScreen &&
                       MenuFillsWindow(s, &window);
            },
            20000);
    };
    ASSERT_TRUE(sway.Command({"output", "HEADLESS-1", "mode", "1920x1200"}));
    ASSERT_TRUE(session.StartProgram({LUMENVALE_PROGRAM}, LUMENVALE_DATA_DIR));
    ASSERT_TRUE(shown(false)) << "no menu in an ordinary window on 1920 x 1200";
    ASSERT_TRUE(sway.Command({"output", "HEADLESS-1", "mode", "1366x768"}));
    EXPECT_TRUE(shown(true)) << "not full screen once the output is 1366 x 768";
}

TEST_F(UnderSway, OnWaylandItselfTheGameIsFullScreenAndTheMenuFillsIt) {
    // No X at all: SDL's Wayland back end, in the runtime folder sway made.
    std::vector<std::string> settings = sway.Settings();
    settings.push_back("SDL_VIDEODRIVER=wayland");
    ASSERT_TRUE(session.StartProgram({LUMENVALE_PROGRAM}, LUMENVALE_DATA_DIR, settings));
    // The menu must fill the window, wherever sway has it as each screenshot is taken.
    xsession::WindowInfo window;
    Screenshot shot;
    bool menu = session.WaitForScreen(
        [&](const Screenshot& s) { return MenuFillsWindow(s, &window); }, 30000, &shot);
    if (!menu) {
        std::filesystem::create_directories(OutputDir());
    }
    EXPECT_TRUE(sway.FullScreen("LumenvaleGame")) << "sway does not show it full screen";
    EXPECT_TRUE(menu) << "the menu does not fill the " << window.width << " x " << window.height
                      << " window at (" << window.x << ", " << window.y << "); screenshot: "
                      << (menu ? "" : shot.Save(OutputDir() + "/wayland-menu"));
}

}  // namespace

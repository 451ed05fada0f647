// The desktop build beside a bare SDL2 + OpenGL window, in one run, on fresh Xvfb displays with
// Mesa's llvmpipe: launch to first drawn pixel, peak memory, where a start-up's time goes, the
// processor time a still game takes (menu, 8x8 board, pointer off the window) and the flips a
// held button makes per second. Prints the figures; asserts nothing.
//
//   lumenvale_desktop_bench DATA_DIR BARE_WINDOW TRACE_LIBRARY NAME=PROGRAM...
//
// Each NAME=PROGRAM is a build of the game (today's, this one); bench/README.md has the figures.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Shell.h"

namespace {

const int Runs = 5;  // after one warm-up
const int StillSeconds = 10;
const int HeldSeconds = 3;

double NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void SleepMs(double ms) {
    timespec pause = {static_cast<time_t>(ms / 1000), static_cast<long>(ms * 1e6) % 1000000000L};
    nanosleep(&pause, nullptr);
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Display {
    pid_t server = 0;
    ::Display* x = nullptr;
    std::string name;

    bool Start(int width, int height) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            return false;
        }
        server = fork();
        if (server == 0) {
            std::string fd = std::to_string(pipeEnds[1]);
            std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                   "-nolisten", "tcp", "-br", "-noreset", nullptr);
            _exit(127);
        }
        close(pipeEnds[1]);
        char number[16] = {};
        ssize_t got = read(pipeEnds[0], number, sizeof number - 1);
        close(pipeEnds[0]);
        if (got <= 0) {
            return false;
        }
        name = ":" + std::string(number, std::strcspn(number, "\n"));
        x = XOpenDisplay(name.c_str());
        return x != nullptr;
    }
    void Stop() {
        if (x) {
            XCloseDisplay(x);
        }
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
    }
    // Whether anything but black shows along a row of the screen.
    bool Drawn(int row, int width) {
        XImage* line = XGetImage(x, DefaultRootWindow(x), 0, row, width, 1, AllPlanes, ZPixmap);
        bool drawn = false;
        for (int column = 0; line && column < width && !drawn; ++column) {
            unsigned long pixel = XGetPixel(line, column, 0);
            drawn =
                ((pixel >> 16) & 0xFF) > 40 || ((pixel >> 8) & 0xFF) > 40 || (pixel & 0xFF) > 40;
        }
        if (line) {
            XDestroyImage(line);
        }
        return drawn;
    }
    int Brightness(int column, int row) {
        XImage* dot = XGetImage(x, DefaultRootWindow(x), column, row, 1, 1, AllPlanes, ZPixmap);
        unsigned long pixel = dot ? XGetPixel(dot, 0, 0) : 0;
        if (dot) {
            XDestroyImage(dot);
        }
        return static_cast<int>(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF));
    }
    void Move(int column, int row) {
        XTestFakeMotionEvent(x, 0, column, row, 0);
        XSync(x, False);
    }
    void Button(bool down) {
        XTestFakeButtonEvent(x, 1, down, 0);
        XSync(x, False);
    }
    void Press(int column, int row) {
        Move(column, row);
        SleepMs(100);
        Button(true);
        SleepMs(200);
        Button(false);
    }
};

struct Program {
    pid_t pid = 0;
    int errors = -1;  // the read end of its stderr, when traced

    void Start(const Display& display, const std::vector<std::string>& command,
               const std::string& folder, const char* preload, double launch) {
        int pipeEnds[2] = {-1, -1};
        if (preload && pipe(pipeEnds) != 0) {
            return;
        }
        pid = fork();
        if (pid == 0) {
            if (chdir(folder.c_str()) != 0) {
                _exit(127);
            }
            setenv("DISPLAY", display.name.c_str(), 1);
            setenv("SDL_VIDEODRIVER", "x11", 1);
            setenv("LUMENVALE_NO_MESSAGE_BOX", "1", 1);
            char stamp[64];
            std::snprintf(stamp, sizeof stamp, "%.0f", launch * 1e6);
            setenv("LUMENVALE_TRACE_LAUNCH", stamp, 1);
            if (preload) {
                setenv("LD_PRELOAD", preload, 1);
                dup2(pipeEnds[1], 2);
            }
            std::vector<char*> argv;
            for (const std::string& part : command) {
                argv.push_back(const_cast<char*>(part.c_str()));
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());  // an absolute path: the folder has changed
            _exit(127);
        }
        if (preload) {
            close(pipeEnds[1]);
            errors = pipeEnds[0];
        }
    }
    double CpuSeconds() const { return shell::ProcessorSeconds(pid); }
    double PeakMegabytes() const {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string key;
        while (status >> key) {
            double kilobytes = 0;
            if (key == "VmHWM:" && status >> kilobytes) {
                return kilobytes / 1024;
            }
            status.ignore(1 << 16, '\n');
        }
        return -1;
    }
    double CpuPercentOver(int seconds) const {
        double before = CpuSeconds();
        SleepMs(seconds * 1000.0);
        return (CpuSeconds() - before) * 100 / seconds;
    }
    std::string Errors() {
        std::string text;
        char chunk[4096];
        ssize_t got;
        while (errors >= 0 && (got = read(errors, chunk, sizeof chunk)) > 0) {
            text.append(chunk, static_cast<size_t>(got));
        }
        if (errors >= 0) {
            close(errors);
            errors = -1;
        }
        return text;
    }
    void Stop() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

struct Candidate {
    std::string name;
    std::vector<std::string> command;
};

// Launch to the first pixel drawn on the title's row, or -1 if none came within 10 s.
double FirstPixel(Display& display, Program& program, const Candidate& candidate,
                  const std::string& data, const char* preload) {
    double launch = NowMs();
    program.Start(display, candidate.command, data, preload, launch);
    while (NowMs() - launch < 10000) {
        if (display.Drawn(150, 1280)) {
            return NowMs() - launch;
        }
        SleepMs(0.5);
    }
    return -1;
}

void StartUp(const std::string& data, const char* trace, const std::vector<Candidate>& all) {
    Display display;
    if (!display.Start(1280, 1024)) {
        std::printf("no Xvfb\n");
        return;
    }
    std::map<std::string, std::vector<double>> firsts, peaks;
    for (int run = 0; run <= Runs; ++run) {
        for (const Candidate& candidate : all) {
            Program program;
            double first = FirstPixel(display, program, candidate, data, nullptr);
            SleepMs(1500);
            double peak = program.PeakMegabytes();
            program.Stop();
            SleepMs(300);
            if (run > 0) {
                firsts[candidate.name].push_back(first);
                peaks[candidate.name].push_back(peak);
            }
        }
    }
    std::printf("\n%-28s %22s %18s\n", "program", "first pixel, ms", "peak memory, MB");
    for (const Candidate& candidate : all) {
        std::vector<double>& f = firsts[candidate.name];
        std::printf("%-28s %8.0f (%4.0f-%4.0f) %10.1f\n", candidate.name.c_str(), Median(f),
                    *std::min_element(f.begin(), f.end()), *std::max_element(f.begin(), f.end()),
                    Median(peaks[candidate.name]));
    }
    // One traced start of each: where the time goes up to the first swap, call by call.
    for (const Candidate& candidate : all) {
        Program program;
        FirstPixel(display, program, candidate, data, trace);
        SleepMs(500);
        program.Stop();
        std::printf(
            "\ntraced start of %s: call, calls, ms spent, from ms, to ms, resident MB "
            "after the last\n",
            candidate.name.c_str());
        std::istringstream lines(program.Errors());
        // By call: count, ms spent, first start, last end, resident MB after the last.
        std::map<std::string, std::vector<double>> calls;
        std::vector<std::string> order;
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream fields(line);
            std::string word, call;
            double at = 0, spent = 0, resident = 0;
            if (!(fields >> word >> at >> call >> spent >> resident) || word != "trace") {
                continue;  // the program's own messages
            }
            std::vector<double>& sum = calls[call];
            if (sum.empty()) {
                sum = {0, 0, at, 0, 0};
                order.push_back(call);
            }
            sum[0] += 1;
            sum[1] += spent;
            sum[3] = std::max(sum[3], at + spent);
            sum[4] = resident;
        }
        for (const std::string& name : order) {
            const std::vector<double>& sum = calls[name];
            std::printf("  %-22s %4.0f %8.1f %8.1f %8.1f %8.1f\n", name.c_str(), sum[0], sum[1],
                        sum[2], sum[3], sum[4]);
        }
    }
    display.Stop();
}

// On a 1600 x 1200 screen, so that the pointer has somewhere to go off the 1280 x 1024 window.
void Still(const std::string& data, const Candidate& candidate) {
    Display display;
    if (!display.Start(1600, 1200)) {
        return;
    }
    Program program;
    FirstPixel(display, program, candidate, data, nullptr);
    display.Move(640, 512);  // an empty spot of the menu
    SleepMs(1000);
    double menu = program.CpuPercentOver(StillSeconds);
    display.Press(1032, 745);  // "Играть"
    SleepMs(400);
    display.Press(992, 899);             // "8x8"
    const int lampX = 600, lampY = 480;  // the centre of lamp (3, 4)
    display.Move(lampX, lampY);
    SleepMs(1000);
    double board = program.CpuPercentOver(StillSeconds);
    // Held over the lamp, the button flips it again and again: a spot of the lamp's bulb beside
    // the drawn cursor's cross turns bright and dark.
    display.Button(true);
    std::vector<int> seen;
    for (double from = NowMs(); NowMs() - from < HeldSeconds * 1000.0; SleepMs(2)) {
        seen.push_back(display.Brightness(lampX + 14, lampY + 12));
    }
    display.Button(false);
    int low = *std::min_element(seen.begin(), seen.end());
    int high = *std::max_element(seen.begin(), seen.end());
    int flips = 0;
    for (size_t i = 1; i < seen.size(); ++i) {
        flips += (seen[i] * 2 > low + high) != (seen[i - 1] * 2 > low + high);
    }
    display.Move(1500, 1100);  // off the window
    SleepMs(1000);
    double outside = program.CpuPercentOver(StillSeconds);
    std::printf("%-28s %10.1f %10.1f %10.1f %12.1f\n", candidate.name.c_str(), menu, board, outside,
                flips / static_cast<double>(HeldSeconds));
    program.Stop();
    display.Stop();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s DATA_DIR BARE_WINDOW TRACE_LIBRARY NAME=PROGRAM...\n",
                     argv[0]);
        return 2;
    }
    auto absolute = [](const std::string& path) {
        char* resolved = realpath(path.c_str(), nullptr);
        std::string full = resolved ? resolved : path;
        std::free(resolved);
        return full;
    };
    std::string data = absolute(argv[1]);
    std::string bare = absolute(argv[2]);
    std::vector<Candidate> all = {{"bare window", {bare}},
                                  {"bare window, textured", {bare, "textured"}}};
    std::vector<Candidate> games;
    for (int i = 4; i < argc; ++i) {
        std::string entry = argv[i];
        size_t equals = entry.find('=');
        games.push_back({entry.substr(0, equals), {absolute(entry.substr(equals + 1))}});
        all.push_back(games.back());
    }
    StartUp(data, absolute(argv[3]).c_str(), all);
    std::printf("\n%% of one core while still, over %d s; flips a second of a held button\n",
                StillSeconds);
    std::printf("%-28s %10s %10s %10s %12s\n", "program", "menu", "8x8 board", "outside",
                "flips/s");
    Still(data, all[0]);
    for (const Candidate& game : games) {
        Still(data, game);
    }
    return 0;
}

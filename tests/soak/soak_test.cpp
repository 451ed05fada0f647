// A long session of the real game on a virtual display, played through real X input: rounds of
// menu presses and holds, boards of every size, presses, holds and moves over the board, a
// solved 4x4 board now and then, Escape back and forth. Every step waits for the screen to
// answer it. The game's resident memory, open file descriptors and X resources are sampled
// throughout and must stay flat once it has warmed up; at the end "Выход" must still end it
// with code 0.
//
// LUMENVALE_SOAK_SECONDS sets the length (120 by default). The samples and a journal of the
// steps are written to <build>/soak/ (or LUMENVALE_SOAK_OUTPUT), the figures to standard output.
#include "tests/support/RealGame.h"
// After the test framework: Xlib's macros (None, Status, …) would clash with its names.
#include <X11/extensions/XRes.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

// Where the samples, the journal and the screens of unanswered steps go.
std::string OutputDir() {
    const char* chosen = std::getenv("LUMENVALE_SOAK_OUTPUT");
    return chosen != nullptr ? chosen : std::string(LUMENVALE_BUILD_DIR) + "/soak";
}

int SoakSeconds() {
    const char* text = std::getenv("LUMENVALE_SOAK_SECONDS");
    int seconds = text != nullptr ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : 120;
}

// What the game holds at one moment.
struct Sample {
    double seconds = 0;
    long residentKb = 0;
    long anonymousKb = 0;  // of which not backed by files: the heap, and the driver's buffers
    long fds = 0;
    long xResources = 0;  // of every type, as the X server counts them for the game's client
    unsigned long pixmapBytes = 0;
    std::map<std::string, long> xByType;
};

// A "Name:   123 kB" line of /proc/PID/status, in kB; -1 when there is none.
long StatusKb(pid_t pid, const std::string& name) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name + ":", 0) == 0) {
            return std::atol(line.c_str() + name.size() + 1);
        }
    }
    return -1;
}

long OpenFds(pid_t pid) {
    std::error_code error;
    long count = 0;
    for (std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error), end;
         !error && it != end; it.increment(error)) {
        ++count;
    }
    return error ? -1 : count;
}

// The X resources of the game's client, named by any resource it owns (its window), as the
// X-Resource extension counts them.
void ReadXResources(::Display* display, XID resource, Sample* sample) {
    int count = 0;
    XResType* types = nullptr;
    sample->xResources = -1;
    if (XResQueryClientResources(display, resource, &count, &types) && types != nullptr) {
        sample->xResources = 0;
        for (int i = 0; i < count; ++i) {
            sample->xResources += types[i].count;
            char* name = XGetAtomName(display, types[i].resource_type);
            sample->xByType[name != nullptr ? name : std::to_string(types[i].resource_type)] =
                types[i].count;
            XFree(name);
        }
        XFree(types);
    }
    XResQueryClientPixmapBytes(display, resource, &sample->pixmapBytes);
}

// A field's values over the samples taken between two moments, in order.
template <typename Field>
std::vector<double> Values(const std::vector<Sample>& samples, double from, double to,
                           Field Sample::*field) {
    std::vector<double> values;
    for (const Sample& s : samples) {
        if (s.seconds >= from && s.seconds <= to) {
            values.push_back(static_cast<double>(s.*field));
        }
    }
    std::sort(values.begin(), values.end());
    return values;
}
template <typename Field>
double Median(const std::vector<Sample>& samples, double from, double to, Field Sample::*field) {
    std::vector<double> values = Values(samples, from, to, field);
    return values.empty() ? -1 : values[values.size() / 2];
}
template <typename Field>
double Highest(const std::vector<Sample>& samples, double from, double to, Field Sample::*field) {
    std::vector<double> values = Values(samples, from, to, field);
    return values.empty() ? -1 : values.back();
}

// How far the medians of resident memory may part: while the heap settles, and after.
constexpr double SettlingKb = 8192, SettledKb = 2048;

class LongSession : public RealGame {
protected:
    LongSession() : RealGame(OutputDir()) {}

    void SetUp() override {
        Start();
        if (!Started()) {
            return;
        }
        int event, error;
        ASSERT_TRUE(XResQueryExtension(session.Connection(), &event, &error))
            << "no X-Resource extension on " << session.DisplayName();
        std::filesystem::create_directories(OutputDir());
        journal.open(OutputDir() + "/journal.txt");
        started = Clock::now();
        player.Park();
        Answered("first-menu", player.Expect("first-menu", MainGroupShown, timing::StartMs));
        TakeSample();
    }

    // The samples are kept however the session ended.
    void TearDown() override {
        if (samples.empty()) {
            return;
        }
        std::ofstream csv(OutputDir() + "/samples.csv");
        csv << "seconds,rss_kb,rss_anon_kb,fds,x_resources,x_pixmap_bytes\n";
        for (const Sample& s : samples) {
            csv << s.seconds << ',' << s.residentKb << ',' << s.anonymousKb << ',' << s.fds << ','
                << s.xResources << ',' << s.pixmapBytes << '\n';
        }
    }

    double Elapsed() const { return std::chrono::duration<double>(Clock::now() - started).count(); }

    void TakeSample() {
        Sample s;
        s.seconds = Elapsed();
        s.residentKb = StatusKb(session.GamePid(), "VmRSS");
        s.anonymousKb = StatusKb(session.GamePid(), "RssAnon");
        s.fds = OpenFds(session.GamePid());
        ReadXResources(session.Connection(), player.Window().id, &s);
        samples.push_back(s);
        lastSample = Clock::now();
    }

    // Every step goes in the journal. A game that does not answer ends the session there: what
    // follows would only pile failures on that one; the player has kept its screen for a look.
    void Answered(const std::string& step, bool answered) {
        ++actions;
        if (Clock::now() - lastSample >= std::chrono::seconds(1)) {
            TakeSample();
        }
        journal << Elapsed() << " s: " << step << (answered ? "" : " unanswered") << std::endl;
        if (!answered) {
            throw std::runtime_error("after " + std::to_string(actions) + " actions (" +
                                     std::to_string(static_cast<int>(Elapsed())) +
                                     " s) the game did not answer step \"" + step + "\"");
        }
    }

    void Wander(int moves, int left, int top, int right, int bottom) {
        for (int i = 0; i < moves; ++i) {
            player.MoveTo({std::uniform_int_distribution<int>(left, right)(random),
                           std::uniform_int_distribution<int>(top, bottom)(random)});
            ++actions;
            xsession::SleepMs(30);
        }
        player.Park();
    }

    // A press on one block: exactly that block flipped, or a fresh board when it lights the
    // last lamps.
    void Flip(BoardReading* board, int column, int row) {
        const BoardReading before = *board;
        Answered("flip", player.Flip("flip", before, {column, row}, board));
    }

    // Lights the lower-left lamp of every block in turn; the last row and column follow, and
    // the lit board is dealt afresh.
    void Solve(BoardReading board) {
        const int size = board.columns;
        if (board.AllLit()) {
            Flip(&board, 0, 0);
        }
        for (int r = 0; r + 1 < size; ++r) {
            for (int c = 0; c + 1 < size; ++c) {
                if (!board.Lamp(c, r).lit) {
                    Flip(&board, c, r);
                }
            }
        }
        ++solves;
    }

    void MenuStep(const std::string& step, const GlRect& button, const Judge& before,
                  const Judge& after) {
        Answered(step, player.PressButton(step, button, before, after));
    }
    void EscapeStep(const std::string& step, const Judge& before, const Judge& after) {
        Answered(step, player.PressEscape(step, before, after));
    }

    // One round from the main menu back to it.
    void Round(int round) {
        Wander(6, 0, 0, 1279, 1023);
        auto aboutHidden = [](const Screenshot& s) { return !AboutBoxShown(s); };
        if (round % 2 == 0) {
            MenuStep("about-shown", menu::Authors, aboutHidden, AboutBoxShown);
            MenuStep("about-hidden", menu::Authors, AboutBoxShown, aboutHidden);
        } else {
            // A long hold repeats the press every 250 ms: "Играть" and "Назад" share a place,
            // so the groups swap back and forth. Whichever stays, the menu goes on once the game
            // has let go.
            ++holds;
            Answered("after-hold",
                     player.Hold("after-hold", Centre(menu::Play), 650, [](const Screenshot& s) {
                         return MainGroupShown(s) || SizeGroupShown(s);
                     }));
            if (SizeGroupShown(player.Look())) {
                MenuStep("main-after-hold", menu::Back, SizeGroupShown, MainGroupShown);
            }
        }

        const int size = 4 + 2 * (round % 3);
        const GlRect sizeButton = size == 4 ? menu::Size4 : size == 6 ? menu::Size6 : menu::Size8;
        auto boardShown = [size](const Screenshot& s) { return BoardShown(s, size); };
        MenuStep("size-group", menu::Play, MainGroupShown, SizeGroupShown);
        MenuStep("board-" + std::to_string(size), sizeButton, SizeGroupShown, boardShown);
        BoardReading board;
        Answered("board-stable", player.ReadBoard("board-stable", size, &board));
        ++boards;

        std::uniform_int_distribution<int> block(0, size - 2);
        for (int i = 0; i < 4; ++i) {
            Flip(&board, block(random), block(random));
        }
        Wander(10, 320, 256, 960, 768);
        // A hold over the board flips its block every 100 ms.
        ++holds;
        Answered("board-hold",
                 player.Hold("board-hold", BlockCorner(block(random), block(random), size, size),
                             650, boardShown));
        Answered("after-board-hold", player.ReadBoard("after-board-hold", size, &board));
        if (size == 4) {
            Solve(board);
        }

        EscapeStep("escape-to-menu", boardShown, SizeGroupShown);
        EscapeStep("escape-to-board", SizeGroupShown, boardShown);
        EscapeStep("escape-to-menu-again", boardShown, SizeGroupShown);
        MenuStep("main-group", menu::Back, SizeGroupShown, MainGroupShown);
    }

    Clock::time_point started, lastSample;
    std::vector<Sample> samples;
    std::mt19937 random{20261209};
    std::ofstream journal;  // each step with its time, and whether it was answered
    long actions = 0, holds = 0, boards = 0, solves = 0;
};

std::string TypeCounts(const Sample& sample) {
    std::ostringstream out;
    for (const auto& [type, count] : sample.xByType) {
        out << ' ' << type << '=' << count;
    }
    return out.str();
}

TEST_F(LongSession, StaysFlatAndKeepsAnswering) {
    const int seconds = SoakSeconds();
    int rounds = 0;
    while (Elapsed() < seconds) {
        Round(rounds);  // throws, and so fails the test, where the game stops answering
        ++rounds;
    }
    TakeSample();
    EXPECT_EQ(player.PressToExit("exit", menu::Exit, MainGroupShown), 0)
        << "\"Выход\" did not end the game at the end of the session";

    // Start-up noise: the first quarter (at most a minute) is the game and its GL driver
    // settling. The rest is compared between a stretch right after that and the session's end.
    const double total = samples.back().seconds;
    const double warm = std::min(60.0, total / 4), stretch = std::min(120.0, total / 5);
    const auto rss = &Sample::residentKb;
    const double rssWarm = Median(samples, warm, warm + stretch, rss);
    const double rssEnd = Median(samples, total - stretch, total, rss);
    const Sample& first = samples.front();
    const Sample& last = samples.back();

    std::cout << "soak: " << total << " s, " << rounds << " rounds, " << actions << " actions ("
              << holds << " holds, " << boards << " boards, " << solves << " solved, "
              << player.Retries() << " taken again), " << samples.size() << " samples\n"
              << "soak: resident memory " << first.residentKb << " kB at start, " << rssWarm
              << " kB after warm-up (median), " << rssEnd << " kB at the end (median), "
              << Highest(samples, 0, total, rss) << " kB at most\n"
              << "soak: open fds " << first.fds << " at start, " << last.fds << " at the end\n"
              << "soak: X resources " << first.xResources << " at start, " << last.xResources
              << " at the end; pixmap bytes " << first.pixmapBytes << " / " << last.pixmapBytes
              << "\n"
              << "soak: X resources at the end:" << TypeCounts(last) << "\n";

    ASSERT_GE(samples.size(), 10u) << "too few samples to judge";
    ASSERT_GT(first.residentKb, 0) << "no VmRSS for the game in /proc";
    ASSERT_GT(first.xResources, 0) << "the X server counts no resources for the game";
    // Memory. The C library's heap goes on settling for the first minutes: pages of it are
    // touched for the first time as the driver's allocations move around. Left in the menu
    // without input, the game's resident memory grows by the same 5 MB as in play while a heap
    // profiler shows its live heap flat at 18.4 MB. After that it stays within a megabyte.
    EXPECT_LE(rssEnd - rssWarm, SettlingKb)
        << "resident memory grew from " << rssWarm << " kB to " << rssEnd << " kB (medians); see "
        << OutputDir() << "/samples.csv";
    if (total >= 600) {
        // Long enough to have settled by half way: from there on it may not grow.
        const double rssMiddle = Median(samples, (total - stretch) / 2, (total + stretch) / 2, rss);
        EXPECT_LE(rssEnd - rssMiddle, SettledKb)
            << "resident memory grew in the second half from " << rssMiddle << " kB to " << rssEnd
            << " kB (medians); see " << OutputDir() << "/samples.csv";
    }
    // Descriptors and X resources are counted exactly: none may be left over.
    EXPECT_LE(Highest(samples, total - stretch, total, &Sample::fds),
              Highest(samples, warm, warm + stretch, &Sample::fds))
        << "open file descriptors grew; see " << OutputDir() << "/samples.csv";
    EXPECT_LE(Highest(samples, total - stretch, total, &Sample::xResources),
              Highest(samples, warm, warm + stretch, &Sample::xResources))
        << "X resources grew; at the end:" << TypeCounts(last);
    EXPECT_LE(Highest(samples, total - stretch, total, &Sample::pixmapBytes),
              Highest(samples, warm, warm + stretch, &Sample::pixmapBytes))
        << "X pixmap memory grew";
}

}  // namespace
}  // namespace e2e

// The test framework before Xlib: Xlib's macros (None, Status, …) would clash with its names.
#include <gtest/gtest.h>

#include "tests/support/Player.h"

#include <cmath>
#include <filesystem>
#include <iostream>
#include <thread>

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;
const char* const Title = "LumenvaleGame";

}  // namespace

Player::Player(xsession::Session& on, std::string screenshots)
    : session(on), outputDir(std::move(screenshots)) {}

bool Player::FindWindow(int timeoutMs) {
    bool found = session.FindWindow(Title, &window, timeoutMs);
    frame = FrameOnScreen::Of(window);
    return found;
}

bool Player::FollowWindow(xsession::WindowInfo old, int timeoutMs) {
    return xsession::WaitUntil([&] { return FindWindow(0) && window.Box() != old.Box(); },
                               timeoutMs);
}

Screenshot Player::Look() {
    Screenshot screen = session.Capture();
    screenWidth = screen.width;
    screenHeight = screen.height;
    // A window manager may place or size the window some time after it shows.
    FindWindow(0);
    return frame.View(screen);
}

Point Player::Empty() const {
    const Point nowhere = OnScreen(Nowhere);
    const bool shown = screenWidth == 0 || (nowhere.x < screenWidth && nowhere.y < screenHeight);
    return shown ? Nowhere : Point{40, 300};
}

void Player::MoveTo(Point inFrame) {
    Point spot = OnScreen(inFrame);
    session.MovePointer(spot.x, spot.y);
}

std::string Player::Explained(const Explain& explain) const {
    return explain ? ":\n" + explain(lastView) : "";
}

std::string Player::Fail(const std::string& step, const Screenshot& shot, const std::string& what) {
    std::filesystem::create_directories(outputDir);
    std::string saved = shot.Empty() ? "(no capture)" : shot.Save(outputDir + "/" + step);
    ADD_FAILURE() << "step \"" << step << "\": " << what << "\n  the window: " << window.width
                  << " x " << window.height << " at (" << window.x << ", " << window.y
                  << "); screenshot: " << saved;
    return saved;
}

bool Player::Expect(const std::string& step, const Judge& seen, int timeoutMs,
                    const Explain& explain) {
    auto shown = [&] {
        lastView = Look();
        return !lastView.Empty() && seen(lastView);
    };
    if (xsession::WaitUntil(shown, timeoutMs, 40)) {
        return true;
    }
    Fail(step, lastView,
         "not seen within " + std::to_string(timeoutMs) + " ms" + Explained(explain));
    return false;
}

char Player::Verdict(const Screenshot& view, const Judge& before, const Judge& after) {
    if (view.Empty()) {
        return '?';
    }
    return after(view) ? 'a' : before(view) ? 'b' : '?';
}

// Moves the drawn cursor to one empty place and then to another, judging every capture on the
// way: the cursor is drawn at the first place only by a frame that took every input sent
// before, and at the second by a frame after that one, so once it shows there the screen is
// the game's answer, however busy the machine.
bool Player::WatchUntilDrawn(const Judge& before, const Judge& after, std::string* states) {
    const Point empty = Empty();
    for (const Point& spot : {Point{empty.x, empty.y - 100}, empty}) {
        MoveTo(spot);
        auto cursorDrawn = [&] {
            lastView = Look();
            *states += Verdict(lastView, before, after);
            return !lastView.Empty() && LitShare(lastView, Around(spot.x, spot.y, 16, 16)) > 0.05;
        };
        if (!xsession::WaitUntil(cursorDrawn, timing::SettleMs, 20)) {
            return false;
        }
    }
    return true;
}

// Spaced past the last input of the same kind, the hold is timed alone: a capture during it
// could outlast it on a busy machine and make the game repeat.
void Player::Press(const Input& input, int holdMs) {
    std::this_thread::sleep_until(*input.last + std::chrono::milliseconds(input.timing.gapMs));
    input.make(true);
    xsession::SleepMs(holdMs);
    input.make(false);
    *input.last = Clock::now();
}

// One input, and what the screen showed from the moment it began until the game had answered
// it: 'a' the state wanted, 'b' the state before, '?' neither (or a frame caught half drawn).
std::string Player::Perform(const Input& input, int holdMs, const Judge& before,
                            const Judge& after) {
    Press(input, holdMs);
    std::string states;
    const Clock::time_point repeat = *input.last + std::chrono::milliseconds(input.timing.repeatMs);
    do {
        lastView = Look();
        states += Verdict(lastView, before, after);
    } while (Clock::now() < repeat);
    if (!WatchUntilDrawn(before, after, &states)) {
        return states + "!";
    }
    // A frame caught half drawn reads as neither: the answer is the next clear reading.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timing::AnswerMs);
    while (states.back() == '?' && Clock::now() < deadline) {
        xsession::SleepMs(40);
        lastView = Look();
        states += Verdict(lastView, before, after);
    }
    return states;
}

bool Player::Act(const std::string& step, const Input& input, const Judge& before,
                 const Judge& after, const Explain& explain) {
    std::string seen;
    for (int attempt = 1; attempt <= timing::Attempts; ++attempt) {
        const std::string states = Perform(input, input.timing.HoldMs(attempt), before, after);
        seen += (seen.empty() ? "" : " ") + states;
        const size_t answered = states.find('a');
        const char last = states.back();
        if (last == 'a' && states.find('b', answered) == std::string::npos) {
            return true;
        }
        std::string what;
        if (last == '!') {
            what = "the game did not draw its cursor where the pointer went";
        } else if (answered != std::string::npos) {
            what = "the input was taken more than once: the screen showed its answer, then left it";
        } else if (last == 'b') {
            std::cout << "step \"" << step << "\": input not taken at all (screens " << states
                      << "), made again\n";
            ++retries;
            continue;
        } else {
            what = "the screen shows neither the state before the input nor the one wanted";
        }
        Fail(step, lastView, what + " (screens " + seen + ")" + Explained(explain));
        return false;
    }
    Fail(step, lastView,
         "no answer to " + std::to_string(timing::Attempts) +
             " inputs, each not taken at all (screens " + seen + ")" + Explained(explain));
    return false;
}

Player::Input Player::MenuPress(Point inFrame) {
    return {PressAt(inFrame), timing::Menu, &lastMenu};
}

std::function<void(bool down)> Player::PressAt(Point inFrame) {
    return [this, inFrame](bool down) {
        if (down) {
            MoveTo(inFrame);
        }
        session.Button(down);
    };
}

bool Player::PressButton(const std::string& step, const GlRect& button, const Judge& before,
                         const Judge& after, const Explain& explain) {
    return Act(step, MenuPress(Centre(button)), before, after, explain);
}

bool Player::PressEscape(const std::string& step, const Judge& before, const Judge& after,
                         const Explain& explain) {
    auto make = [this](bool down) { session.Key("Escape", down); };
    return Act(step, {make, timing::Key, &lastKey}, before, after, explain);
}

bool Player::ReadBoard(const std::string& step, int size, BoardReading* board, const Judge& shown) {
    BoardReading previous;
    return Expect(step, [&](const Screenshot& view) {
        *board = e2e::ReadBoard(view, size, size);
        const bool steady = (shown ? shown(view) : BoardShown(view, size)) &&
                            previous.columns == size && previous.SameLamps(*board);
        previous = *board;
        return steady;
    });
}

bool Player::Flip(const std::string& step, const BoardReading& before, Point block,
                  BoardReading* after, const Judge& shown) {
    const int size = before.columns;
    auto board = [&](const Screenshot& view) {
        *after = e2e::ReadBoard(view, size, size);
        return shown ? shown(view) : BoardShown(view, size);
    };
    auto unchanged = [&](const Screenshot& view) {
        return board(view) && after->SameLamps(before);
    };
    auto changed = [&](const Screenshot& view) {
        return board(view) && !after->SameLamps(before) &&
               e2e::ReadBoard(Look(), size, size).SameLamps(*after);
    };
    const Input press{PressAt(BlockCorner(block.x, block.y, size, size)), timing::Flip, &lastFlip};
    if (!Act(step, press, unchanged, changed,
             [&](const Screenshot&) { return "the board before:\n" + before.Describe(); })) {
        return false;
    }
    const BoardReading flipped = Flipped(before, block);
    std::string wrong;
    if (flipped.AllLit() && (after->SameColours(before) || !after->Solvable())) {
        wrong += "a fresh board (new colours, solvable) once the last lamp is lit; ";
    } else if (!flipped.AllLit() && !after->SameLamps(flipped)) {
        wrong += "block (" + std::to_string(block.x) + ", " + std::to_string(block.y) +
                 ") flipped and nothing else:\n" + flipped.Describe();
    }
    if (!after->IndicatorsFollowRows()) {
        wrong += "each pair of indicators lit exactly when its two rows are; ";
    }
    if (!wrong.empty()) {
        Fail(step, lastView,
             "wanted " + wrong + "before:\n" + before.Describe() + "saw\n" + after->Describe());
    }
    return wrong.empty();
}

bool Player::Hold(const std::string& step, Point inFrame, int holdMs, const Judge& after) {
    Press(MenuPress(inFrame), holdMs);
    lastFlip = lastMenu;
    std::string states;
    auto never = [](const Screenshot&) { return false; };
    if (!WatchUntilDrawn(never, after, &states)) {
        Fail(step, lastView, "the game did not draw its cursor where the pointer went");
        return false;
    }
    return Expect(step, after);
}

int Player::PressToExit(const std::string& step, const GlRect& button, const Judge& before) {
    for (int attempt = 1; attempt <= timing::Attempts; ++attempt) {
        Press(MenuPress(Centre(button)), timing::Menu.HoldMs(attempt));
        int exitCode = -1;
        if (session.WaitForExit(timing::AnswerMs, &exitCode)) {
            return exitCode;
        }
        // Still running: made again only while the screen shows the press was not taken.
        lastView = Look();
        if (!before(lastView)) {
            break;
        }
        ++retries;
    }
    Fail(step, lastView, "the game did not end");
    return -1;
}

bool Player::CursorUnderPointer(const std::string& step, Point inFrame, int radius, double slack) {
    const Point pointer = OnScreen(inFrame);
    session.MovePointer(pointer.x, pointer.y);
    double x = 0, y = 0;
    Screenshot shot;
    const bool under = session.WaitForScreen(
        [&](const Screenshot& s) {
            return FindCursorPicture(s, pointer, radius, &x, &y) &&
                   std::abs(x - pointer.x) <= slack && std::abs(y - pointer.y) <= slack;
        },
        timing::AnswerMs, &shot);
    const std::string drawn = "the cursor picture drawn " + std::to_string(x - pointer.x) + ", " +
                              std::to_string(y - pointer.y) + " px from the pointer at (" +
                              std::to_string(pointer.x) + ", " + std::to_string(pointer.y) + ")";
    std::cout << step << ": " << drawn << "\n";
    if (!under) {
        Fail(step, shot, "the cursor picture should be centred on the pointer; " + drawn);
    }
    Park();
    return under;
}

}  // namespace e2e

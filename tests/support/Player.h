// Plays the real game as a person does and judges every input by the screen: it presses a
// button, holds it or types a key, then watches the screen until the game has taken the input
// and drawn what it did, and names what it saw. An input is made again only when the screen
// shows it was not taken at all; an input taken twice is a failure, never a pass.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>

#include "tests/support/GameScreen.h"
#include "tests/support/XSession.h"

namespace e2e {

// How long inputs last, how far apart they come and how long the screen may take to answer,
// for every suite that plays the real game.
namespace timing {
// How inputs of one kind are paced: menu presses, flips, Escape.
struct Pace {
    // A hold lasts over several frames but ends before the game repeats. A busy machine may draw
    // no frame during it: each input made again because the screen shows it was not taken at
    // all is held a step longer.
    int firstHoldMs, holdStepMs, lastHoldMs;
    // The game's repeat period: the pointer stays where it pressed, and the screen is watched,
    // for one period after the release, so that a press the game takes twice shows.
    int repeatMs;
    // Spaced past the game's own delays after the last input of the same kind.
    int gapMs;

    int HoldMs(int attempt) const {
        return std::min(firstHoldMs + (attempt - 1) * holdStepMs, lastHoldMs);
    }
};
constexpr Pace Menu{120, 30, 210, 250, 300};
constexpr Pace Flip{60, 10, 90, 100, 150};
constexpr Pace Key{150, 100, 400, 500, 600};
// Inputs the screen shows not taken at all before a step fails.
constexpr int Attempts = 5;
// How long the screen may take to answer a step, to show the game's first screen, and to draw
// the cursor where the pointer went.
constexpr int AnswerMs = 5000;
constexpr int StartMs = 30000;
constexpr int SettleMs = 10000;
}  // namespace timing

// A judgement of the frame, 1280 × 1024 whatever the window's size; and what is wrong with it,
// for a failure's message.
using Judge = std::function<bool(const Screenshot&)>;
using Explain = std::function<std::string(const Screenshot&)>;

class Player {
public:
    Player(xsession::Session& session, std::string outputDir);

    // Finds the game's window and fits the frame into it as the game does.
    bool FindWindow(int timeoutMs = 20000);
    // Waits until the window's size or place differs from `old` (a copy: the window it is
    // compared with is the one this reads anew).
    bool FollowWindow(xsession::WindowInfo old, int timeoutMs = timing::AnswerMs);
    const xsession::WindowInfo& Window() const { return window; }

    Point OnScreen(Point inFrame) const { return frame.ToScreen(inFrame); }
    // The frame as the screen shows it now, wherever the window has gone since.
    Screenshot Look();
    void MoveTo(Point inFrame);
    // The pointer where nothing is drawn, so that nothing shows hovered.
    void Park() { MoveTo(Empty()); }

    // Waits until the frame shows `seen`; a failure, with the screenshot, when it does not.
    bool Expect(const std::string& step, const Judge& seen, int timeoutMs = timing::AnswerMs,
                const Explain& explain = nullptr);

    // A press on a menu button and Escape, each until the frame shows `after`; `before` is
    // what it shows while the input is not taken at all.
    bool PressButton(const std::string& step, const GlRect& button, const Judge& before,
                     const Judge& after, const Explain& explain = nullptr);
    bool PressEscape(const std::string& step, const Judge& before, const Judge& after,
                     const Explain& explain = nullptr);
    // Waits until a board of `size` reads clearly and the same in two captures in a row, so
    // that no frame is caught half drawn; `shown` tells the board screen (BoardShown unless
    // given).
    bool ReadBoard(const std::string& step, int size, BoardReading* board,
                   const Judge& shown = nullptr);
    // A press on the block with lower-left lamp `block` of the board `before` shows, until the
    // board reads otherwise, the same twice; that board is left in *after. It must show exactly
    // that block flipped, or where that lights every lamp a fresh board (new colours, solvable),
    // with the indicators following the rows; any other board is a failure.
    bool Flip(const std::string& step, const BoardReading& before, Point block, BoardReading* after,
              const Judge& shown = nullptr);
    // A hold meant to repeat, made once: the frame must show `after` once the game let go.
    bool Hold(const std::string& step, Point inFrame, int holdMs, const Judge& after);
    // A press on a button that ends the game; its exit code, -1 when it did not end.
    int PressToExit(const std::string& step, const GlRect& button, const Judge& before);

    // The drawn cursor's centre within `slack` screen pixels of the pointer at `inFrame`, in a
    // place where nothing else is drawn within `radius`.
    bool CursorUnderPointer(const std::string& step, Point inFrame, int radius, double slack);

    // Saves the frame under the step's name and reports the failure; the path is returned.
    std::string Fail(const std::string& step, const Screenshot& shot, const std::string& what);

    // The frame as the last judgement saw it, and how many inputs were made again.
    const Screenshot& LastView() const { return lastView; }
    int Retries() const { return retries; }

private:
    struct Input {
        std::function<void(bool down)> make;
        timing::Pace timing;
        std::chrono::steady_clock::time_point* last;  // when an input of this kind ended
    };
    Input MenuPress(Point inFrame);
    // Moves the pointer to the spot on a press, and presses the button there.
    std::function<void(bool down)> PressAt(Point inFrame);
    void Press(const Input& input, int holdMs);
    bool Act(const std::string& step, const Input& input, const Judge& before, const Judge& after,
             const Explain& explain);
    std::string Perform(const Input& input, int holdMs, const Judge& before, const Judge& after);
    // What `explain` tells of the last view, for a failure's message.
    std::string Explained(const Explain& explain) const;
    char Verdict(const Screenshot& view, const Judge& before, const Judge& after);
    // A place in the frame where only the cursor is ever drawn, on the screen wherever the
    // window has been dragged: Nowhere, or else the frame's empty left edge.
    Point Empty() const;
    bool WatchUntilDrawn(const Judge& before, const Judge& after, std::string* states);

    xsession::Session& session;
    std::string outputDir;
    xsession::WindowInfo window;
    FrameOnScreen frame;
    Screenshot lastView;
    int screenWidth = 0, screenHeight = 0;
    int retries = 0;
    std::chrono::steady_clock::time_point lastMenu{}, lastFlip{}, lastKey{};
};

}  // namespace e2e

// Plays the whole game through the real entry, message loop and window procedure against the
// scripted window system and the recording OpenGL, the way a player would: the pointer is moved,
// the button and Escape go down and up as window messages, and time passes by the frame clock's
// own sleeps.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <new>
#include <string>
#include <vector>

#include "app/FrameClock.h"
#include "game/LampBoard.h"
#include "game/PuzzleGame.h"
#include "game/Random.h"
#include "tests/support/FakeWin32.h"
#include "tests/support/RecordingGL.h"

namespace scenario {

// A tick count at start-up like that of a machine that has been up for a while: the first menu
// frame then accepts a press at once.
const DWORD StartTicks = 123456;

// Widgets have no virtual destructor; each is destroyed as the kind it was made as.
template <typename Kind>
void DestroyWidget(Kind* widget) {
    if (widget != nullptr) {
        widget->~Kind();
        ::operator delete(widget);
    }
}

// Frees what the game never frees itself (its widgets and their list nodes), so that a test
// binary run whole does not pile them up.
inline void FreeMenu() {
    WidgetNode* node = game.widgets.head;
    while (node != nullptr) {
        WidgetNode* next = node->next;
        delete node;
        node = next;
    }
    for (Button* button : {game.exitButton, game.authorsButton, game.playButton, game.size4Button,
                           game.size6Button, game.size8Button, game.backButton}) {
        DestroyWidget(button);
    }
    DestroyWidget(game.creditLabel);
    DestroyWidget(game.aboutBox);
}

// Puts the game, the generator, the frame clock, the window system and GL back to what a fresh
// process finds: the game object is rebuilt on zeroed storage, as in static storage.
inline void ResetGame() {
    FreeMenu();
    game.~PuzzleGame();
    std::memset(static_cast<void*>(&game), 0, sizeof game);
    new (&game) PuzzleGame();
    gameRandom = Random();
    FrameClock::now = FrameClock::delta = FrameClock::last = 0;
    fakewin::Reset();
    fakewin::SetIdleLimit(20000);
    recgl::Reset();
}

// Runs the program's entry. Before every Frame the loop makes (frame 0 is the start-up),
// `beforeFrame` gets the frame's number and may move the pointer, post input or look at the
// game; when it returns false the player closes the loop with the quit message instead.
// Returns what the entry returns.
inline int Play(const std::function<bool(int frame)>& beforeFrame) {
    int frame = 0;
    bool inputPosted = false;
    fakewin::OnIdle([&] {
        // Posted input is handled first; the queue is then empty again before the same frame.
        if (inputPosted) {
            inputPosted = false;
            return;
        }
        if (!beforeFrame(frame++)) {
            fakewin::Post(WM_QUIT);
            return;
        }
        inputPosted = fakewin::Pending() > 0;
    });
    int result = WinMain(nullptr, nullptr, nullptr, 0);
    fakewin::OnIdle(nullptr);
    return result;
}

// Moves the pointer to the window pixel of the frame's point (x, y).
inline void PointAtFrame(double x, double y) {
    fakewin::SetPointer(static_cast<LONG>(std::lround((x + 1) * (ScreenWidth / 2))),
                        static_cast<LONG>(std::lround((1 - y) * (ScreenHeight / 2))));
}
// The middle of a widget's rectangle.
inline void PointAt(const Widget* widget) {
    ASSERT_NE(widget, nullptr);
    PointAtFrame((widget->x1 + widget->x2) / 2, (widget->y1 + widget->y2) / 2);
}
// The centre of lamp (c, r) of the board in play.
inline void PointAtLamp(uint32_t c, uint32_t r) {
    PointAtFrame((c + 0.5) / game.board.columns - 0.5, (r + 0.5) / game.board.rows - 0.5);
}

inline void ButtonDown() {
    fakewin::Post(WM_LBUTTONDOWN);
}
inline void PressOn(const Widget* widget) {
    PointAt(widget);
    ButtonDown();
}
inline void ButtonUp() {
    fakewin::Post(WM_LBUTTONUP);
}
inline void EscapeDown() {
    fakewin::Post(WM_KEYDOWN, VK_ESCAPE);
}
inline void EscapeUp() {
    fakewin::Post(WM_KEYUP, VK_ESCAPE);
}

// The player opens a board from the main menu: "Играть" on frame 1, then the size button, held
// until the menu timer lets it fire on frame 3 (the player waits a moment after frame 2). The
// board screen shows from frame BoardShown on, where the button is released.
const int BoardShown = 4;
inline void OpenBoard(int frame, Button* PuzzleGame::*sizeButton) {
    if (frame == 1) {
        PressOn(game.playButton);
    } else if (frame == 2) {
        PointAt(game.*sizeButton);
        fakewin::SetTicks(fakewin::Ticks() + 300);
    } else if (frame == BoardShown) {
        ButtonUp();
    }
}

// The calls of the frame before, taken at the start of each callback.
struct FrameCalls {
    size_t mark = 0;
    std::vector<recgl::Call> last;

    void Next() {
        const std::vector<recgl::Call>& all = recgl::Calls();
        last.assign(all.begin() + static_cast<long>(mark), all.end());
        mark = all.size();
    }
};

// Opens a board with `sizeButton` as OpenBoard does; then, before every frame from BoardShown
// on, `onBoard` gets the frame's step (0 on BoardShown) and the GL calls of the frame before.
// When it returns false the player closes the loop.
inline int PlayBoard(
    Button* PuzzleGame::*sizeButton,
    const std::function<bool(int step, const std::vector<recgl::Call>& last)>& onBoard) {
    FrameCalls frames;
    return Play([&](int frame) {
        OpenBoard(frame, sizeButton);
        frames.Next();
        return frame < BoardShown || onBoard(frame - BoardShown, frames.last);
    });
}

// The three sizes, as their menu buttons deal them.
struct BoardSize {
    Button* PuzzleGame::*button;
    uint32_t size;
    const int32_t* pattern;
    uint32_t scrambles;

    std::string Name() const { return std::to_string(size) + "x" + std::to_string(size); }
    // Deals `board` as this size's button deals the game's, drawing on `random`.
    void Deal(LampBoard& board, Random& random) const {
        board.Deal(size, size, size * size, pattern, scrambles, random);
    }
};
const BoardSize BoardSizes[] = {{&PuzzleGame::size4Button, 4, Pattern4x4, 10},
                                {&PuzzleGame::size6Button, 6, Pattern6x6, 20},
                                {&PuzzleGame::size8Button, 8, Pattern8x8, 30}};

// The lamps' lit flags and colours, in lamp order.
inline std::vector<int32_t> LitLamps(const LampBoard& board = game.board) {
    return std::vector<int32_t>(board.lampLit, board.lampLit + board.lampCount);
}
inline std::vector<int32_t> LampColours(const LampBoard& board = game.board) {
    return std::vector<int32_t>(board.lampColour, board.lampColour + board.lampCount);
}

inline std::vector<recgl::Call> Named(const std::vector<recgl::Call>& calls, const char* name) {
    return recgl::CallsNamed(name, calls);
}

struct Expected {
    const char* name;
    std::vector<double> args;
};

// The calls from `at` on must be `expected`. Texture corners are whole numbers and must come
// exactly; positions are compared as the floats GL takes.
inline void ExpectCalls(const std::vector<recgl::Call>& calls, size_t at,
                        const std::vector<Expected>& expected) {
    ASSERT_LE(at + expected.size(), calls.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        const recgl::Call& call = calls[at + k];
        ASSERT_TRUE(call.Is(expected[k].name))
            << "call " << at + k << " is " << call.name << ", expected " << expected[k].name;
        ASSERT_EQ(call.argCount, static_cast<int>(expected[k].args.size())) << call.name;
        for (size_t a = 0; a < expected[k].args.size(); ++a) {
            float got = static_cast<float>(call[static_cast<int>(a)]);
            float want = static_cast<float>(expected[k].args[a]);
            std::string where = "call " + std::to_string(at + k) + " (" + call.name +
                                ") argument " + std::to_string(a);
            if (call.Is("glTexCoord2f")) {
                EXPECT_EQ(got, want) << where;
            } else {
                EXPECT_FLOAT_EQ(got, want) << where;
            }
        }
    }
}

// A primitive of `mode` whose corners are each a call to `first` and a glVertex2f, with two
// arguments each: {first's two, the vertex's two}.
inline std::vector<Expected> Primitive(GLenum mode, const char* first,
                                       std::initializer_list<std::array<double, 4>> corners) {
    std::vector<Expected> calls = {{"glBegin", {double(mode)}}};
    for (const auto& c : corners) {
        calls.push_back({first, {c[0], c[1]}});
        calls.push_back({"glVertex2f", {c[2], c[3]}});
    }
    calls.push_back({"glEnd", {}});
    return calls;
}

// A textured quad from (x0, y0) to (x1, y1), its corners counter-clockwise from the bottom left;
// a mirrored one shows its picture flipped left to right.
inline std::vector<Expected> TexturedQuad(double x0, double y0, double x1, double y1,
                                          bool mirrored = false) {
    double s0 = mirrored ? 1 : 0;
    double s1 = 1 - s0;
    return Primitive(GL_QUADS, "glTexCoord2f",
                     {{s0, 0, x0, y0}, {s1, 0, x1, y0}, {s1, 1, x1, y1}, {s0, 1, x0, y1}});
}

inline std::vector<Expected> Join(std::initializer_list<std::vector<Expected>> parts) {
    std::vector<Expected> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// Number of glBegin calls with the given primitive.
inline int Primitives(const std::vector<recgl::Call>& calls, GLenum mode) {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [mode](const auto& call) {
        return call.Is("glBegin") && call[0] == mode;
    }));
}

// Every texture bound in a frame, in order.
inline std::vector<GLuint> BoundTextures(const std::vector<recgl::Call>& calls) {
    std::vector<GLuint> names;
    for (const recgl::Call& call : Named(calls, "glBindTexture")) {
        names.push_back(static_cast<GLuint>(call[1]));
    }
    return names;
}

// The texture the board screen must show for lamp i as the board stands now.
inline GLuint ExpectedLampTexture(uint32_t i) {
    bool lit = game.board.lampLit[i] != 0;
    switch (game.board.lampColour[i]) {
        case LampGreen:
            return lit ? game.texOnGreen : game.texOffGreen;
        case LampRed:
            return lit ? game.texOnRed : game.texOffRed;
        default:
            return lit ? game.texOnBlue : game.texOffBlue;
    }
}

// A fresh game on a machine up for StartTicks ms.
inline void StartAfresh() {
    ResetGame();
    fakewin::SetTicks(StartTicks);
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { StartAfresh(); }
    void TearDown() override { ResetGame(); }
};

}  // namespace scenario

// The game object: the one AppWindow of the program, whose Frame runs the game as a small state
// machine - start-up once, then menu frames and board frames.
#pragma once

#include <cstdint>

#include "app/AppWindow.h"
#include "app/Cursor.h"
#include "app/GL.h"
#include "game/LampBoard.h"
#include "resources/BmpImage.h"
#include "resources/TextureParams.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/TextBox.h"
#include "ui/WidgetList.h"

// State codes. Any other value is a fault, reported on every idle pass.
const int32_t StateStartup = 0x5631;
const int32_t StateMenu = 0x8421;
const int32_t StateBoard = 0x8521;

// The frame the screens draw, in pixels on a window of its own size; on any other window it is
// scaled to the largest centred box of its shape, and the pointer is mapped through that box.
const int ScreenWidth = 1280;
const int ScreenHeight = 1024;

// Timer thresholds in timer units of 10 ms; an action needs its timer strictly above them.
const float ClickDelay = 10;      // board clicks, 100 ms
const float MenuPressDelay = 25;  // menu buttons, 250 ms
const float EscapeDelay = 50;     // switching screens with Escape, 500 ms

class PuzzleGame : public AppWindow {
public:
    void Frame() override;

    // Deals a fresh board and marks a game as in progress. A deal the board refuses (no memory
    // for the arrays) keeps the board that was in play.
    void NewGame(uint32_t newColumns, uint32_t newRows, uint32_t newLampCount,
                 const int32_t* newPattern, uint32_t newScrambleCount);
    // Releases the board and asks the loop to end; the calling frame still runs to its end.
    void Quit();

    // The menu screen (game/Menu.cpp).
    void BuildMenu();
    void DrawMenuFrame();
    // The board screen (game/BoardScreen.cpp).
    void DrawBoardFrame();

    // The block a pointer on the board picks: its centre is the lamp corner (bx, by), so it
    // covers columns bx - 1 and bx and rows by - 1 and by.
    struct BlockAnchor {
        bool found;
        uint32_t bx;
        uint32_t by;
    };
    BlockAnchor PickBlock(GlPoint at) const;

    LampBoard board;  // lampLit, lampColour, columns, rows, lampCount, scrambleCount, pattern
    int32_t state = 0;
    Cursor cursor;
    GLuint texOnGreen = 0;
    GLuint texOffGreen = 0;
    GLuint texOnRed = 0;
    GLuint texOffRed = 0;
    GLuint texOnBlue = 0;
    GLuint texOffBlue = 0;
    GLuint texOnTrue = 0;
    GLuint texOffTrue = 0;
    GLuint texTitle = 0;
    GLuint texCursor = 0;
    GLuint texPlanet = 0;
    BmpImage loader;  // every picture passes through it; its pixels go once all are uploaded
    TextureParams textureParams;
    bool spaceDown = false;
    float escapeTimer = 0;
    bool escapeDown = false;
    float clickTimer = 0;
    bool mouseDown = false;
    Button* exitButton = nullptr;
    Button* authorsButton = nullptr;
    Button* playButton = nullptr;
    Button* size4Button = nullptr;
    Button* size6Button = nullptr;
    Button* size8Button = nullptr;
    Button* backButton = nullptr;
    Label* creditLabel = nullptr;
    TextBox* aboutBox = nullptr;
    WidgetList widgets;  // the nine menu widgets in the order they were made, never released
    bool gameInProgress = false;
    float menuTimer = 0;

private:
    void StartUp();
    void LoadPictures();
    // The cursor picture, the clock's tick and the buffer swap that close every drawn frame.
    void EndFrame();
    // Switches to `target` when Escape is held and its timer has passed the delay.
    void SwitchOnEscape(int32_t target);

    // Menu parts.
    void MakeButtons();
    void MakeCreditLine();
    void MakeAboutBox();
    void DrawPlanet();
    void DrawTitle();
    void HandleMenuButtons();
    bool Pressed(const Button* button) const;
    void ShowSizeChoice(bool sizes);
    void StartBoard(uint32_t size, const int32_t* startPattern, uint32_t scrambles);

    // Board parts.
    void DrawLamps();
    void DrawIndicators();
    GLuint LampTexture(uint32_t index) const;
    void ClickBlock(BlockAnchor anchor);
    void HoverFrame(BlockAnchor anchor) const;
};

// The one game object, in static storage.
extern PuzzleGame game;

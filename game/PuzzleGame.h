// The game object: the one AppWindow of the program, whose Frame runs the game.
#pragma once

#include <cstdint>

#include "app/AppWindow.h"
#include "app/Cursor.h"
#include "app/GL.h"

const int32_t StateStartup = 0x5631;
const int32_t StateMenu = 0x8421;
const int32_t StateBoard = 0x8521;

class PuzzleGame : public AppWindow {
public:
    void Frame() override;

    int32_t state;
    Cursor cursor;
    GLuint texCursor;
    bool spaceDown;
    bool escapeDown;
    bool mouseDown;
};

// The one game object, in static storage.
extern PuzzleGame game;

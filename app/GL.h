// OpenGL 1.x as the game uses it, on every system.
#pragma once

#include <windows.h>
#include <GL/gl.h>

// The real <windows.h> makes DrawText a macro for its own DrawTextA; the game's text drawing
// (ui/BitmapFont.h) keeps its own name.
#ifdef DrawText
#undef DrawText
#endif

// Windows' OpenGL 1.1 header knows neither mipmap generation nor its hint.
#ifndef GL_GENERATE_MIPMAP
#define GL_GENERATE_MIPMAP 0x8191
#endif
#ifndef GL_GENERATE_MIPMAP_HINT
#define GL_GENERATE_MIPMAP_HINT 0x8192
#endif
#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

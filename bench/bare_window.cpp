// The floor the game's start-up and memory are measured against: a bare SDL2 window of the
// game's size with an OpenGL compatibility context, started the way the game starts, that
// clears, sleeps 10 ms and swaps until it is closed.
//
//   lumenvale_bare_window            clears only
//   lumenvale_bare_window textured   also draws one blended, textured quad from a picture of
//                                    `side` x `side` pixels (256 unless given), so that the
//                                    driver's first textured, blended draw is paid as the game
//                                    pays it
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace {

void TexturedQuad(int side) {
    std::vector<unsigned char> pixels(static_cast<size_t>(side) * side * 4, 0x80);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, side, side, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                 pixels.data());
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-0.5f, -0.5f);
    glTexCoord2f(1, 0);
    glVertex2f(0.5f, -0.5f);
    glTexCoord2f(1, 1);
    glVertex2f(0.5f, 0.5f);
    glTexCoord2f(0, 1);
    glVertex2f(-0.5f, 0.5f);
    glEnd();
}

}  // namespace

int main(int argc, char** argv) {
    bool textured = argc > 1 && std::strcmp(argv[1], "textured") == 0;
    int side = argc > 2 ? std::atoi(argv[2]) : 256;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("BareWindow", 0, 0, 1280, 1024, SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
    if (window == nullptr) {
        return 1;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_MakeCurrent(window, context);
    SDL_ShowCursor(SDL_DISABLE);
    for (bool running = true; running;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            running = running && event.type != SDL_QUIT;
        }
        glClearColor(0.25f, 0.25f, 0.25f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        if (textured) {
            TexturedQuad(side > 0 && side <= 4096 ? side : 256);
            textured = false;  // the upload and the first draw are what is measured
        }
        SDL_Delay(10);
        SDL_GL_SwapWindow(window);
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}

// A recording OpenGL for tests: every GL call the game makes is logged with its arguments,
// and the state a test wants to check (switches, blend function, colour, texture, line width,
// texture objects) is tracked as a real GL would track it.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/GL.h"

namespace recgl {

// A GL call, as the game made it or as a test expects it.
struct Call {
    Call(const char* call, std::initializer_list<double> arguments, const void* data = nullptr);

    const char* name;
    int argCount = 0;
    double args[9] = {};
    const void* pointer;  // the pixels of glTexImage2D, the vector of glColor4fv

    double operator[](int i) const { return args[i]; }
    bool Is(const char* other) const;
};

struct Texture {
    GLint internalFormat = 0;
    GLsizei width = 0;
    GLsizei height = 0;
    GLenum format = 0;
    bool hasData = false;
    GLint magFilter = GL_LINEAR;
    GLint minFilter = GL_NEAREST_MIPMAP_LINEAR;
    GLint generateMipmap = 0;
};

struct State {
    GLenum blendSrc = GL_ONE;
    GLenum blendDst = GL_ZERO;
    float colour[4] = {1, 1, 1, 1};
    float clearColour[4] = {0, 0, 0, 0};
    float lineWidth = 1;
    GLuint boundTexture = 0;
    GLenum mipmapHint = GL_DONT_CARE;
    bool insideBegin = false;
    int clears = 0;
    int quads = 0;  // GL_QUADS primitives completed, four vertices each
    std::vector<Texture> textures = std::vector<Texture>(1);  // index = name; 0 is never given
    std::vector<std::string> misuse;  // calls a real GL would refuse or that read out of bounds

    bool IsEnabled(GLenum cap) const;
    const Texture* Find(GLuint name) const;
};

// Forget every call and go back to a fresh context.
void Reset();
// Logging can be switched off (state is still tracked) for tests that count allocations.
void SetLogging(bool on);

const std::vector<Call>& Calls();
// The calls of that name among `among`, all calls by default.
std::vector<Call> CallsNamed(const char* name, const std::vector<Call>& among = Calls());
const State& Current();

// Bytes glTexImage2D reads for a GL_UNSIGNED_BYTE image with rows padded to four bytes.
size_t UploadBytes(GLenum format, GLsizei width, GLsizei height);

// One call per line, for failure messages.
std::string Describe(const std::vector<Call>& calls);

}  // namespace recgl

#include "platform/web/GlOnWebGl.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstring>
#include <vector>

// WebGL 2 itself, under the names Emscripten gives it beside the plain ones, so that the plain
// names below can be the game's OpenGL 1.x.
extern "C" {
void emscripten_glEnable(GLenum capability);
void emscripten_glDisable(GLenum capability);
void emscripten_glBindTexture(GLenum target, GLuint texture);
void emscripten_glTexParameteri(GLenum target, GLenum name, GLint value);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                             GLsizei height, GLint border, GLenum format, GLenum type,
                             const void* pixels);
void emscripten_glGenerateMipmap(GLenum target);
void emscripten_glHint(GLenum target, GLenum mode);
GLuint emscripten_glCreateShader(GLenum type);
void emscripten_glShaderSource(GLuint shader, GLsizei count, const char* const* text,
                               const GLint* lengths);
void emscripten_glCompileShader(GLuint shader);
void emscripten_glGetShaderiv(GLuint shader, GLenum name, GLint* value);
GLuint emscripten_glCreateProgram();
void emscripten_glAttachShader(GLuint program, GLuint shader);
void emscripten_glBindAttribLocation(GLuint program, GLuint index, const char* name);
void emscripten_glLinkProgram(GLuint program);
void emscripten_glGetProgramiv(GLuint program, GLenum name, GLint* value);
void emscripten_glUseProgram(GLuint program);
GLint emscripten_glGetUniformLocation(GLuint program, const char* name);
void emscripten_glUniform1i(GLint location, GLint value);
void emscripten_glGenBuffers(GLsizei count, GLuint* buffers);
void emscripten_glBindBuffer(GLenum target, GLuint buffer);
void emscripten_glBufferData(GLenum target, intptr_t size, const void* data, GLenum usage);
void emscripten_glEnableVertexAttribArray(GLuint index);
void emscripten_glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized,
                                      GLsizei stride, const void* offset);
void emscripten_glDrawArrays(GLenum mode, GLint first, GLsizei count);
}

namespace {

const GLenum ArrayBuffer = 0x8892;
const GLenum StreamDraw = 0x88E0;
const GLenum VertexShader = 0x8B31;
const GLenum FragmentShader = 0x8B30;
const GLenum CompileStatus = 0x8B81;
const GLenum LinkStatus = 0x8B82;
const GLenum GenerateMipmap = 0x8191;  // the texture parameter of OpenGL 1.4
const GLenum BgrPixels = 0x80E0;
const GLenum BgraPixels = 0x80E1;

// Texturing under GL_MODULATE: the colour times the texel; without texturing, the colour.
const char* const VertexSource = R"(#version 300 es
in vec2 position;
in vec2 texCoord;
in vec4 colour;
out vec2 fragTexCoord;
out vec4 fragColour;
void main() {
    fragTexCoord = texCoord;
    fragColour = colour;
    gl_Position = vec4(position, 0.0, 1.0);
})";
const char* const FragmentSource = R"(#version 300 es
precision highp float;
uniform sampler2D picture;
uniform bool textured;
in vec2 fragTexCoord;
in vec4 fragColour;
out vec4 pixel;
void main() {
    pixel = textured ? fragColour * texture(picture, fragTexCoord) : fragColour;
})";

struct Vertex {
    float x, y;
    float s, t;
    float colour[4];
};

struct Gl {
    GLint texturedLocation = -1;
    float pixelWidth = 2.0f / 1280;  // one pixel in GL coordinates
    float pixelHeight = 2.0f / 1024;
    // What glBegin gathers: the current texture coordinate and colour go with each vertex.
    GLenum primitive = 0;
    std::vector<Vertex> begun;
    std::vector<Vertex> triangles;
    float colour[4] = {1, 1, 1, 1};
    float s = 0, t = 0;
    float lineWidth = 1;
    bool texturing = false;
    bool texturingSent = false;
    // Textures that make their mipmaps whenever level 0 is given, by name.
    GLuint boundTexture = 0;
    std::vector<bool> generatesMipmaps;
};

Gl gl;

GLuint CompileShader(GLenum type, const char* source) {
    GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = 0;
    emscripten_glGetShaderiv(shader, CompileStatus, &compiled);
    return compiled ? shader : 0;
}

void Triangle(const Vertex& a, const Vertex& b, const Vertex& c) {
    gl.triangles.push_back(a);
    gl.triangles.push_back(b);
    gl.triangles.push_back(c);
}

// A line as OpenGL rasterizes one `lineWidth` pixels wide without antialiasing: a
// parallelogram that runs along the line and is as wide as asked across its minor axis.
void WideLine(const Vertex& from, const Vertex& to) {
    float dx = (to.x - from.x) / gl.pixelWidth;
    float dy = (to.y - from.y) / gl.pixelHeight;
    bool xMajor = dx * dx >= dy * dy;
    float offsetX = xMajor ? 0 : gl.lineWidth * 0.5f * gl.pixelWidth;
    float offsetY = xMajor ? gl.lineWidth * 0.5f * gl.pixelHeight : 0;
    Vertex a = from, b = from, c = to, d = to;
    a.x -= offsetX, a.y -= offsetY;
    b.x += offsetX, b.y += offsetY;
    c.x += offsetX, c.y += offsetY;
    d.x -= offsetX, d.y -= offsetY;
    Triangle(a, b, c);
    Triangle(a, c, d);
}

void BuildTriangles() {
    const std::vector<Vertex>& v = gl.begun;
    size_t n = v.size();
    gl.triangles.clear();
    switch (gl.primitive) {
        case GL_QUADS:
            for (size_t i = 0; i + 3 < n; i += 4) {
                Triangle(v[i], v[i + 1], v[i + 2]);
                Triangle(v[i], v[i + 2], v[i + 3]);
            }
            break;
        case GL_TRIANGLES:
            for (size_t i = 0; i + 2 < n; i += 3) {
                Triangle(v[i], v[i + 1], v[i + 2]);
            }
            break;
        case GL_LINES:
            for (size_t i = 0; i + 1 < n; i += 2) {
                WideLine(v[i], v[i + 1]);
            }
            break;
        case GL_LINE_LOOP:
        case GL_LINE_STRIP:
            for (size_t i = 0; i + 1 < n; ++i) {
                WideLine(v[i], v[i + 1]);
            }
            if (gl.primitive == GL_LINE_LOOP && n > 1) {
                WideLine(v[n - 1], v[0]);
            }
            break;
        default:
            break;  // a primitive the game never draws: nothing
    }
}

void SetGeneratesMipmaps(GLuint texture, bool generates) {
    if (texture == 0) {
        return;
    }
    if (gl.generatesMipmaps.size() <= texture) {
        gl.generatesMipmaps.resize(texture + 1, false);
    }
    gl.generatesMipmaps[texture] = generates;
}

}  // namespace

bool StartGlOnWebGl(int width, int height) {
    gl.pixelWidth = 2.0f / static_cast<float>(width);
    gl.pixelHeight = 2.0f / static_cast<float>(height);
    GLuint vertexShader = CompileShader(VertexShader, VertexSource);
    GLuint fragmentShader = CompileShader(FragmentShader, FragmentSource);
    if (vertexShader == 0 || fragmentShader == 0) {
        return false;
    }
    GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertexShader);
    emscripten_glAttachShader(program, fragmentShader);
    emscripten_glBindAttribLocation(program, 0, "position");
    emscripten_glBindAttribLocation(program, 1, "texCoord");
    emscripten_glBindAttribLocation(program, 2, "colour");
    emscripten_glLinkProgram(program);
    GLint linked = 0;
    emscripten_glGetProgramiv(program, LinkStatus, &linked);
    if (!linked) {
        return false;
    }
    emscripten_glUseProgram(program);
    emscripten_glUniform1i(emscripten_glGetUniformLocation(program, "picture"), 0);
    gl.texturedLocation = emscripten_glGetUniformLocation(program, "textured");
    emscripten_glUniform1i(gl.texturedLocation, 0);

    GLuint buffer = 0;
    emscripten_glGenBuffers(1, &buffer);
    emscripten_glBindBuffer(ArrayBuffer, buffer);
    const GLsizei stride = sizeof(Vertex);
    emscripten_glEnableVertexAttribArray(0);
    emscripten_glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Vertex, x)));
    emscripten_glEnableVertexAttribArray(1);
    emscripten_glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Vertex, s)));
    emscripten_glEnableVertexAttribArray(2);
    emscripten_glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    gl.begun.reserve(1024);
    gl.triangles.reserve(1536);
    return true;
}

extern "C" {

void glBegin(GLenum mode) {
    gl.primitive = mode;
    gl.begun.clear();
}

void glEnd() {
    BuildTriangles();
    gl.begun.clear();
    if (gl.triangles.empty()) {
        return;
    }
    if (gl.texturing != gl.texturingSent) {
        emscripten_glUniform1i(gl.texturedLocation, gl.texturing ? 1 : 0);
        gl.texturingSent = gl.texturing;
    }
    emscripten_glBufferData(ArrayBuffer,
                            static_cast<intptr_t>(gl.triangles.size() * sizeof(Vertex)),
                            gl.triangles.data(), StreamDraw);
    emscripten_glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(gl.triangles.size()));
}

void glVertex2f(GLfloat x, GLfloat y) {
    Vertex vertex = {x, y, gl.s, gl.t, {gl.colour[0], gl.colour[1], gl.colour[2], gl.colour[3]}};
    gl.begun.push_back(vertex);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    gl.s = s;
    gl.t = t;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    gl.colour[0] = red;
    gl.colour[1] = green;
    gl.colour[2] = blue;
    gl.colour[3] = alpha;
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    glColor4f(red, green, blue, 1);
}

void glColor4fv(const GLfloat* rgba) {
    glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void glLineWidth(GLfloat width) {
    if (width > 0) {
        gl.lineWidth = width;
    }
}

// 2D texturing is a switch of the shader; everything else is WebGL's own.
void glEnable(GLenum capability) {
    if (capability == GL_TEXTURE_2D) {
        gl.texturing = true;
    } else {
        emscripten_glEnable(capability);
    }
}

void glDisable(GLenum capability) {
    if (capability == GL_TEXTURE_2D) {
        gl.texturing = false;
    } else {
        emscripten_glDisable(capability);
    }
}

void glBindTexture(GLenum target, GLuint texture) {
    gl.boundTexture = texture;
    emscripten_glBindTexture(target, texture);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (name == GenerateMipmap) {
        SetGeneratesMipmaps(gl.boundTexture, value != 0);
        return;
    }
    emscripten_glTexParameteri(target, name, value);
}

// WebGL takes RGB(A) only: BGR(A) rows are turned round into a copy, padding kept, so the
// default unpack alignment of 4 reads them as OpenGL would have read the original.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    int bytesPerPixel = format == BgrPixels ? 3 : format == BgraPixels ? 4 : 0;
    if (bytesPerPixel == 0) {
        emscripten_glTexImage2D(target, level, internalFormat, width, height, border, format, type,
                                pixels);
    } else {
        GLenum rgbFormat = bytesPerPixel == 3 ? GL_RGB : GL_RGBA;
        std::vector<unsigned char> turned;
        if (pixels != nullptr && width > 0 && height > 0) {
            size_t row = (static_cast<size_t>(width) * bytesPerPixel + 3) / 4 * 4;
            const unsigned char* from = static_cast<const unsigned char*>(pixels);
            turned.assign(from, from + row * static_cast<size_t>(height));
            for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
                unsigned char* pixel = &turned[y * row];
                for (GLsizei x = 0; x < width; ++x, pixel += bytesPerPixel) {
                    unsigned char blue = pixel[0];
                    pixel[0] = pixel[2];
                    pixel[2] = blue;
                }
            }
        }
        emscripten_glTexImage2D(target, level, internalFormat, width, height, border, rgbFormat,
                                type, turned.empty() ? nullptr : turned.data());
    }
    if (level == 0 && gl.boundTexture < gl.generatesMipmaps.size() &&
        gl.generatesMipmaps[gl.boundTexture] && width > 0 && height > 0) {
        emscripten_glGenerateMipmap(target);
    }
}

}  // extern "C"

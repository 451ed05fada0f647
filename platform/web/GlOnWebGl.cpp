#include "platform/web/GlOnWebGl.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

// WebGL 2 itself, under the names Emscripten gives it beside the plain ones, so that the plain
// names below can be the game's OpenGL 1.x.
extern "C" {
void emscripten_glEnable(GLenum capability);
void emscripten_glDisable(GLenum capability);
void emscripten_glBlendFunc(GLenum source, GLenum destination);
void emscripten_glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void emscripten_glGenTextures(GLsizei count, GLuint* textures);
void emscripten_glDeleteTextures(GLsizei count, const GLuint* textures);
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
void emscripten_glDeleteShader(GLuint shader);
void emscripten_glDeleteProgram(GLuint program);
void emscripten_glGenBuffers(GLsizei count, GLuint* buffers);
void emscripten_glDeleteBuffers(GLsizei count, const GLuint* buffers);
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

// One level of a texture as it was last given, in the order WebGL takes (RGB, not BGR), so a
// lost context can be given it again.
struct TextureLevel {
    GLint level;
    GLint internalFormat;
    GLsizei width, height;
    GLenum format, type;
    std::vector<unsigned char> pixels;  // empty: uploaded without pixels
};

// A texture under the name the game knows, and the WebGL texture that stands for it now.
struct Texture {
    GLuint webgl = 0;  // 0: a deleted name
    bool generatesMipmaps = false;
    std::vector<std::pair<GLenum, GLint>> parameters;  // as last set, one entry a parameter
    std::vector<TextureLevel> levels;
};

struct Gl {
    GLuint program = 0, vertexShader = 0, fragmentShader = 0, buffer = 0;
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
    // The game's textures by name (name n at n - 1), and its state that lives in WebGL: what a
    // lost context forgets and a restored one is given again.
    std::vector<Texture> textures;
    GLuint boundTexture = 0;
    std::vector<GLenum> enabled;
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    float clearColour[4] = {0, 0, 0, 0};
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

Texture* Named(GLuint name) {
    return name != 0 && name <= gl.textures.size() && gl.textures[name - 1].webgl != 0
               ? &gl.textures[name - 1]
               : nullptr;
}

// Bytes a pixel takes in a GL_UNSIGNED_BYTE upload; 0 for uploads kept without their pixels.
size_t PixelBytes(GLenum format, GLenum type) {
    if (type != GL_UNSIGNED_BYTE) {
        return 0;
    }
    switch (format) {
        case GL_RGBA:
        case BgraPixels:
            return 4;
        case GL_RGB:
        case BgrPixels:
            return 3;
        case GL_LUMINANCE_ALPHA:
            return 2;
        case GL_LUMINANCE:
        case GL_ALPHA:
            return 1;
        default:
            return 0;
    }
}

void Upload(const TextureLevel& level, bool generatesMipmaps) {
    emscripten_glTexImage2D(GL_TEXTURE_2D, level.level, level.internalFormat, level.width,
                            level.height, 0, level.format, level.type,
                            level.pixels.empty() ? nullptr : level.pixels.data());
    if (level.level == 0 && generatesMipmaps && level.width > 0 && level.height > 0) {
        emscripten_glGenerateMipmap(GL_TEXTURE_2D);
    }
}

void Remember(Texture& texture, TextureLevel level) {
    for (TextureLevel& known : texture.levels) {
        if (known.level == level.level) {
            known = std::move(level);
            return;
        }
    }
    texture.levels.push_back(std::move(level));
}

// The shader, its attributes and uniforms, and the vertex buffer, on the current context.
bool MakeShaderAndBuffer() {
    gl.vertexShader = CompileShader(VertexShader, VertexSource);
    gl.fragmentShader = CompileShader(FragmentShader, FragmentSource);
    if (gl.vertexShader == 0 || gl.fragmentShader == 0) {
        return false;
    }
    GLuint program = gl.program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, gl.vertexShader);
    emscripten_glAttachShader(program, gl.fragmentShader);
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
    gl.texturingSent = false;

    emscripten_glGenBuffers(1, &gl.buffer);
    emscripten_glBindBuffer(ArrayBuffer, gl.buffer);
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
    return true;
}

}  // namespace

bool StartGlOnWebGl(int width, int height) {
    gl.pixelWidth = 2.0f / static_cast<float>(width);
    gl.pixelHeight = 2.0f / static_cast<float>(height);
    gl.begun.reserve(1024);
    gl.triangles.reserve(1536);
    return MakeShaderAndBuffer();
}

bool RestoreGlOnWebGl() {
    // The old objects belong to the lost context: deleting them only frees their names.
    emscripten_glDeleteProgram(gl.program);
    emscripten_glDeleteShader(gl.vertexShader);
    emscripten_glDeleteShader(gl.fragmentShader);
    emscripten_glDeleteBuffers(1, &gl.buffer);
    if (!MakeShaderAndBuffer()) {
        return false;
    }
    for (Texture& texture : gl.textures) {
        if (texture.webgl == 0) {
            continue;
        }
        emscripten_glDeleteTextures(1, &texture.webgl);
        emscripten_glGenTextures(1, &texture.webgl);
        emscripten_glBindTexture(GL_TEXTURE_2D, texture.webgl);
        for (const auto& parameter : texture.parameters) {
            emscripten_glTexParameteri(GL_TEXTURE_2D, parameter.first, parameter.second);
        }
        for (const TextureLevel& level : texture.levels) {
            Upload(level, texture.generatesMipmaps);
        }
    }
    Texture* bound = Named(gl.boundTexture);
    emscripten_glBindTexture(GL_TEXTURE_2D, bound != nullptr ? bound->webgl : 0);
    for (GLenum capability : gl.enabled) {
        emscripten_glEnable(capability);
    }
    emscripten_glBlendFunc(gl.blendSource, gl.blendDestination);
    const float* c = gl.clearColour;
    emscripten_glClearColor(c[0], c[1], c[2], c[3]);
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

// 2D texturing is a switch of the shader; everything else is WebGL's own, and remembered.
void glEnable(GLenum capability) {
    if (capability == GL_TEXTURE_2D) {
        gl.texturing = true;
        return;
    }
    if (std::find(gl.enabled.begin(), gl.enabled.end(), capability) == gl.enabled.end()) {
        gl.enabled.push_back(capability);
    }
    emscripten_glEnable(capability);
}

void glDisable(GLenum capability) {
    if (capability == GL_TEXTURE_2D) {
        gl.texturing = false;
        return;
    }
    gl.enabled.erase(std::remove(gl.enabled.begin(), gl.enabled.end(), capability),
                     gl.enabled.end());
    emscripten_glDisable(capability);
}

void glBlendFunc(GLenum source, GLenum destination) {
    gl.blendSource = source;
    gl.blendDestination = destination;
    emscripten_glBlendFunc(source, destination);
}

void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    gl.clearColour[0] = red;
    gl.clearColour[1] = green;
    gl.clearColour[2] = blue;
    gl.clearColour[3] = alpha;
    emscripten_glClearColor(red, green, blue, alpha);
}

// The game's texture names are the layer's own, so that a restored context can stand new WebGL
// textures behind the same names.
void glGenTextures(GLsizei count, GLuint* names) {
    for (GLsizei i = 0; i < count; ++i) {
        Texture texture;
        emscripten_glGenTextures(1, &texture.webgl);
        gl.textures.push_back(texture);
        names[i] = texture.webgl != 0 ? static_cast<GLuint>(gl.textures.size()) : 0;
    }
}

void glDeleteTextures(GLsizei count, const GLuint* names) {
    for (GLsizei i = 0; i < count; ++i) {
        if (Texture* texture = Named(names[i])) {
            emscripten_glDeleteTextures(1, &texture->webgl);
            *texture = Texture();
            if (gl.boundTexture == names[i]) {
                gl.boundTexture = 0;
            }
        }
    }
}

void glBindTexture(GLenum target, GLuint name) {
    Texture* texture = Named(name);
    gl.boundTexture = texture != nullptr ? name : 0;
    emscripten_glBindTexture(target, texture != nullptr ? texture->webgl : 0);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    Texture* texture = Named(gl.boundTexture);
    if (name == GenerateMipmap) {
        if (texture != nullptr) {
            texture->generatesMipmaps = value != 0;
        }
        return;
    }
    if (texture != nullptr) {
        auto& parameters = texture->parameters;
        auto same = std::find_if(parameters.begin(), parameters.end(),
                                 [name](const auto& known) { return known.first == name; });
        if (same != parameters.end()) {
            same->second = value;
        } else {
            parameters.emplace_back(name, value);
        }
    }
    emscripten_glTexParameteri(target, name, value);
}

// WebGL takes RGB(A) only: BGR(A) rows are turned round into a copy, padding kept, so the
// default unpack alignment of 4 reads them as OpenGL would have read the original. The copy is
// kept for a lost context; so are other pixels of a size known here.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint, GLenum format, GLenum type, const GLvoid* pixels) {
    Texture* texture = Named(gl.boundTexture);
    size_t bytesPerPixel = PixelBytes(format, type);
    if (target != GL_TEXTURE_2D || texture == nullptr || width < 0 || height < 0 ||
        (pixels != nullptr && bytesPerPixel == 0)) {
        emscripten_glTexImage2D(target, level, internalFormat, width, height, 0, format, type,
                                pixels);
        return;
    }
    bool turn = format == BgrPixels || format == BgraPixels;
    GLenum sent = turn ? (bytesPerPixel == 3 ? GL_RGB : GL_RGBA) : format;
    TextureLevel upload = {level, internalFormat, width, height, sent, type, {}};
    if (pixels != nullptr && width > 0 && height > 0) {
        size_t row = (static_cast<size_t>(width) * bytesPerPixel + 3) / 4 * 4;
        const unsigned char* from = static_cast<const unsigned char*>(pixels);
        upload.pixels.assign(from, from + row * static_cast<size_t>(height));
        for (size_t y = 0; turn && y < static_cast<size_t>(height); ++y) {
            unsigned char* pixel = &upload.pixels[y * row];
            for (GLsizei x = 0; x < width; ++x, pixel += bytesPerPixel) {
                std::swap(pixel[0], pixel[2]);
            }
        }
    }
    Upload(upload, texture->generatesMipmaps);
    Remember(*texture, std::move(upload));
}

}  // extern "C"

#include "tests/support/RecordingGL.h"

#include <cstring>
#include <initializer_list>
#include <sstream>
#include <utility>

namespace recgl {
namespace {

struct Capability {
    GLenum cap;
    bool on;
};

struct Context {
    State state;
    std::vector<Call> calls;
    Capability caps[16] = {};
    int capCount = 0;
    int verticesInPrimitive = 0;
    GLenum primitive = 0;
    bool logging = true;
};

Context& Gl() {
    static Context context;
    return context;
}

void Log(const char* name, std::initializer_list<double> args, const void* pointer = nullptr) {
    if (Gl().logging) {
        Gl().calls.emplace_back(name, args, pointer);
    }
}

void Misuse(const std::string& what) {
    Gl().state.misuse.push_back(what);
}

// Logs a call that a real GL refuses between glBegin and glEnd.
void LogOutsideBegin(const char* name, std::initializer_list<double> args,
                     const void* pointer = nullptr) {
    if (Gl().state.insideBegin) {
        Misuse(std::string(name) + " between glBegin and glEnd");
    }
    Log(name, args, pointer);
}

void SetCapability(GLenum cap, bool on) {
    Context& gl = Gl();
    for (int i = 0; i < gl.capCount; ++i) {
        if (gl.caps[i].cap == cap) {
            gl.caps[i].on = on;
            return;
        }
    }
    if (gl.capCount < 16) {
        gl.caps[gl.capCount++] = {cap, on};
    }
}

Texture* Bound() {
    State& state = Gl().state;
    if (state.boundTexture == 0 || state.boundTexture >= state.textures.size()) {
        return nullptr;
    }
    return &state.textures[state.boundTexture];
}

}  // namespace

Call::Call(const char* call, std::initializer_list<double> arguments, const void* data)
    : name(call), pointer(data) {
    for (double argument : arguments) {
        args[argCount++] = argument;
    }
}

bool Call::Is(const char* other) const {
    return std::strcmp(name, other) == 0;
}

bool State::IsEnabled(GLenum cap) const {
    const Context& gl = Gl();
    for (int i = 0; i < gl.capCount; ++i) {
        if (gl.caps[i].cap == cap) {
            return gl.caps[i].on;
        }
    }
    return cap == GL_DITHER || cap == GL_MULTISAMPLE;
}

const Texture* State::Find(GLuint name) const {
    return name != 0 && name < textures.size() ? &textures[name] : nullptr;
}

void Reset() {
    Context& gl = Gl();
    bool logging = gl.logging;
    gl = Context();
    gl.logging = logging;
}

void SetLogging(bool on) {
    Gl().logging = on;
}

const std::vector<Call>& Calls() {
    return Gl().calls;
}

std::vector<Call> CallsNamed(const char* name, const std::vector<Call>& among) {
    std::vector<Call> found;
    for (const Call& call : among) {
        if (call.Is(name)) {
            found.push_back(call);
        }
    }
    return found;
}

const State& Current() {
    return Gl().state;
}

size_t UploadBytes(GLenum format, GLsizei width, GLsizei height) {
    const std::pair<GLenum, size_t> bytesPerPixel[] = {{GL_RGB, 3},       {GL_BGR_EXT, 3},
                                                       {GL_RGBA, 4},      {GL_BGRA_EXT, 4},
                                                       {GL_LUMINANCE, 1}, {GL_ALPHA, 1}};
    for (const auto& [known, bytes] : bytesPerPixel) {
        if (known == format && width > 0 && height > 0) {
            size_t row = (static_cast<size_t>(width) * bytes + 3) / 4 * 4;
            return row * static_cast<size_t>(height);
        }
    }
    return 0;  // an empty image, or a format the recording does not know
}

std::string Describe(const std::vector<Call>& calls) {
    std::ostringstream out;
    for (const Call& call : calls) {
        out << call.name << '(';
        for (int i = 0; i < call.argCount; ++i) {
            out << (i ? ", " : "") << call.args[i];
        }
        out << ")\n";
    }
    return out.str();
}

}  // namespace recgl

using recgl::Gl;
using recgl::Log;

extern "C" {

void GLAPIENTRY glClear(GLbitfield mask) {
    recgl::LogOutsideBegin("glClear", {double(mask)});
    Gl().state.clears++;
}

void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    recgl::LogOutsideBegin("glViewport", {double(x), double(y), double(width), double(height)});
}

void GLAPIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    Log("glClearColor", {r, g, b, a});
    float* c = Gl().state.clearColour;
    c[0] = r, c[1] = g, c[2] = b, c[3] = a;
}

void GLAPIENTRY glEnable(GLenum cap) {
    recgl::LogOutsideBegin("glEnable", {double(cap)});
    recgl::SetCapability(cap, true);
}

void GLAPIENTRY glDisable(GLenum cap) {
    recgl::LogOutsideBegin("glDisable", {double(cap)});
    recgl::SetCapability(cap, false);
}

void GLAPIENTRY glBlendFunc(GLenum src, GLenum dst) {
    recgl::LogOutsideBegin("glBlendFunc", {double(src), double(dst)});
    Gl().state.blendSrc = src;
    Gl().state.blendDst = dst;
}

void GLAPIENTRY glBindTexture(GLenum target, GLuint texture) {
    recgl::LogOutsideBegin("glBindTexture", {double(target), double(texture)});
    recgl::State& state = Gl().state;
    if (target == GL_TEXTURE_2D) {
        state.boundTexture = texture;
        if (texture >= state.textures.size()) {
            state.textures.resize(texture + 1);
        }
    }
}

void GLAPIENTRY glBegin(GLenum mode) {
    recgl::LogOutsideBegin("glBegin", {double(mode)});
    Gl().state.insideBegin = true;
    Gl().primitive = mode;
    Gl().verticesInPrimitive = 0;
}

void GLAPIENTRY glEnd(void) {
    Log("glEnd", {});
    recgl::Context& gl = Gl();
    if (!gl.state.insideBegin) {
        recgl::Misuse("glEnd without glBegin");
    }
    if (gl.primitive == GL_QUADS) {
        gl.state.quads += gl.verticesInPrimitive / 4;
    }
    gl.state.insideBegin = false;
}

void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    Log("glColor3f", {r, g, b});
    float* c = Gl().state.colour;
    c[0] = r, c[1] = g, c[2] = b, c[3] = 1;
}

void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    Log("glColor4f", {r, g, b, a});
    float* c = Gl().state.colour;
    c[0] = r, c[1] = g, c[2] = b, c[3] = a;
}

void GLAPIENTRY glColor4fv(const GLfloat* v) {
    Log("glColor4fv", {v[0], v[1], v[2], v[3]}, v);
    std::memcpy(Gl().state.colour, v, sizeof(float) * 4);
}

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t) {
    Log("glTexCoord2f", {s, t});
}

void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) {
    Log("glVertex2f", {x, y});
    if (!Gl().state.insideBegin) {
        recgl::Misuse("glVertex2f outside glBegin/glEnd");
    }
    Gl().verticesInPrimitive++;
}

void GLAPIENTRY glLineWidth(GLfloat width) {
    recgl::LogOutsideBegin("glLineWidth", {width});
    Gl().state.lineWidth = width;
}

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures) {
    Log("glGenTextures", {double(n)}, textures);
    recgl::State& state = Gl().state;
    for (GLsizei i = 0; i < n; ++i) {
        textures[i] = static_cast<GLuint>(state.textures.size());
        state.textures.emplace_back();
    }
}

void GLAPIENTRY glHint(GLenum target, GLenum mode) {
    Log("glHint", {double(target), double(mode)});
    if (target == GL_GENERATE_MIPMAP_HINT) {
        Gl().state.mipmapHint = mode;
    }
}

void GLAPIENTRY glTexParameteri(GLenum target, GLenum name, GLint value) {
    Log("glTexParameteri", {double(target), double(name), double(value)});
    recgl::Texture* texture = recgl::Bound();
    if (target != GL_TEXTURE_2D || texture == nullptr) {
        return;
    }
    if (name == GL_TEXTURE_MAG_FILTER) {
        texture->magFilter = value;
    } else if (name == GL_TEXTURE_MIN_FILTER) {
        texture->minFilter = value;
    } else if (name == GL_GENERATE_MIPMAP) {
        texture->generateMipmap = value;
    }
}

void GLAPIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                             GLsizei height, GLint border, GLenum format, GLenum type,
                             const GLvoid* pixels) {
    recgl::LogOutsideBegin("glTexImage2D",
                           {double(target), double(level), double(internalFormat), double(width),
                            double(height), double(border), double(format), double(type)},
                           pixels);
    if (width < 0 || height < 0) {
        return;  // GL_INVALID_VALUE: a real GL reads nothing
    }
    if (pixels != nullptr) {
        // Read every byte GL would read, so the sanitizers see any overrun.
        const unsigned char* bytes = static_cast<const unsigned char*>(pixels);
        size_t count = recgl::UploadBytes(format, width, height);
        volatile unsigned sum = 0;
        for (size_t i = 0; i < count; ++i) {
            sum = sum + bytes[i];
        }
    }
    recgl::Texture* texture = recgl::Bound();
    if (texture != nullptr && level == 0) {
        texture->internalFormat = internalFormat;
        texture->width = width;
        texture->height = height;
        texture->format = format;
        texture->hasData = pixels != nullptr;
    }
}

}  // extern "C"

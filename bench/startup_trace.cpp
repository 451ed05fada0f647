// Where a program's start-up goes, up to its first buffer swap: loaded with LD_PRELOAD into the
// game or the bare window, it times the calls that start video, open X connections, make the
// window and the GL context, read files, upload textures, sleep, and the first swap, and at the
// first swap prints them to stderr as "trace <ms from launch> <call> <ms spent> <resident MB
// after it>". The launch is
// the CLOCK_MONOTONIC time in nanoseconds the launcher puts in LUMENVALE_TRACE_LAUNCH.
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double Now() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double launch = 0;
bool done = false;

struct Entry {
    double at;
    const char* call;
    double spent;
    double resident;
};

// Resident memory now, in MB. Read with plain system calls: fopen is one of the calls timed.
double Resident() {
    char text[128] = {};
    int status = open("/proc/self/statm", O_RDONLY);
    if (status < 0) {
        return 0;
    }
    ssize_t got = read(status, text, sizeof text - 1);
    close(status);
    unsigned long size = 0, pages = 0;
    if (got <= 0 || std::sscanf(text, "%lu %lu", &size, &pages) != 2) {
        return 0;
    }
    return static_cast<double>(pages) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}
Entry entries[256];
int count = 0;

void Note(const char* call, double from) {
    if (!done && count < 256) {
        double spent = Now() - from;
        entries[count++] = {from - launch, call, spent, Resident()};
    }
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void Loaded() {
    const char* at = std::getenv("LUMENVALE_TRACE_LAUNCH");
    launch = at ? std::strtod(at, nullptr) / 1e6 : Now();
    entries[count++] = {Now() - launch, "loaded", 0, Resident()};
}

}  // namespace

extern "C" {

int SDL_Init(unsigned flags) {
    double from = Now();
    int result = Next<int (*)(unsigned)>("SDL_Init")(flags);
    Note("SDL_Init", from);
    return result;
}

void* SDL_CreateWindow(const char* title, int x, int y, int w, int h, unsigned flags) {
    double from = Now();
    void* result = Next<void* (*)(const char*, int, int, int, int, unsigned)>("SDL_CreateWindow")(
        title, x, y, w, h, flags);
    Note("SDL_CreateWindow", from);
    return result;
}

void* SDL_GL_CreateContext(void* window) {
    double from = Now();
    void* result = Next<void* (*)(void*)>("SDL_GL_CreateContext")(window);
    Note("SDL_GL_CreateContext", from);
    return result;
}

void* XOpenDisplay(const char* name) {
    double from = Now();
    void* result = Next<void* (*)(const char*)>("XOpenDisplay")(name);
    Note("XOpenDisplay", from);
    return result;
}

FILE* fopen(const char* path, const char* mode) {
    double from = Now();
    FILE* result = Next<FILE* (*)(const char*, const char*)>("fopen")(path, mode);
    Note("fopen", from);
    return result;
}

size_t fread(void* buffer, size_t size, size_t items, FILE* file) {
    double from = Now();
    size_t result =
        Next<size_t (*)(void*, size_t, size_t, FILE*)>("fread")(buffer, size, items, file);
    Note("fread", from);
    return result;
}

void glTexImage2D(unsigned target, int level, int internal, int w, int h, int border,
                  unsigned format, unsigned type, const void* pixels) {
    double from = Now();
    Next<void (*)(unsigned, int, int, int, int, int, unsigned, unsigned, const void*)>(
        "glTexImage2D")(target, level, internal, w, h, border, format, type, pixels);
    Note("glTexImage2D", from);
}

int nanosleep(const timespec* wanted, timespec* left) {
    double from = Now();
    int result = Next<int (*)(const timespec*, timespec*)>("nanosleep")(wanted, left);
    Note("nanosleep", from);
    return result;
}

void SDL_GL_SwapWindow(void* window) {
    double from = Now();
    Next<void (*)(void*)>("SDL_GL_SwapWindow")(window);
    if (!done) {
        Note("SDL_GL_SwapWindow", from);
        done = true;
        for (int i = 0; i < count; ++i) {
            std::fprintf(stderr, "trace %.2f %s %.2f %.1f\n", entries[i].at, entries[i].call,
                         entries[i].spent, entries[i].resident);
        }
    }
}

}  // extern "C"

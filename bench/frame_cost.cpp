// Runs a number of frames of one kind inside measured_frames, so that callgrind, collecting
// only there, counts the game's own instructions per frame.
//   lumenvale_frame_cost menu|board|startup FRAMES
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/BenchGame.h"

extern "C" __attribute__((noinline)) void measured_frames(int frames) {
    for (int i = 0; i < frames; ++i) {
        bench::RunFrame();
    }
}

extern "C" __attribute__((noinline)) void measured_startup() {
    bench::RunStartup();
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s menu|board|startup FRAMES\n", argv[0]);
        return 2;
    }
    int frames = std::atoi(argv[2]);
    bench::StartGame();
    if (std::strcmp(argv[1], "startup") == 0) {
        measured_startup();
        return 0;
    }
    if (std::strcmp(argv[1], "menu") == 0) {
        bench::ShowMenu();
    } else {
        bench::ShowBoard8x8();
    }
    bench::RunFrame();  // warm: the first frame of a screen may differ from the steady state
    measured_frames(frames);
    return 0;
}

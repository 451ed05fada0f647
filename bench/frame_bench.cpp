// Time per frame and per deal, against an OpenGL that does nothing.
#include <benchmark/benchmark.h>

#include "bench/BenchGame.h"
#include "game/LampBoard.h"

namespace {

void MenuFrame(benchmark::State& state) {
    bench::ShowMenu();
    for (auto _ : state) {
        bench::RunFrame();
    }
}
BENCHMARK(MenuFrame);

void BoardFrame8x8(benchmark::State& state) {
    bench::ShowBoard8x8();
    for (auto _ : state) {
        bench::RunFrame();
    }
}
BENCHMARK(BoardFrame8x8);

// Loads the twelve pictures, uploads them and builds the menu: the first frame.
void StartupFrame(benchmark::State& state) {
    for (auto _ : state) {
        bench::RunStartup();
    }
}
BENCHMARK(StartupFrame)->Unit(benchmark::kMillisecond)->Iterations(20);

void Deal(benchmark::State& state, uint32_t size, const int32_t* pattern, uint32_t scrambles) {
    LampBoard board;
    Random random;
    for (auto _ : state) {
        board.Deal(size, size, size * size, pattern, scrambles, random);
        benchmark::DoNotOptimize(board.lampLit);
    }
}
BENCHMARK_CAPTURE(Deal, 4x4, 4, Pattern4x4, 10);
BENCHMARK_CAPTURE(Deal, 6x6, 6, Pattern6x6, 20);
BENCHMARK_CAPTURE(Deal, 8x8, 8, Pattern8x8, 30);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::StartGame();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

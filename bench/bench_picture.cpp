// One drawing of a random lattice into the 500 x 500 raster of the reference scale.
#include <benchmark/benchmark.h>

#include <random>

#include "picture/lattice_drawing.h"

namespace {

using namespace vellora;

void BM_DrawLattice(benchmark::State& bench) {
  sim::SpinLattice lattice;
  std::mt19937 engine(2006);
  for (auto& spin : lattice.spins) spin = (engine() & 1) != 0 ? 1 : -1;
  picture::RasterSurface surface(500, 500);
  for (auto _ : bench) {
    picture::DrawLattice(surface, lattice, 500);
    benchmark::DoNotOptimize(surface.Bits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawLattice);

}  // namespace

// One whole timer tick through the controller with in-memory seams: the block, the drawing into
// a real 500 x 500 raster, the magnetisation, the chart appends and the read-out texts.
#include <benchmark/benchmark.h>

#include "app/controller.h"
#include "app/fake_seams.h"
#include "picture/lattice_drawing.h"

namespace {

using namespace vellora;

class RasterPicture : public app::PictureSink {
 public:
  void btnDrawClick(const sim::SpinLattice& lattice) override { picture.Draw(lattice, 500, 500); }
  picture::LatticePicture picture;
};

void BM_Tick(benchmark::State& bench) {
  app::testing::FakeWindow window;
  RasterPicture picture;
  const app::ControllerSeams seams{picture,       window.chart1,    window.chart2,
                                   window.labMag, window.labEnergy, window.labTemp,
                                   window.edits,  window.trackBar,  window.timer};
  sim::RandomSource random([]() -> std::uint32_t { return 777; });
  app::SimulationController controller(seams, random);
  controller.FormCreate();
  controller.Button5Click();
  for (auto _ : bench) {
    controller.Timer1Timer();
    // Keep the in-memory charts from growing without bound over millions of iterations.
    if (window.chart1.points.size() > 1000) controller.Button5Click();
  }
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMillisecond);

}  // namespace

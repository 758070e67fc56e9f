// One whole timer tick through the controller with in-memory seams: the block, the drawing into
// a real 500 x 500 raster, the magnetisation, the chart appends and the read-out texts. And the
// tick with everything the window draws itself: the raster and both charts at the pixels of a
// screen with 1, 1.5 or 2 device pixels per logical pixel.
#include <benchmark/benchmark.h>

#include "app/chart_sink.h"
#include "app/controller.h"
#include "app/fake_seams.h"
#include "base/rounding.h"
#include "chart/program_charts.h"
#include "chart/qt/qt_chart_canvas.h"
#include "gui_application.h"
#include "picture/lattice_drawing.h"

namespace {

using namespace vellora;

class RasterPicture : public app::PictureSink {
 public:
  explicit RasterPicture(int size = 500) : size_(size) {}
  void btnDrawClick(const sim::SpinLattice& lattice) override {
    picture.Draw(lattice, size_, size_);
  }
  picture::LatticePicture picture;

 private:
  int size_;
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

// The argument is the device pixel ratio in tenths. Each tick also redraws both charts, as the
// window does when its event loop next runs, after 100 ticks of history.
void BM_DrawnTick(benchmark::State& bench) {
  bench::EnsureGuiApplication();
  const double ratio = static_cast<double>(bench.range(0)) / 10;
  app::testing::FakeWindow window;
  RasterPicture picture(DevicePixels(500, ratio));
  chart::TChart magnetisation;
  chart::TChart energy;
  chart::ConfigureMagnetizationChart(magnetisation);
  chart::ConfigureEnergyChart(energy);
  chart::QtChartCanvas canvas1;
  chart::QtChartCanvas canvas2;
  for (chart::TChart* chart : {&magnetisation, &energy}) {
    chart->SetSize(DevicePixels(chart::kProgramChartWidth, ratio),
                   DevicePixels(chart::kProgramChartHeight, ratio));
  }
  canvas1.SetDeviceRatio(ratio);
  canvas2.SetDeviceRatio(ratio);
  app::TChartSink chart1(magnetisation);
  app::TChartSink chart2(energy);
  const app::ControllerSeams seams{picture,       chart1,           chart2,
                                   window.labMag, window.labEnergy, window.labTemp,
                                   window.edits,  window.trackBar,  window.timer};
  sim::RandomSource random([]() -> std::uint32_t { return 777; });
  app::SimulationController controller(seams, random);
  controller.FormCreate();
  window.edits.texts[0] = "2.27";
  controller.Button5Click();
  for (int tick = 0; tick < 100; ++tick) controller.Timer1Timer();
  for (auto _ : bench) {
    controller.Timer1Timer();
    magnetisation.DrawChart(canvas1);
    energy.DrawChart(canvas2);
    benchmark::DoNotOptimize(canvas2.Image().constBits());
  }
}
BENCHMARK(BM_DrawnTick)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

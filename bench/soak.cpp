// A long run without a window: 100,000 ticks (about five and a half hours of the program's time)
// through the run loop with in-memory read-outs, edits and timer, a real raster, and the real
// charts drawn through the Qt canvas after every tick. Reports the time per tick and the
// resident memory at the start and the end; the memory may only grow by the chart history.
//   vellora_soak [ticks]
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/chart_sink.h"
#include "app/controller.h"
#include "app/fake_seams.h"
#include "chart/program_charts.h"
#include "chart/qt/qt_chart_canvas.h"
#include "picture/lattice_drawing.h"

namespace {

using namespace vellora;

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

class RasterPicture : public app::PictureSink {
 public:
  void btnDrawClick(const sim::SpinLattice& lattice) override { picture.Draw(lattice, 500, 500); }
  picture::LatticePicture picture;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const long ticks = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100'000;

  chart::TChart magnetisation, energy;
  chart::ConfigureMagnetizationChart(magnetisation);
  chart::ConfigureEnergyChart(energy);
  chart::QtChartCanvas canvas1, canvas2;
  app::TChartSink chart1(magnetisation), chart2(energy);
  app::testing::FakeWindow window;
  RasterPicture picture;
  const app::ControllerSeams seams{picture,       chart1,           chart2,
                                   window.labMag, window.labEnergy, window.labTemp,
                                   window.edits,  window.trackBar,  window.timer};
  app::SimulationController controller(seams);
  controller.FormCreate();
  controller.Button5Click();
  magnetisation.DrawChart(canvas1);
  energy.DrawChart(canvas2);

  // The first thousand ticks settle the allocations that do not grow (rasters, fonts, caches).
  const long warmup = std::min(ticks, 1000L);
  for (long tick = 0; tick < warmup; ++tick) {
    controller.Timer1Timer();
    magnetisation.DrawChart(canvas1);
    energy.DrawChart(canvas2);
  }
  const long startKb = ResidentKilobytes();
  const auto start = std::chrono::steady_clock::now();
  for (long tick = warmup; tick < ticks; ++tick) {
    controller.Timer1Timer();
    magnetisation.DrawChart(canvas1);
    energy.DrawChart(canvas2);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long endKb = ResidentKilobytes();
  const long measured = ticks - warmup;

  std::printf("ticks: %ld (%ld measured after %ld to settle)\n", ticks, measured, warmup);
  std::printf("time per tick: %.3f ms (block, picture, both charts appended and drawn)\n",
              measured > 0 ? 1e3 * seconds / static_cast<double>(measured) : 0.0);
  std::printf("resident memory: %ld KiB at the start, %ld KiB at the end\n", startKb, endKb);
  std::printf("growth: %.1f bytes per tick (chart history: %d + %d points)\n",
              measured > 0
                  ? 1024.0 * static_cast<double>(endKb - startKb) / static_cast<double>(measured)
                  : 0.0,
              magnetisation.Series(0).PointCount(), energy.Series(0).PointCount());
  return 0;
}

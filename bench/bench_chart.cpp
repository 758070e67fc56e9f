// Redrawing the energy chart (automatic left axis, the last 25 units visible) through the Qt
// canvas, after a short run and after a very long one: the cost must not grow with the
// number of points stored.
#include <benchmark/benchmark.h>

#include <cmath>

#include "chart/program_charts.h"
#include "chart/qt/qt_chart_canvas.h"
#include "gui_application.h"
#include "numtext/number_format.h"

namespace {

using namespace vellora::chart;
using vellora::bench::EnsureGuiApplication;

void BM_ChartRedraw(benchmark::State& state, int points) {
  EnsureGuiApplication();
  vellora::numtext::ProcessNumberFormat() = vellora::numtext::NumberFormat{'.', ','};
  TChart chart;
  ConfigureEnergyChart(chart);
  TLineSeries& series = chart.Series(0);
  for (int x = 1; x <= points; ++x) series.AddPoint(x, -1.5 - 0.5 * std::sin(x * 0.37));
  chart.BottomAxis().SetMaximum(points);
  chart.BottomAxis().SetMinimum(std::max(points - 25, 0));
  QtChartCanvas canvas;
  chart.DrawChart(canvas);
  for (auto _ : state) {
    chart.RequestRepaint();
    chart.DrawChart(canvas);
    benchmark::DoNotOptimize(canvas.Image().constBits());
  }
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BM_ChartRedraw/points=26", BM_ChartRedraw, 26)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_ChartRedraw/points=1000000", BM_ChartRedraw, 1000000)
      ->Unit(benchmark::kMicrosecond);
  return true;
}();

}  // namespace

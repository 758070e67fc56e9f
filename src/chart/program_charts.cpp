#include "chart/program_charts.h"

namespace vellora::chart {

namespace {

// What both charts share: size, no 3-D, no legend, a bottom axis fixed at 0..25 with labels
// every 5 units, and one line series without point markers.
void ConfigureCommon(TChart& chart, const char* title) {
  chart.SetSize(kProgramChartWidth, kProgramChartHeight);
  TChartTitle chartTitle;
  chartTitle.Text = {title};
  chart.SetTitle(chartTitle);

  TChartAxis& bottom = chart.BottomAxis();
  bottom.SetAutomatic(false);
  bottom.SetAutomaticMaximum(false);
  bottom.SetAutomaticMinimum(false);
  bottom.SetMaximum(25);
  bottom.SetIncrement(5);

  TLineSeries& series = chart.AddSeries();
  series.SetSeriesColor(clRed);
  series.SetPointerVisible(false);
}

}  // namespace

void ConfigureMagnetizationChart(TChart& chart) {
  chart.BeginLoading();
  ConfigureCommon(chart, "Magnetization");
  TChartAxis& left = chart.LeftAxis();
  left.SetAutomatic(false);
  left.SetAutomaticMaximum(false);
  left.SetAutomaticMinimum(false);
  left.SetMaximum(1);
  left.SetMinimum(-1);
  chart.EndLoading();
}

void ConfigureEnergyChart(TChart& chart) {
  chart.BeginLoading();
  ConfigureCommon(chart, "Energy");
  TChartAxis& left = chart.LeftAxis();
  left.SetIncrement(1);
  left.SetAxisValuesFormat("#,##0.0##");
  left.SetLabelStyle(talValue);
  left.SetTickLength(5);
  chart.EndLoading();
}

}  // namespace vellora::chart

// The program's two strip charts as the main window describes them: "Magnetization" and
// "Energy", 305 x 169, each with one red line series over a bottom axis fixed at 0..25.
#pragma once

#include "chart/chart.h"

namespace vellora::chart {

constexpr int kProgramChartWidth = 305;
constexpr int kProgramChartHeight = 169;

// Chart1: left axis fixed at -1..1. Adds the chart's one series (Series1).
void ConfigureMagnetizationChart(TChart& chart);
// Chart2: left axis automatic with increment 1, labels "#,##0.0##", ticks 5 pixels long. Adds
// the chart's one series (LineSeries1).
void ConfigureEnergyChart(TChart& chart);

}  // namespace vellora::chart

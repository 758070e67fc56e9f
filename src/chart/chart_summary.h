// A chart in words for a listener: its title, and what its line shows in the time window on the
// screen, computed from the series and the bottom axis when asked.
#pragma once

#include <string>

#include "chart/chart.h"

namespace vellora::chart {

// The trend is read over this many units of x before the latest point.
constexpr double kTrendSpan = 5.0;

enum class Trend { kUnknown, kSteady, kRising, kFalling };

// How the line moves over the window: it jitters quickly from point to point, or drifts slowly
// (a point lies close to the one before it, compared with the window's spread). Unknown with
// fewer than kMotionPoints points in the window or a spread of y below 0.02.
enum class Motion { kUnknown, kJitters, kDrifts };
constexpr int kMotionPoints = 10;

struct SeriesSummary {
  int points = 0;          // all points of the series
  int pointsInWindow = 0;  // points whose x lies in [windowMinimum, windowMaximum]
  double latestX = 0;
  double latestY = 0;
  double lowest = 0;  // y over the points in the window
  double highest = 0;
  // The least-squares line through the points of the last kTrendSpan units: its rise from the
  // first of them to the latest counts as steady when smaller than 0.02 or a tenth of the
  // window's spread of y, whichever is larger, or (with three points or more) than three
  // standard errors of the rise, so that jitter alone is steady. Unknown with fewer than two
  // such points.
  Trend trend = Trend::kUnknown;
  // From the points in the window, in order: the mean square of the steps from one point to
  // the next over the mean square deviation from their mean. Noise without memory gives about
  // 2; at 1 or more the line jitters, below 1 it drifts.
  Motion motion = Motion::kUnknown;
};

SeriesSummary SummariseSeries(const TLineSeries& series, double windowMinimum,
                              double windowMaximum);

// The title lines joined by blanks.
std::string ChartTitleText(const TChart& chart);

// "Time 0 to 25. Latest value 0.12 at time 25. In this window lowest -0.05, highest 0.30; it
// drifts slowly. Over the last 5 time units: rising." for the chart's first series; "No points
// yet." when it has none. Values with two decimals in the number format of the read-outs.
std::string DescribeChart(const TChart& chart);

}  // namespace vellora::chart

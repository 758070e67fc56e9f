#include "chart/chart_summary.h"

#include <algorithm>
#include <cmath>

#include "numtext/format.h"

namespace vellora::chart {
namespace {

std::string Value(double value) {
  return numtext::FloatToFixed(value, 8, 2);
}

// Times are whole units unless a zoom or pan made them fractional.
std::string Time(double time) {
  return numtext::FloatToFixed(time, 15, std::floor(time) == time ? 0 : 1);
}

}  // namespace

SeriesSummary SummariseSeries(const TLineSeries& series, double windowMinimum,
                              double windowMaximum) {
  SeriesSummary summary;
  summary.points = series.PointCount();
  if (summary.points == 0) return summary;
  const int last = summary.points - 1;
  summary.latestX = series.XValueAt(last);
  summary.latestY = series.YValueAt(last);

  double sum = 0;
  double steps = 0;  // sum of the squared steps between points in the window
  for (int i = 0; i < summary.points; ++i) {
    const double x = series.XValueAt(i);
    if (x < windowMinimum || x > windowMaximum) continue;
    const double y = series.YValueAt(i);
    if (summary.pointsInWindow > 0) {
      const double step = y - series.YValueAt(i - 1);
      steps += step * step;
    }
    summary.lowest = summary.pointsInWindow == 0 ? y : std::min(summary.lowest, y);
    summary.highest = summary.pointsInWindow == 0 ? y : std::max(summary.highest, y);
    sum += y;
    ++summary.pointsInWindow;
  }
  if (summary.pointsInWindow >= kMotionPoints && summary.highest - summary.lowest >= 0.02) {
    const double mean = sum / summary.pointsInWindow;
    double deviations = 0;
    for (int i = 0; i < summary.points; ++i) {
      const double x = series.XValueAt(i);
      if (x < windowMinimum || x > windowMaximum) continue;
      deviations += (series.YValueAt(i) - mean) * (series.YValueAt(i) - mean);
    }
    const double ratio =
        (steps / (summary.pointsInWindow - 1)) / (deviations / summary.pointsInWindow);
    if (std::isfinite(ratio)) summary.motion = ratio >= 1 ? Motion::kJitters : Motion::kDrifts;
  }

  // The x values are ascending, so the trend's points are the last ones.
  int first = last;
  while (first > 0 && series.XValueAt(first - 1) >= summary.latestX - kTrendSpan) --first;
  const int n = last - first + 1;
  if (n < 2) return summary;
  double meanX = 0;
  double meanY = 0;
  for (int i = first; i <= last; ++i) {
    meanX += series.XValueAt(i) / n;
    meanY += series.YValueAt(i) / n;
  }
  double sxy = 0;
  double sxx = 0;
  for (int i = first; i <= last; ++i) {
    const double dx = series.XValueAt(i) - meanX;
    sxy += dx * (series.YValueAt(i) - meanY);
    sxx += dx * dx;
  }
  if (!(sxx > 0)) return summary;
  const double slope = sxy / sxx;
  const double span = summary.latestX - series.XValueAt(first);
  const double rise = slope * span;
  double threshold = std::max(0.02, 0.1 * (summary.highest - summary.lowest));
  if (n >= 3) {
    double residuals = 0;
    for (int i = first; i <= last; ++i) {
      const double r = series.YValueAt(i) - meanY - slope * (series.XValueAt(i) - meanX);
      residuals += r * r;
    }
    threshold = std::max(threshold, 3 * std::sqrt(residuals / (n - 2) / sxx) * span);
  }
  if (std::isnan(rise) || std::isnan(threshold)) return summary;
  summary.trend = rise >= threshold    ? Trend::kRising
                  : rise <= -threshold ? Trend::kFalling
                                       : Trend::kSteady;
  return summary;
}

std::string ChartTitleText(const TChart& chart) {
  std::string text;
  for (const std::string& line : chart.Title().Text) text += (text.empty() ? "" : " ") + line;
  return text;
}

std::string DescribeChart(const TChart& chart) {
  const TChartAxis& bottom = chart.BottomAxis();
  std::string text = "Time " + Time(bottom.Minimum()) + " to " + Time(bottom.Maximum()) + ". ";
  if (chart.SeriesCount() == 0) return text + "No points yet.";
  const SeriesSummary summary =
      SummariseSeries(chart.Series(0), bottom.Minimum(), bottom.Maximum());
  if (summary.points == 0) return text + "No points yet.";
  text += "Latest value " + Value(summary.latestY) + " at time " + Time(summary.latestX) + ". ";
  if (summary.pointsInWindow == 0) {
    text += "No points in this window.";
  } else {
    static const char* const kMotionWords[] = {"", "; it jitters quickly", "; it drifts slowly"};
    text += "In this window lowest " + Value(summary.lowest) + ", highest " +
            Value(summary.highest) + kMotionWords[static_cast<int>(summary.motion)] + ".";
  }
  static const char* const kTrendWords[] = {"", "steady", "rising", "falling"};
  if (summary.trend != Trend::kUnknown) {
    text += " Over the last " + Time(kTrendSpan) +
            " time units: " + kTrendWords[static_cast<int>(summary.trend)] + ".";
  }
  return text;
}

}  // namespace vellora::chart

// A canvas with fixed text metrics (every character 6 pixels wide unless a test sets another
// width, every text 13 pixels high) that records what is drawn, for the layout and drawing
// tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_canvas.h"

namespace vellora::chart::testing {

struct DrawCall {
  enum Kind { Begin, Fill, Frame, Line, Text, Clip, Unclip, Reset, Present, Invert };
  explicit DrawCall(Kind k) : kind(k) {}
  Kind kind;
  TRect rect{};         // Fill, Frame, Clip
  TPoint from{}, to{};  // Line, Invert; Text: from is the position
  TChartPen pen{};
  TColor colour = 0;  // Fill colour, text font colour, Invert pen colour
  std::string text;
  THorizontalAlign horizontal = THorizontalAlign::Left;
  TVerticalAlign vertical = TVerticalAlign::Top;
};

class FakeCanvas : public ChartCanvas {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kTextHeight = 13;

  std::vector<DrawCall> calls;
  TChartFont font;
  int charWidth = kCharWidth;

  void BeginDrawing(int, int) override { calls.push_back(DrawCall(DrawCall::Begin)); }
  void Present() override { calls.push_back(DrawCall(DrawCall::Present)); }
  void FillRect(const TRect& rect, TColor colour) override {
    DrawCall call(DrawCall::Fill);
    call.rect = rect;
    call.colour = colour;
    calls.push_back(call);
  }
  void FrameRect(const TRect& rect, const TChartPen& pen) override {
    DrawCall call(DrawCall::Frame);
    call.rect = rect;
    call.pen = pen;
    calls.push_back(call);
  }
  void Line(TPoint from, TPoint to, const TChartPen& pen) override {
    DrawCall call(DrawCall::Line);
    call.from = from;
    call.to = to;
    call.pen = pen;
    calls.push_back(call);
  }
  void Polyline(const std::vector<TPoint>& points, const TChartPen& pen) override {
    for (std::size_t i = 1; i < points.size(); ++i) Line(points[i - 1], points[i], pen);
  }
  void SetFont(const TChartFont& f) override { font = f; }
  int TextWidth(std::string_view text) override {
    return charWidth * static_cast<int>(text.size());
  }
  int TextHeight(std::string_view) override { return kTextHeight; }
  void TextOut(int x, int y, std::string_view text, THorizontalAlign horizontal,
               TVerticalAlign vertical) override {
    DrawCall call(DrawCall::Text);
    call.from = {x, y};
    call.text = std::string(text);
    call.colour = font.colour;
    call.horizontal = horizontal;
    call.vertical = vertical;
    calls.push_back(call);
  }
  void SetClip(const TRect& rect) override {
    DrawCall call(DrawCall::Clip);
    call.rect = rect;
    calls.push_back(call);
  }
  void ClearClip() override { calls.push_back(DrawCall(DrawCall::Unclip)); }
  void Reset() override { calls.push_back(DrawCall(DrawCall::Reset)); }
  // Named desktop colours: the button face is btnFaceRgb, the others mid gray.
  TColor RgbOf(TColor colour) const override {
    if (colour == clBtnFace) return btnFaceRgb;
    return IsSystemColour(colour) ? clGray : colour;
  }
  void InvertFrame(TPoint corner1, TPoint corner2, TColor colour) override {
    DrawCall call(DrawCall::Invert);
    call.from = corner1;
    call.to = corner2;
    call.colour = colour;
    calls.push_back(call);
  }

  TColor btnFaceRgb = RgbColour(240, 240, 240);

  std::vector<DrawCall> Of(DrawCall::Kind kind) const {
    std::vector<DrawCall> result;
    for (const DrawCall& call : calls)
      if (call.kind == kind) result.push_back(call);
    return result;
  }
};

}  // namespace vellora::chart::testing

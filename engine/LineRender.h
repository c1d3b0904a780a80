// Drawing one equation line or a whole equation list the way the view does,
// for tools and tests: into
// a white memory bitmap at the screen's resolution in MM_HIMETRIC with the
// line's top-left corner at (500, -500), or into an enhanced metafile with
// the screen as reference. Windows only.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/EquationLine.h"
#include "engine/EquationList.h"
#include "framework/Dc.h"

// Where the view puts an equation's top-left corner, in 0.01 mm.
constexpr int32_t kViewMargin = 500;

// A memory DC over a 24-bit white DIB section; logical (0, 0) is the top-left
// pixel and y runs upwards (MM_HIMETRIC).
class LineCanvas {
 public:
  // A canvas of `size` in 0.01 mm.
  explicit LineCanvas(CSize size);
  ~LineCanvas();
  LineCanvas(const LineCanvas&) = delete;
  LineCanvas& operator=(const LineCanvas&) = delete;

  bool IsValid() const { return bits_ != nullptr; }
  CDC& Dc() { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Red, green and blue of a pixel.
  COLORREF Pixel(int x, int y) const;
  // The smallest pixel rectangle holding every pixel that is not white
  // (empty when there is none); right and bottom exclusive.
  CRect InkBounds() const;
  // Writes the picture as a 24-bit BMP file.
  bool Save(const char* path) const;

 private:
  CDC dc_;
  CBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  const uint8_t* bits_ = nullptr;
  int width_ = 0, height_ = 0, stride_ = 0;
};

// The line's box measured on a memory DC of the screen in MM_HIMETRIC.
ExtentRecord MeasureLineOnScreen(EquationLine& line, const QVMOptions& options);
// Pixels of a length in 0.01 mm on a 96-dpi canvas.
int HimetricToPixels(int32_t length, int dpi);
// Draws the line on a canvas sized to its box plus the view's margin on
// every side; null when the canvas could not be made.
std::unique_ptr<LineCanvas> RenderLine(EquationLine& line, QVMOptions& options,
                                       ExtentRecord* extent = nullptr);
// Records the line into an enhanced metafile (a file, or memory for null);
// the caller deletes the handle. `extent` gets the box measured there.
HENHMETAFILE RecordLine(EquationLine& line, QVMOptions& options, const char* path,
                        ExtentRecord* extent = nullptr);

// The same three for an equation list, as the document measures and draws.
ExtentRecord MeasureListOnScreen(QVEquationList& list, QVMOptions& options);
std::unique_ptr<LineCanvas> RenderList(QVEquationList& list, QVMOptions& options,
                                       ExtentRecord* extent = nullptr);
HENHMETAFILE RecordList(QVEquationList& list, QVMOptions& options, const char* path,
                        ExtentRecord* extent = nullptr);

// Repaints what an edit changed, as the view does: the bands ChangedBands
// reports, across the canvas, filled white and the list drawn clipped to
// them with its top-left corner at (x, y).
void RepaintChangedBands(LineCanvas& canvas, QVEquationList& list, QVMOptions& options,
                         int32_t x, int32_t y);

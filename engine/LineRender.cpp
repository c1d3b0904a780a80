// Drawing a line as the view does, into a bitmap or an enhanced metafile.
#include "engine/LineRender.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kHimetricPerInch = 2540;
constexpr int kScreenDpi = 96;

// Starts a DC on the view's terms: 0.01 mm, y upwards, top-left alignment.
void PrepareViewDc(CDC& dc) {
  dc.SetMapMode(MM_HIMETRIC);
  dc.SetTextAlign(TA_TOP | TA_LEFT);
}

}  // namespace

int HimetricToPixels(int32_t length, int dpi) {
  return static_cast<int>((static_cast<int64_t>(length) * dpi + kHimetricPerInch / 2) /
                          kHimetricPerInch);
}

LineCanvas::LineCanvas(CSize size) {
  width_ = std::max(HimetricToPixels(size.cx, kScreenDpi), 1);
  height_ = std::max(HimetricToPixels(size.cy, kScreenDpi), 1);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  CWindowDC screen(nullptr);
  if (!dc_.CreateCompatibleDC(&screen)) return;
  if (!bitmap_.Attach(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0))) return;
  stride_ = (width_ * 3 + 3) & ~3;
  std::memset(bits, 0xFF, static_cast<size_t>(stride_) * height_);
  previous_ = dc_.SelectObject(bitmap_.m_hObject);
  bits_ = static_cast<const uint8_t*>(bits);
  PrepareViewDc(dc_);
}

LineCanvas::~LineCanvas() {
  if (previous_) dc_.SelectObject(previous_);
}

COLORREF LineCanvas::Pixel(int x, int y) const {
  const uint8_t* p = bits_ + static_cast<size_t>(y) * stride_ + static_cast<size_t>(x) * 3;
  return RGB(p[2], p[1], p[0]);
}

CRect LineCanvas::InkBounds() const {
  ::GdiFlush();
  CRect box(width_, height_, 0, 0);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (Pixel(x, y) != RGB(255, 255, 255)) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box.IsRectEmpty() ? CRect() : box;
}

bool LineCanvas::Save(const char* path) const {
  if (!bits_) return false;
  ::GdiFlush();
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width_;
  info.biHeight = height_;  // bottom-up on disk
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD imageSize = static_cast<DWORD>(stride_) * height_;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + imageSize;
  FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1;
  for (int y = height_ - 1; ok && y >= 0; --y)
    ok = std::fwrite(bits_ + static_cast<size_t>(y) * stride_, static_cast<size_t>(stride_), 1, out) == 1;
  return std::fclose(out) == 0 && ok;
}

namespace {

// The line and the list share the view's road: measure on a memory DC of
// the screen, then draw on a canvas or record into a metafile.
template <typename Equation, typename Options>
ExtentRecord MeasureOnScreen(Equation& equation, Options& options) {
  CWindowDC screen(nullptr);
  CDC dc;
  dc.CreateCompatibleDC(&screen);
  PrepareViewDc(dc);
  return equation.Measure(dc, options);
}

template <typename Equation>
std::unique_ptr<LineCanvas> Render(Equation& equation, QVMOptions& options, ExtentRecord* extent) {
  const ExtentRecord box = MeasureOnScreen(equation, options);
  if (extent) *extent = box;
  auto canvas = std::make_unique<LineCanvas>(
      CSize(box.width + 2 * kViewMargin, box.height + 2 * kViewMargin));
  if (!canvas->IsValid()) return nullptr;
  equation.Draw(canvas->Dc(), kViewMargin, -kViewMargin, options);
  return canvas;
}

template <typename Equation>
HENHMETAFILE Record(Equation& equation, QVMOptions& options, const char* path,
                    ExtentRecord* extent) {
  CMetaFileDC dc;
  if (!dc.CreateEnhanced(nullptr, path, nullptr, "Ovelin\0equation\0")) return nullptr;
  PrepareViewDc(dc);
  const ExtentRecord box = equation.Measure(dc, options);
  if (extent) *extent = box;
  equation.Draw(dc, kViewMargin, -kViewMargin, options);
  return dc.CloseEnhanced();
}

}  // namespace

ExtentRecord MeasureLineOnScreen(EquationLine& line, const QVMOptions& options) {
  return MeasureOnScreen(line, options);
}

std::unique_ptr<LineCanvas> RenderLine(EquationLine& line, QVMOptions& options,
                                       ExtentRecord* extent) {
  return Render(line, options, extent);
}

HENHMETAFILE RecordLine(EquationLine& line, QVMOptions& options, const char* path,
                        ExtentRecord* extent) {
  return Record(line, options, path, extent);
}

ExtentRecord MeasureListOnScreen(QVEquationList& list, QVMOptions& options) {
  return MeasureOnScreen(list, options);
}

std::unique_ptr<LineCanvas> RenderList(QVEquationList& list, QVMOptions& options,
                                       ExtentRecord* extent) {
  return Render(list, options, extent);
}

HENHMETAFILE RecordList(QVEquationList& list, QVMOptions& options, const char* path,
                        ExtentRecord* extent) {
  return Record(list, options, path, extent);
}

void RepaintChangedBands(LineCanvas& canvas, QVEquationList& list, QVMOptions& options,
                         int32_t x, int32_t y) {
  CDC& dc = canvas.Dc();
  const int32_t width = kHimetricPerInch * canvas.Width() / kScreenDpi + 1;
  const int32_t height = kHimetricPerInch * canvas.Height() / kScreenDpi + 1;
  HRGN clip = ::CreateRectRgn(0, 0, 0, 0);
  for (const ListBand& band : list.ChangedBands(dc, options)) {
    RECT rect{0, y - band.top, width, y - band.bottom};
    dc.LPtoDP(&rect);
    HRGN part = ::CreateRectRgnIndirect(&rect);
    ::CombineRgn(clip, clip, part, RGN_OR);
    ::DeleteObject(part);
  }
  ::SelectClipRgn(dc.GetSafeHdc(), clip);
  ::DeleteObject(clip);
  // The whole canvas in logical units (y upwards), white where it is clipped to.
  const RECT all{0, -height, width, 0};
  ::FillRect(dc.GetSafeHdc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  dc.SetTextAlign(TA_TOP | TA_LEFT);
  list.Draw(dc, x, y, options);
  ::SelectClipRgn(dc.GetSafeHdc(), nullptr);
}

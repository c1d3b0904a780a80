// RasterImage: the image library's raster image (1, 4, 8 or 24 bits per
// pixel, one block holding a header copy, the palette and bottom-up rows),
// with its alpha and selection planes, format dispatch to the codecs and
// file loading and saving. ImageRowIterator walks its rows.
// Choices of ours: sizes are computed in 64 bits and pixel data above
// kMaxPixelBytes is refused; new images start zero-filled; codecs for
// the metafile reader (format 7) exists in the Windows build only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "framework/Platform.h"

class ImageFile;

// Format numbers kept in the image's info and passed to Encode and Decode.
enum RasterImageType : uint32_t {
  kFormatUnknown = 0,
  kFormatBmp = 1,
  kFormatGif = 2,
  kFormatIco = 3,
  kFormatTga = 4,
  kFormatPcx = 5,
  kFormatWbmp = 6,
  kFormatWmf = 7,
  kFormatCount = 8,
};

// Largest pixel area an image may have (stride x height).
constexpr uint64_t kMaxPixelBytes = 256ull * 1024 * 1024;

struct RasterImageInfo {
  uint32_t stride;          // bytes per row, padded to 4
  BYTE* pixels;             // first pixel row inside the block
  const void* ghost;        // image whose buffers this one borrows
  uint32_t format;          // RasterImageType
  char lastError[256];
  int32_t progress;         // 0-100
  int32_t escape;           // non-zero stops long loops; -1 asks for the size only
  int32_t backgroundIndex;  // -1 = none
  RGBQUAD backgroundColour;
  int32_t quality;
  int32_t wantedFrame;      // frame or icon a decoder reads, 0-based
  int32_t frameCount;       // set by the GIF and ICO decoders
  uint16_t frameDelay;      // hundredths of a second
  int32_t xDpi;
  int32_t yDpi;
  RECT selectionBox;
  BYTE alphaMax;
  BYTE enabled;
  int32_t xOffset;
  int32_t yOffset;
  uint32_t codecOptions[kFormatCount];
  RGBQUAD lastColour;       // nearest-colour cache
  BYTE lastIndex;
  bool lastValid;
  int32_t heldFrames;
};

class RasterImage {
 public:
  explicit RasterImage(uint32_t format = kFormatUnknown);
  RasterImage(int32_t width, int32_t height, int bpp, uint32_t format = kFormatUnknown);
  RasterImage(const RasterImage& source, bool copyPixels = true, bool copySelection = true,
              bool copyAlpha = true);
  RasterImage(const char* path, uint32_t format);
  RasterImage& operator=(const RasterImage&) = delete;
  virtual ~RasterImage();

  BYTE* Create(int32_t width, int32_t height, int bpp, uint32_t format = kFormatUnknown);
  bool Destroy();
  void Copy(const RasterImage& source, bool copyPixels = true, bool copySelection = true,
            bool copyAlpha = true);
  bool Transfer(RasterImage& from);
  void MakeGhost(const RasterImage& source);
  void CopyInfo(const RasterImage& source);

  // Header and info.
  bool IsValid() const { return block_ != nullptr; }
  int32_t GetWidth() const { return head_.biWidth; }
  int32_t GetHeight() const { return head_.biHeight; }
  int GetBpp() const { return head_.biBitCount; }
  uint32_t GetStride() const { return info_.stride; }
  uint32_t GetNumColors() const { return head_.biClrUsed; }
  uint32_t GetType() const { return info_.format; }
  const BITMAPINFOHEADER& GetHeader() const { return head_; }
  const char* GetLastError() const { return info_.lastError; }
  void SetError(const char* text);
  int32_t GetEscape() const { return info_.escape; }
  void SetEscape(int32_t escape) { info_.escape = escape; }
  int32_t GetProgress() const { return info_.progress; }
  int32_t GetFrame() const { return info_.wantedFrame; }
  void SetFrame(int32_t frame) { info_.wantedFrame = frame; }
  int32_t GetNumFrames() const { return info_.frameCount; }
  uint16_t GetFrameDelay() const { return info_.frameDelay; }
  void SetFrameDelay(uint16_t delay) { info_.frameDelay = delay; }
  int32_t GetXDpi() const { return info_.xDpi; }
  int32_t GetYDpi() const { return info_.yDpi; }
  void SetXDpi(int32_t dpi);
  void SetYDpi(int32_t dpi);
  int32_t GetXOffset() const { return info_.xOffset; }
  int32_t GetYOffset() const { return info_.yOffset; }
  void SetOffset(int32_t x, int32_t y) { info_.xOffset = x, info_.yOffset = y; }
  uint32_t GetCodecOption(uint32_t format) const;
  void SetCodecOption(uint32_t option, uint32_t format);

  // Pixels.
  BYTE* GetBits(int32_t row = 0) const;
  uint64_t GetSize() const;
  bool IsInside(int32_t x, int32_t y) const;
  void Clear(BYTE value = 0);
  BYTE GetPixelIndex(int32_t x, int32_t y) const;
  void SetPixelIndex(int32_t x, int32_t y, BYTE index);
  RGBQUAD GetPixelColor(int32_t x, int32_t y, bool withAlpha = true) const;
  void SetPixelColor(int32_t x, int32_t y, RGBQUAD colour, bool setAlpha = false);
  void SetPixelColor(int32_t x, int32_t y, COLORREF colour);
  void ConvertBitfieldsTo24(const BYTE* source, uint32_t redMask, uint32_t greenMask,
                            uint32_t blueMask, int bitCount, int32_t rowCount = -1);
  static int CompareByLuminance(const void* a, const void* b);

  // Palette.
  uint32_t GetPaletteSize() const { return head_.biClrUsed * 4; }
  RGBQUAD* GetPalette() const;
  RGBQUAD GetPaletteColor(uint32_t index) const;
  void SetPaletteColor(uint32_t index, BYTE red, BYTE green, BYTE blue, BYTE alpha = 0);
  void SetPaletteColor(uint32_t index, RGBQUAD colour);
  void SetPalette(const RGBQUAD* entries, uint32_t count);
  void SetPalette(uint32_t count, const BYTE* red, const BYTE* green = nullptr,
                  const BYTE* blue = nullptr);
  void SetGrayPalette();
  bool IsGrayScale() const;
  void SetClrImportant(uint32_t count);
  BYTE GetNearestIndex(RGBQUAD colour);
  bool HasPaletteAlpha() const;
  int32_t GetTransIndex() const { return info_.backgroundIndex; }
  void SetTransIndex(int32_t index) { info_.backgroundIndex = index; }
  bool IsTransparent() const { return info_.backgroundIndex >= 0; }
  void SetTransColor(RGBQUAD colour);
  RGBQUAD GetTransColor() const;
  void SetStdPalette();

  // Alpha and selection planes.
  bool AlphaCreate();
  void AlphaDelete();
  bool AlphaIsValid() const { return alpha_ != nullptr; }
  void AlphaSet(int32_t x, int32_t y, BYTE value);
  BYTE AlphaGet(int32_t x, int32_t y) const;
  bool AlphaCopy(const RasterImage& source);
  bool AlphaFlip();
  bool AlphaMirror();
  BYTE* AlphaGetPointer() const { return alpha_; }
  void SelectionDelete();
  bool SelectionIsInside(int32_t x, int32_t y) const;
  bool SelectionCopy(const RasterImage& source);
  bool SelectionCreate();
  void SelectionSet(int32_t x, int32_t y, BYTE value);

  // Transforms.
  bool Flip();
  bool Mirror();
  bool Negative();
  bool ReduceBitDepth(int bpp, bool errorDiffusion = false, const RGBQUAD* palette = nullptr,
                      uint32_t clrImportant = 0);

  // Files and formats (ImageDispatch.cpp).
  bool CheckEncodeArgs(ImageFile* file);
  bool Encode(ImageFile* file, uint32_t format);
  bool Encode(FILE* stream, uint32_t format);
  bool Decode(ImageFile* file, uint32_t format);
  bool Decode(FILE* stream, uint32_t format);
  bool SaveFile(const char* path, uint32_t format);
  bool LoadFile(const char* path, uint32_t format);

 protected:
  void Startup(uint32_t format);
  // Writes the header into the first 40 bytes of the block.
  void StoreHeaderCopy();
  void ResetNearestCache() { info_.lastValid = false; }
  uint64_t PixelCount() const;
  // Under the size-only escape, records the size a decoder read from its
  // header and returns true: the decoder stops there, having made nothing.
  bool AnswersSizeOnly(int32_t width, int32_t height);
  bool CopyPlaneFrom(BYTE*& plane, const BYTE* sourcePlane, const RasterImage& source);

  BYTE* block_ = nullptr;
  BITMAPINFOHEADER head_{};
  RasterImageInfo info_{};
  BYTE* selection_ = nullptr;
  BYTE* alpha_ = nullptr;
  std::vector<RasterImage*> frames_;

 private:
  bool DecodeDetect(ImageFile* file);
  void ReduceRows(RasterImage& target, bool errorDiffusion);
  void ReduceRowsFast(RasterImage& target);
  void DiffuseError(int32_t x, int32_t y, const int error[3], int weight);
};

// Walks the rows of an image (row 0 is the bottom row).
class ImageRowIterator {
 public:
  explicit ImageRowIterator(RasterImage* image) : image_(image) { Reset(); }
  void Reset() { SetRow(0); }
  void Upset() { SetRow(image_->GetHeight() - 1); }
  // Rows 0 to height; other rows give a null row pointer.
  void SetRow(int32_t y);
  BYTE* GetRow() const { return row_; }
  int32_t GetY() const { return y_; }

 private:
  RasterImage* image_;
  int32_t x_ = 0;
  int32_t y_ = 0;
  BYTE* row_ = nullptr;
};

// Row stride of a width at a depth, in 64 bits.
inline uint64_t ImageStride(uint64_t width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

// Little-endian field helpers shared by the codecs.
inline uint16_t GetLE16(const BYTE* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const BYTE* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLE16(BYTE* p, uint32_t v) { p[0] = BYTE(v), p[1] = BYTE(v >> 8); }
inline void PutLE32(BYTE* p, uint32_t v) {
  p[0] = BYTE(v), p[1] = BYTE(v >> 8), p[2] = BYTE(v >> 16), p[3] = BYTE(v >> 24);
}
// The 40-byte info header, field by field.
void ReadInfoHeaderBytes(const BYTE* p, BITMAPINFOHEADER& head);
void WriteInfoHeaderBytes(BYTE* p, const BITMAPINFOHEADER& head);

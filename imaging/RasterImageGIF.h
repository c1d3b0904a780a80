// RasterImageGIF: GIF87a/89a files. Writes one image (or, above 8 bits
// per pixel, tiles of at most 255 exact colours) with a graphic-control
// extension and an optional comment; reads a chosen frame, composing
// animations onto the logical screen.
#pragma once

#include "imaging/RasterImage.h"

// Compressor choice kept in the codec option of format 2.
enum GifCompression : uint32_t { kGifLzw = 0, kGifUncompressed = 1, kGifRunLength = 2 };

class RasterImageGIF : public RasterImage {
 public:
  RasterImageGIF() : RasterImage(kFormatGif) {}
  bool Encode(ImageFile* file);
  bool Decode(ImageFile* file);

  void SetComment(const char* text);
  const char* GetComment() const { return comment_; }
  int GetLoops() const { return loops_; }
  int GetDisposalMethod() const { return disposal_; }
  void SetDisposalMethod(int method) { disposal_ = method; }

 private:
  struct Screen;
  struct Frame;

  void WriteHeader(ImageFile* file);
  void WriteGraphicControl(ImageFile* file, const RasterImage& image);
  void WriteComment(ImageFile* file);
  bool WriteImage(ImageFile* file, const RasterImage& image, bool localTable);
  bool EncodeTiles(ImageFile* file);
  bool MakeTile(RasterImage& tile, int32_t left, int32_t top, int32_t width, int32_t height);

  bool ReadScreen(ImageFile* file, Screen& screen);
  bool CountFrames(ImageFile* file, Screen& screen, int32_t& count, bool& firstDiffers);
  bool ReadExtension(ImageFile* file);
  bool ReadDescriptor(ImageFile* file, const Screen& screen, Frame& frame);
  bool DecodeFrameData(ImageFile* file, Frame& frame);
  bool WalkFrames(ImageFile* file, const Screen& screen, bool composed);
  bool PrepareCanvas(RasterImage& canvas, const Screen& screen, const Frame& frame);
  void DrawFrame(RasterImage& canvas, const Frame& frame);

  char comment_[256] = {};
  int loops_ = 0;
  int disposal_ = 0;
  int previousDisposal_ = 0;
  int transIndex_ = -1;  // of the graphic-control record before the next image
  uint16_t delay_ = 0;   // likewise
};

// The GIF codec's data streams: the three compressors (LZW, uncompressed
// codes and run-length codes, all readable by any GIF decoder) and the LZW
// decoder. Internal to the image library.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/RasterImage.h"

class ImageFile;

// Packs codes least significant bit first into data sub-blocks.
class GifCodeWriter {
 public:
  GifCodeWriter(ImageFile* file, int blockLimit) : file_(file), limit_(blockLimit) {}
  void Put(uint32_t code, int width);
  // Writes the remaining bits and any partial block; false on a write error.
  bool Finish();

 private:
  void FlushBlock();

  ImageFile* file_;
  int limit_;
  uint64_t accumulator_ = 0;
  int bits_ = 0;
  BYTE block_[256] = {};
  int count_ = 0;
  bool failed_ = false;
};

// Palette indices of an image from its top row down, left to right.
class GifPixelReader {
 public:
  explicit GifPixelReader(const RasterImage& image);
  // Next index, or -1 after the last pixel.
  int Next() {
    if (x_ >= width_ && !NextRow()) return -1;
    return row_[x_++];
  }

 private:
  bool NextRow();

  const RasterImage& image_;
  int32_t width_;
  int32_t y_;
  int32_t x_;
  const BYTE* row_ = nullptr;
  std::vector<BYTE> unpacked_;
};

// Each writes the whole image as codes starting at `initBits` wide and
// answers false when the file reports a write error.
bool GifCompressLzw(ImageFile* file, const RasterImage& image, int initBits);
bool GifCompressRaw(ImageFile* file, const RasterImage& image, int initBits);
bool GifCompressRle(ImageFile* file, const RasterImage& image, int initBits);

// Decodes one frame's LZW data sub-block by sub-block. Stops at the end
// code, at the block terminator, or at the end of the file.
class GifLzwDecoder {
 public:
  GifLzwDecoder(ImageFile* file, int minCodeSize);
  // Next palette index, or -1 when the data has ended.
  int NextPixel() {
    if (stackTop_ > 0) return stack_[--stackTop_];
    return Refill();
  }
  int BadCodes() const { return badCodes_; }
  // Passes over the rest of the frame's sub-blocks, up to the terminator.
  void SkipRest();

 private:
  int Refill();
  int ReadCode();
  void Reset();

  ImageFile* file_;
  int minCodeSize_;
  int clear_;
  int end_;
  int width_ = 0;
  int nextFree_ = 0;
  int previous_ = -1;
  int first_ = 0;
  uint32_t accumulator_ = 0;
  int bits_ = 0;
  BYTE block_[256] = {};
  int blockSize_ = 0;
  int blockPos_ = 0;
  bool ended_ = false;
  bool terminatorSeen_ = false;
  int badCodes_ = 0;
  uint16_t prefix_[4096] = {};
  BYTE suffix_[4096] = {};
  BYTE stack_[4100] = {};
  int stackTop_ = 0;
};

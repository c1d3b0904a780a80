// RasterImageGIF: GIF file structure; the data streams are in GifLzw.cpp.
// Choices of ours: a write error makes Encode answer false; in a 24-bit
// tile, pixels of the transparent colour take index 0; decoding reads
// sub-blocks by their declared sizes and every walk ends at the end of
// the file; positions are checked in int, so 16-bit fields never wrap;
// frames are drawn onto one canvas at the deepest frame's depth, and rows
// that a frame's data never reached leave the canvas as it was.
#include "imaging/RasterImageGIF.h"

#include <cstring>

#include "imaging/GifLzw.h"
#include "imaging/ImageFile.h"

struct RasterImageGIF::Screen {
  int32_t width = 0;
  int32_t height = 0;
  bool hasGlobal = false;
  RGBQUAD global[256] = {};
  int32_t globalCount = 0;
  int depth = 1;  // of the canvas: the deepest frame, 24 for composed files
};

struct RasterImageGIF::Frame {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  bool fits = false;
  RGBQUAD palette[256] = {};
  int32_t paletteCount = 0;
  int depth = 8;
  int32_t transIndex = -1;
  uint16_t delay = 0;
  RasterImage image;
  std::vector<bool> rowDone;  // rows (from the top) that the data reached
};

namespace {

constexpr int kTileWidth = 17;
constexpr int kTileHeight = 15;

bool PutBytes(ImageFile* file, const BYTE* data, size_t size) { return file->Write(data, 1, size) == size; }

// Passes over data sub-blocks up to and including the terminator.
void SkipSubBlocks(ImageFile* file) {
  for (;;) {
    const int size = file->GetC();
    if (size <= 0 || !file->Seek(size, SEEK_CUR)) return;
  }
}

// Reads one sub-block; answers its size, 0 for the terminator, -1 at the end.
int ReadSubBlock(ImageFile* file, BYTE* buffer) {
  const int size = file->GetC();
  if (size <= 0) return size < 0 ? -1 : 0;
  return file->Read(buffer, 1, size) == static_cast<size_t>(size) ? size : -1;
}

bool ReadColourTable(ImageFile* file, int count, RGBQUAD* table) {
  BYTE raw[768];
  if (file->Read(raw, 3, count) != static_cast<size_t>(count)) return false;
  for (int i = 0; i < count; ++i) table[i] = RGBQUAD{raw[i * 3 + 2], raw[i * 3 + 1], raw[i * 3], 0};
  return true;
}

void PutColourTable(std::vector<BYTE>& out, const RasterImage& image) {
  for (uint32_t i = 0; i < image.GetNumColors(); ++i) {
    const RGBQUAD c = image.GetPaletteColor(i);
    out.insert(out.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
  }
}

}  // namespace

void RasterImageGIF::SetComment(const char* text) {
  std::strncpy(comment_, text ? text : "", sizeof(comment_) - 1);
  comment_[sizeof(comment_) - 1] = 0;
}

bool RasterImageGIF::Encode(ImageFile* file) {
  if (CheckEncodeArgs(file)) return false;
  // The screen and image descriptors hold 16-bit sizes, which would wrap.
  if (GetWidth() > 0xFFFF || GetHeight() > 0xFFFF) {
    SetError("Can't save this image as GIF");
    return false;
  }
  bool ok;
  if (GetBpp() > 8) {
    ok = EncodeTiles(file);
  } else {
    WriteHeader(file);
    WriteGraphicControl(file, *this);
    WriteComment(file);
    ok = WriteImage(file, *this, false) && file->PutC(';');
  }
  if (!ok || !file->Flush() || file->Error()) {
    SetError("Write Error in GIF file");
    return false;
  }
  return true;
}

void RasterImageGIF::WriteHeader(ImageFile* file) {
  std::vector<BYTE> out = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0};
  PutLE16(&out[6], static_cast<uint32_t>(GetWidth()));
  PutLE16(&out[8], static_cast<uint32_t>(GetHeight()));
  const int bpp = GetBpp();
  out[10] = GetPalette() ? static_cast<BYTE>(0x80 | (((bpp - 1) << 5) & 0xFF) | (bpp - 1)) : 0x11;
  if (GetPalette()) PutColourTable(out, *this);
  PutBytes(file, out.data(), out.size());
}

void RasterImageGIF::WriteGraphicControl(ImageFile* file, const RasterImage& image) {
  const int32_t index = image.GetTransIndex();
  const BYTE flags = static_cast<BYTE>(((disposal_ << 2) & 0x1F) | (index != -1 ? 1 : 0));
  BYTE out[8] = {0x21, 0xF9, 0x04, flags, 0, 0, static_cast<BYTE>(index == -1 ? 0xFF : index), 0};
  PutLE16(out + 4, image.GetFrameDelay());
  PutBytes(file, out, sizeof(out));
}

void RasterImageGIF::WriteComment(ImageFile* file) {
  const size_t length = std::strlen(comment_);
  if (length == 0) return;
  const BYTE head[3] = {0x21, 0xFE, static_cast<BYTE>(length)};
  PutBytes(file, head, 3);
  PutBytes(file, reinterpret_cast<const BYTE*>(comment_), length);
  file->PutC(0);
}

// Image descriptor, optional local table and the compressed data.
bool RasterImageGIF::WriteImage(ImageFile* file, const RasterImage& image, bool localTable) {
  std::vector<BYTE> out(10, 0);
  out[0] = ',';
  PutLE16(&out[1], static_cast<uint32_t>(image.GetXOffset()));
  PutLE16(&out[3], static_cast<uint32_t>(image.GetYOffset()));
  PutLE16(&out[5], static_cast<uint32_t>(image.GetWidth()));
  PutLE16(&out[7], static_cast<uint32_t>(image.GetHeight()));
  const int bpp = image.GetBpp();
  if (localTable) {
    out[9] = static_cast<BYTE>(0x80 | (bpp - 1));
    PutColourTable(out, image);
  }
  const int minCodeSize = bpp < 2 ? 2 : bpp;
  out.push_back(static_cast<BYTE>(minCodeSize));
  if (!PutBytes(file, out.data(), out.size())) return false;
  bool ok;
  switch (GetCodecOption(kFormatGif)) {
    case kGifUncompressed: ok = GifCompressRaw(file, image, minCodeSize + 1); break;
    case kGifRunLength: ok = GifCompressRle(file, image, minCodeSize + 1); break;
    default: ok = GifCompressLzw(file, image, minCodeSize + 1); break;
  }
  return file->PutC(0) && ok;
}

// Cuts a 24-bit picture into tiles whose palettes hold each pixel's exact
// colour (at most 255 pixels a tile, entry 0 left for transparency).
bool RasterImageGIF::EncodeTiles(ImageFile* file) {
  WriteHeader(file);
  WriteComment(file);
  for (int32_t top = 0; top < GetHeight(); top += kTileHeight) {
    for (int32_t left = 0; left < GetWidth(); left += kTileWidth) {
      const int32_t width = GetWidth() - left < kTileWidth ? GetWidth() - left : kTileWidth;
      const int32_t height = GetHeight() - top < kTileHeight ? GetHeight() - top : kTileHeight;
      RasterImage tile;
      if (!MakeTile(tile, left, top, width, height)) return false;
      WriteGraphicControl(file, tile);
      if (!WriteImage(file, tile, true)) return false;
    }
  }
  return file->PutC(';');
}

bool RasterImageGIF::MakeTile(RasterImage& tile, int32_t left, int32_t top, int32_t width, int32_t height) {
  if (!tile.Create(width, height, 8, kFormatGif)) return false;
  tile.SetOffset(left, top);
  tile.SetFrameDelay(GetFrameDelay());
  const bool transparent = IsTransparent();
  const RGBQUAD trans = GetTransColor();
  if (transparent) {
    tile.SetTransIndex(0);
    tile.SetPaletteColor(0, trans);
  }
  for (int32_t r = 0; r < height; ++r) {
    for (int32_t c = 0; c < width; ++c) {
      const RGBQUAD colour = GetPixelColor(left + c, GetHeight() - 1 - (top + r), false);
      BYTE index = static_cast<BYTE>(1 + r * kTileWidth + c);
      if (transparent && colour.rgbBlue == trans.rgbBlue && colour.rgbGreen == trans.rgbGreen &&
          colour.rgbRed == trans.rgbRed)
        index = 0;
      else
        tile.SetPaletteColor(index, colour);
      tile.GetBits(height - 1 - r)[c] = index;
    }
  }
  return true;
}

bool RasterImageGIF::ReadScreen(ImageFile* file, Screen& screen) {
  BYTE raw[13];
  if (file->Read(raw, 1, 13) != 13 || std::memcmp(raw, "GIF8", 4) != 0) return false;
  screen.width = GetLE16(raw + 6);
  screen.height = GetLE16(raw + 8);
  screen.hasGlobal = (raw[10] & 0x80) != 0;
  if (screen.hasGlobal) {
    screen.globalCount = 2 << (raw[10] & 7);
    if (!ReadColourTable(file, screen.globalCount, screen.global)) return false;
  }
  return true;
}

bool RasterImageGIF::ReadExtension(ImageFile* file) {
  const int label = file->GetC();
  if (label < 0) return false;
  BYTE block[256];
  const int size = ReadSubBlock(file, block);
  if (size < 0) return false;
  if (label == 0xF9 && size >= 4) {
    // Held for the next image descriptor only.
    const BYTE flags = block[0];
    transIndex_ = (flags & 1) ? block[3] : -1;
    delay_ = GetLE16(block + 1);
    disposal_ = (flags >> 2) & 7;
  } else if (label == 0xFE && size > 0) {
    std::memcpy(comment_, block, static_cast<size_t>(size));
    comment_[size] = 0;
  } else if (label == 0xFF && size == 11) {
    const int dataSize = ReadSubBlock(file, block);
    if (dataSize > 2) loops_ = GetLE16(block + 1);
    if (dataSize <= 0) return dataSize == 0;
  }
  if (size > 0) SkipSubBlocks(file);
  return true;
}

// Image descriptor and local table; `fits` says whether the image lies
// inside the logical screen (computed in int: no 16-bit wrap).
bool RasterImageGIF::ReadDescriptor(ImageFile* file, const Screen& screen, Frame& frame) {
  BYTE raw[9];
  if (file->Read(raw, 1, 9) != 9) return false;
  frame.left = GetLE16(raw);
  frame.top = GetLE16(raw + 2);
  frame.width = GetLE16(raw + 4);
  frame.height = GetLE16(raw + 6);
  frame.interlaced = (raw[8] & 0x40) != 0;
  frame.fits = frame.width > 0 && frame.height > 0 && frame.left + frame.width <= screen.width &&
               frame.top + frame.height <= screen.height;
  if (raw[8] & 0x80) {
    frame.paletteCount = 2 << (raw[8] & 7);
    if (!ReadColourTable(file, frame.paletteCount, frame.palette)) return false;
  } else {
    frame.paletteCount = screen.globalCount;
    std::memcpy(frame.palette, screen.global, sizeof(frame.palette));
  }
  frame.depth = frame.paletteCount == 2 ? 1 : (frame.paletteCount > 0 && frame.paletteCount <= 16) ? 4 : 8;
  frame.transIndex = transIndex_;
  frame.delay = delay_;
  transIndex_ = -1;
  delay_ = 0;
  return true;
}

bool RasterImageGIF::CountFrames(ImageFile* file, Screen& screen, int32_t& count,
                                 bool& firstDiffers) {
  count = 0;
  firstDiffers = false;
  bool atIntroducer = true;
  for (int c = file->GetC(); c >= 0 && !(atIntroducer && c == ';'); c = file->GetC()) {
    if (!atIntroducer) {
      atIntroducer = c == 0;
    } else if (c == '!') {
      if (!ReadExtension(file)) break;
    } else if (c == ',') {
      Frame frame;
      if (!ReadDescriptor(file, screen, frame) || file->GetC() < 0) break;
      SkipSubBlocks(file);
      if (!frame.fits) continue;
      if (frame.depth > screen.depth) screen.depth = frame.depth;
      if (count++ == 0) firstDiffers = frame.width != screen.width && frame.height != screen.height;
    } else {
      atIntroducer = c == 0;
    }
  }
  return count > 0;
}

bool RasterImageGIF::Decode(ImageFile* file) {
  if (!file) return false;
  Screen screen;
  if (!ReadScreen(file, screen)) return false;
  if (AnswersSizeOnly(screen.width, screen.height)) return true;
  const int64_t start = file->Tell();
  int32_t count = 0;
  bool firstDiffers = false;
  // Counting reads every extension of the file; none of it may reach the
  // frame decoded afterwards.
  char comment[sizeof(comment_)];
  std::memcpy(comment, comment_, sizeof(comment));
  CountFrames(file, screen, count, firstDiffers);
  std::memcpy(comment_, comment, sizeof(comment));
  info_.frameCount = count;
  if (info_.wantedFrame < 0 || info_.wantedFrame >= count || !file->Seek(start, SEEK_SET)) return false;
  transIndex_ = -1;
  delay_ = 0;
  disposal_ = previousDisposal_ = 0;
  const bool composed = !screen.hasGlobal && count > 1 && firstDiffers;
  if (composed) screen.depth = 24;
  return WalkFrames(file, screen, composed);
}

// Decodes the frame's LZW data into its own image, rows in file order
// (interlaced rows by the four passes).
bool RasterImageGIF::DecodeFrameData(ImageFile* file, Frame& frame) {
  const int minCodeSize = file->GetC();
  if (minCodeSize < 0) return false;
  if (!frame.image.Create(frame.width, frame.height, frame.depth, kFormatGif)) {
    SkipSubBlocks(file);
    return false;
  }
  frame.rowDone.assign(frame.height, false);
  RGBQUAD palette[256];
  std::memcpy(palette, frame.palette, sizeof(palette));
  if (frame.transIndex >= 0) {
    for (int i = frame.paletteCount; i < 256; ++i) palette[i] = RGBQUAD{255, 255, 255, 0};
  }
  frame.image.SetPalette(palette, 256);
  if (minCodeSize < 2 || minCodeSize > 9) {
    SkipSubBlocks(file);
    return true;
  }
  GifLzwDecoder decoder(file, minCodeSize);
  static const int kPassStart[4] = {0, 4, 2, 1};
  static const int kPassStep[4] = {8, 8, 4, 2};
  const int passes = frame.interlaced ? 4 : 1;
  bool more = true;
  for (int pass = 0; pass < passes && more; ++pass) {
    const int step = frame.interlaced ? kPassStep[pass] : 1;
    for (int32_t y = frame.interlaced ? kPassStart[pass] : 0; y < frame.height && more; y += step) {
      if (info_.escape) return false;
      const int32_t row = frame.height - 1 - y;
      BYTE* bits = frame.image.GetBits(row);
      frame.rowDone[y] = true;
      for (int32_t x = 0; x < frame.width; ++x) {
        const int index = decoder.NextPixel();
        if (index < 0) {
          more = false;
          break;
        }
        if (frame.depth == 8) bits[x] = static_cast<BYTE>(index);
        else frame.image.SetPixelIndex(x, row, static_cast<BYTE>(index));
      }
    }
  }
  decoder.SkipRest();
  return true;
}

// Draws a frame's decoded rows onto the canvas, by index at the canvas's
// depth or, for a 24-bit canvas, by colour. Rows the data never reached
// leave the canvas as it was, so drawing costs no more than decoding.
void RasterImageGIF::DrawFrame(RasterImage& canvas, const Frame& frame) {
  const bool byColour = canvas.GetBpp() == 24;
  for (int32_t fy = 0; fy < frame.height; ++fy) {
    if (!frame.rowDone[fy]) continue;
    const int32_t y = canvas.GetHeight() - 1 - (frame.top + fy);
    for (int32_t x = 0; x < frame.width; ++x) {
      const BYTE index = frame.image.GetPixelIndex(x, frame.height - 1 - fy);
      if (index == frame.transIndex) continue;
      if (byColour) canvas.SetPixelColor(frame.left + x, y, frame.image.GetPaletteColor(index));
      else canvas.SetPixelIndex(frame.left + x, y, index);
    }
  }
}

// Makes the canvas for the first frame drawn, or clears it for a frame
// after one whose disposal method restores the background.
bool RasterImageGIF::PrepareCanvas(RasterImage& canvas, const Screen& screen, const Frame& frame) {
  if (!canvas.IsValid()) {
    canvas.CopyInfo(*this);
    if (!canvas.Create(screen.width, screen.height, screen.depth, kFormatGif)) {
      SetError(canvas.GetLastError());
      return false;
    }
    if (screen.depth < 24) canvas.Clear(static_cast<BYTE>(frame.transIndex >= 0 ? frame.transIndex : 0));
  } else if (previousDisposal_ == 2 && screen.depth < 24) {
    canvas.Clear(static_cast<BYTE>(frame.transIndex >= 0 ? frame.transIndex : 0));
  }
  return true;
}

// Walks the blocks after the screen descriptor; a byte opens a block only
// at the start or after a 0x00 byte. Plain files stop after the wanted
// frame; composed files draw every frame into a 24-bit picture.
bool RasterImageGIF::WalkFrames(ImageFile* file, const Screen& screen, bool composed) {
  RasterImage canvas;
  int32_t frameNumber = 0;
  uint16_t delay = 0;
  bool atIntroducer = true;
  for (int c = file->GetC(); c >= 0 && !(atIntroducer && c == ';'); c = file->GetC()) {
    if (info_.escape) return false;
    if (!atIntroducer || (c != '!' && c != ',')) {
      atIntroducer = c == 0;
      continue;
    }
    if (c == '!') {
      if (!ReadExtension(file)) break;
      continue;
    }
    Frame frame;
    if (!ReadDescriptor(file, screen, frame)) break;
    if (!frame.fits) {
      if (file->GetC() < 0) break;
      SkipSubBlocks(file);
      continue;
    }
    if (!DecodeFrameData(file, frame)) {
      if (info_.escape) return false;
      continue;
    }
    if (!PrepareCanvas(canvas, screen, frame)) return false;
    DrawFrame(canvas, frame);
    delay = frame.delay;
    if (composed) {
      if (frame.transIndex >= 0) {
        canvas.SetTransColor(frame.image.GetPaletteColor(static_cast<uint32_t>(frame.transIndex)));
        canvas.SetTransIndex(frame.transIndex);
      }
    } else {
      canvas.SetPalette(frame.image.GetPalette(), frame.image.GetNumColors());
      canvas.SetTransIndex(frame.transIndex);
      if (frameNumber == info_.wantedFrame) break;
    }
    previousDisposal_ = disposal_;
    ++frameNumber;
  }
  if (!canvas.IsValid()) return false;
  canvas.SetFrameDelay(delay);
  canvas.SetOffset(0, 0);
  return Transfer(canvas);
}

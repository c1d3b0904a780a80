// RasterImageWBMP: reading and writing WBMP files.
// Choices of ours: type, width and height are read as the format's multi-byte
// integers (seven bits a byte, high bit = more follows), at most four bytes
// each; a fixed header that announces extension headers is refused; a file
// too short for its rows fails before anything is allocated; an image whose
// entry 0 is the brighter colour is written with its bits inverted.
#include "imaging/RasterImageWBMP.h"

#include <vector>

#include "imaging/ImageFile.h"

namespace {

constexpr int kMaxIntBytes = 4;

// A multi-byte integer; -1 at the end of the file or when too long.
int64_t ReadMultiByte(ImageFile* file) {
  int64_t value = 0;
  for (int i = 0; i < kMaxIntBytes; ++i) {
    const int b = file->GetC();
    if (b < 0) return -1;
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80)) return value;
  }
  return -1;
}

void PutMultiByte(std::vector<BYTE>& out, uint32_t value) {
  int shift = 0;
  while (shift < 28 && (value >> (shift + 7)) != 0) shift += 7;
  for (; shift > 0; shift -= 7) out.push_back(static_cast<BYTE>(0x80 | ((value >> shift) & 0x7F)));
  out.push_back(static_cast<BYTE>(value & 0x7F));
}

struct WbmpHeader {
  int64_t type = -1;
  int fixed = -1;
  int64_t width = -1;
  int64_t height = -1;
};

WbmpHeader ReadHeader(ImageFile* file) {
  WbmpHeader h;
  h.type = ReadMultiByte(file);
  if (h.type != 0) return h;
  h.fixed = file->GetC();
  h.width = ReadMultiByte(file);
  h.height = ReadMultiByte(file);
  return h;
}

uint64_t RowBytes(int64_t width) { return (static_cast<uint64_t>(width) + 7) / 8; }

bool SizesUsable(const WbmpHeader& h) { return h.fixed == 0 && h.width > 0 && h.height > 0; }

}  // namespace

bool RasterImageWBMP::IsPlausible(ImageFile* file) {
  const int64_t start = file->Tell();
  const WbmpHeader h = ReadHeader(file);
  const bool plausible = SizesUsable(h) &&
                         static_cast<uint64_t>(BytesLeft(file)) >= RowBytes(h.width) * static_cast<uint64_t>(h.height);
  file->Seek(start, SEEK_SET);
  return plausible;
}

bool RasterImageWBMP::Decode(ImageFile* file) {
  if (!file) return false;
  const WbmpHeader h = ReadHeader(file);
  if (h.type < 0 || (h.type == 0 && (h.fixed < 0 || h.width < 0 || h.height < 0))) {
    SetError("Not a WBMP");
    return false;
  }
  if (h.type != 0) {
    SetError("Unsupported WBMP type");
    return false;
  }
  const uint64_t rowBytes = RowBytes(h.width);
  if (!SizesUsable(h) || static_cast<uint64_t>(BytesLeft(file)) < rowBytes * static_cast<uint64_t>(h.height)) {
    SetError("Corrupted WBMP");
    return false;
  }
  if (AnswersSizeOnly(static_cast<int32_t>(h.width), static_cast<int32_t>(h.height))) return true;
  if (!Create(static_cast<int32_t>(h.width), static_cast<int32_t>(h.height), 1, kFormatWbmp)) {
    SetError("WBMP Create failed");
    return false;
  }
  SetGrayPalette();
  for (int32_t r = 0; r < GetHeight(); ++r) {
    if (info_.escape) return SetError("Cancelled"), false;
    if (!ReadAll(file, GetBits(GetHeight() - 1 - r), rowBytes)) return SetError("Corrupted WBMP"), false;
  }
  return true;
}

bool RasterImageWBMP::Encode(ImageFile* file) {
  if (CheckEncodeArgs(file)) return false;
  if (GetBpp() != 1 || GetWidth() > kMaxSide || GetHeight() > kMaxSide) {
    SetError("Can't save this image as WBMP");
    return false;
  }
  std::vector<BYTE> out = {0, 0};
  PutMultiByte(out, static_cast<uint32_t>(GetWidth()));
  PutMultiByte(out, static_cast<uint32_t>(GetHeight()));
  const bool invert = CompareByLuminance(&GetPalette()[0], &GetPalette()[1]) > 0;
  const size_t rowBytes = RowBytes(GetWidth());
  for (int32_t y = GetHeight() - 1; y >= 0; --y) {
    const BYTE* bits = GetBits(y);
    for (size_t i = 0; i < rowBytes; ++i) out.push_back(invert ? BYTE(~bits[i]) : bits[i]);
  }
  if (file->Write(out.data(), 1, out.size()) != out.size()) return SetError("Can't write WBMP file"), false;
  return true;
}

// RasterImageBMP: reading and writing Windows bitmap files.
// Choices of ours: V4/V5 headers are read with their masks, colour counts
// and compressions; the colour count is clamped to the depth; only the
// image's own stride x height is ever read; RLE runs and deltas stay within
// the row and the image; an RLE4 delta moves by pixels.
#include "imaging/RasterImageBMP.h"

#include <cstring>
#include <vector>

#include "imaging/ImageFile.h"

namespace {

constexpr uint32_t kLargestHeader = 1024;

bool ReadExactly(ImageFile* file, void* buffer, size_t bytes) {
  return bytes == 0 || file->Read(buffer, 1, bytes) == bytes;
}

bool SkipBytes(ImageFile* file, int64_t bytes) { return bytes <= 0 || file->Seek(bytes, SEEK_CUR); }

bool ValidBitCount(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

bool RasterImageBMP::ReadInfoHeader(ImageFile* file, BITMAPINFOHEADER& head, uint32_t masks[3]) {
  BYTE raw[40] = {};
  if (!ReadExactly(file, raw, 4)) return false;
  const uint32_t size = GetLE32(raw);
  masks[0] = masks[1] = masks[2] = 0;
  if (size == 12) {
    if (!ReadExactly(file, raw + 4, 8)) return false;
    head = BITMAPINFOHEADER{};
    head.biSize = 12;
    head.biWidth = GetLE16(raw + 4);
    head.biHeight = GetLE16(raw + 6);
    head.biPlanes = GetLE16(raw + 8);
    head.biBitCount = GetLE16(raw + 10);
  } else {
    if (size < 40 || size > kLargestHeader || !ReadExactly(file, raw + 4, 36)) return false;
    ReadInfoHeaderBytes(raw, head);
    if (size >= 52 && size != 64) {
      BYTE extra[12];
      if (!ReadExactly(file, extra, 12)) return false;
      for (int i = 0; i < 3; ++i) masks[i] = GetLE32(extra + 4 * i);
    }
    const uint32_t consumed = size >= 52 && size != 64 ? 52 : 40;
    if (!SkipBytes(file, static_cast<int64_t>(size) - consumed)) return false;
    if (size != 40 && size != 64 && head.biPlanes != 1) return false;
    // OS/2 2.x numbers its own compressions from 3 on (Huffman, RLE24).
    if (size == 64 && head.biCompression >= BI_BITFIELDS) return false;
    if (size == 40 && head.biCompression == BI_BITFIELDS) {
      if (!ReadExactly(file, raw, 12)) return false;
      for (int i = 0; i < 3; ++i) masks[i] = GetLE32(raw + 4 * i);
    }
  }
  if (!ValidBitCount(head.biBitCount)) return false;
  const uint64_t stride = ImageStride(static_cast<uint32_t>(head.biWidth), head.biBitCount);
  if (head.biSizeImage == 0) head.biSizeImage = static_cast<uint32_t>(stride * static_cast<uint32_t>(head.biHeight));
  // More colours than the depth holds would run past the palette.
  const uint32_t depthColours = head.biBitCount <= 8 ? 1u << head.biBitCount : 0;
  if (head.biClrUsed == 0 || head.biClrUsed > depthColours) head.biClrUsed = depthColours;
  return true;
}

bool RasterImageBMP::Decode(ImageFile* file) {
  if (!file) return false;
  const int64_t start = file->Tell();
  BYTE fileHeader[14];
  if (!ReadExactly(file, fileHeader, 14)) {
    SetError("Not a BMP");
    return false;
  }
  uint32_t offset = GetLE32(fileHeader + 10);
  if (GetLE16(fileHeader) != 0x4D42) {
    file->Seek(start, SEEK_SET);
    offset = 0;
  }
  BITMAPINFOHEADER head;
  uint32_t masks[3];
  if (!ReadInfoHeader(file, head, masks) || head.biHeight == INT32_MIN) {
    SetError("Error reading BMP info");
    return false;
  }
  const bool topDown = head.biHeight < 0;
  if (topDown) head.biHeight = -head.biHeight;
  if (AnswersSizeOnly(head.biWidth, head.biHeight)) {
    SetError("output dimensions returned");
    return true;
  }
  if (!Create(head.biWidth, head.biHeight, head.biBitCount, kFormatBmp)) {
    SetError("Can't allocate memory");
    return false;
  }
  head_.biXPelsPerMeter = head.biXPelsPerMeter;
  head_.biYPelsPerMeter = head.biYPelsPerMeter;
  info_.xDpi = static_cast<int32_t>(head.biXPelsPerMeter * 0.0254 + 0.5);
  info_.yDpi = static_cast<int32_t>(head.biYPelsPerMeter * 0.0254 + 0.5);
  StoreHeaderCopy();
  if (info_.escape) {
    SetError("Cancelled");
    return false;
  }
  if (GetPalette() && !ReadPalette(file, head, head.biSize == 12)) return false;
  if (offset) file->Seek(start + offset, SEEK_SET);
  if (!DecodePixels(file, head, masks)) return false;
  if (topDown) Flip();
  return true;
}

// Reads the colour table; core headers hold 3-byte entries.
bool RasterImageBMP::ReadPalette(ImageFile* file, const BITMAPINFOHEADER& head, bool core) {
  const uint32_t count = head.biClrUsed < GetNumColors() ? head.biClrUsed : GetNumColors();
  const uint32_t entrySize = core ? 3 : 4;
  std::vector<BYTE> raw(count * entrySize);
  file->Read(raw.data(), 1, raw.size());
  RGBQUAD* palette = GetPalette();
  for (uint32_t i = 0; i < count; ++i) {
    const BYTE* e = raw.data() + i * entrySize;
    palette[i] = RGBQUAD{e[0], e[1], e[2], 0};
  }
  ResetNearestCache();
  if (info_.escape) {
    SetError("Cancelled");
    return false;
  }
  return true;
}

bool RasterImageBMP::DecodePixels(ImageFile* file, const BITMAPINFOHEADER& head,
                                  const uint32_t masks[3]) {
  switch (head.biBitCount) {
    case 1:
    case 4:
    case 8:
      if (head.biCompression == BI_RGB) {
        file->Read(info_.pixels, 1, head_.biSizeImage);
      } else if (head.biCompression == BI_RLE8 && head.biBitCount == 8) {
        DecodeRle(file, false);
      } else if (head.biCompression == BI_RLE4 && head.biBitCount == 4) {
        DecodeRle(file, true);
      } else {
        SetError("compression type not supported");
        return false;
      }
      return true;
    case 24:
      if (head.biCompression != BI_RGB) {
        SetError("unknown compression");
        return false;
      }
      file->Read(info_.pixels, 1, head_.biSizeImage);
      return true;
    default: return ReadBitfields(file, head, masks);
  }
}

// 16- and 32-bit rows, read into their own buffer and widened to 24 bits.
bool RasterImageBMP::ReadBitfields(ImageFile* file, const BITMAPINFOHEADER& head,
                                   const uint32_t headerMasks[3]) {
  const bool bitfields = head.biCompression == BI_BITFIELDS;
  if (head.biCompression != BI_RGB && !bitfields) {
    SetError("unknown compression");
    return false;
  }
  uint32_t masks[3] = {0, 0, 0};
  if (bitfields) {
    std::memcpy(masks, headerMasks, sizeof(masks));
  } else if (head.biBitCount == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  }
  const uint64_t width = static_cast<uint64_t>(head_.biWidth);
  const uint64_t stride = head.biBitCount == 16 ? ((width + 1) / 2) * 4 : width * 4;
  // Only the rows the file holds are read and converted: the rest of the
  // image stays black, and a short file costs no more than its bytes.
  const uint64_t wanted = stride * static_cast<uint64_t>(head_.biHeight);
  const uint64_t available = static_cast<uint64_t>(BytesLeft(file));
  const uint64_t rowCount = ((available < wanted ? available : wanted) + stride - 1) / stride;
  std::vector<BYTE> rows;
  try {
    rows.assign(rowCount * stride, 0);
  } catch (const std::bad_alloc&) {
    SetError("can't allocate memory");
    return false;
  }
  file->Read(rows.data(), 1, rows.size());
  ConvertBitfieldsTo24(rows.data(), masks[0], masks[1], masks[2], head.biBitCount, static_cast<int32_t>(rowCount));
  return true;
}

// RLE8 and RLE4: count/value runs and escapes for end of line, end of
// bitmap, delta and literal runs; RLE4 packs two pixels per value byte,
// high nibble first. An RLE8 run may cover the row's padding (some writers
// encode the whole stride) but one past the padded row stops the decode;
// RLE4 pixels past the row are dropped.
void RasterImageBMP::DecodeRle(ImageFile* file, bool fourBit) {
  const int32_t limit = fourBit ? head_.biWidth : static_cast<int32_t>(info_.stride);
  int32_t x = 0, y = 0;
  BYTE literal[256];
  auto put = [&](int i, int value) {
    if (fourBit) SetPixelIndex(x, y, static_cast<BYTE>((i & 1) ? value & 15 : value >> 4));
    else GetBits(y)[x] = static_cast<BYTE>(value);
  };
  while (y < head_.biHeight) {
    const int count = file->GetC();
    const int value = file->GetC();
    if (count < 0 || value < 0) return;
    if (count > 0) {
      if (!fourBit && x + count > limit) return;
      for (int i = 0; i < count && x < limit; ++i, ++x) put(i, value);
    } else if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      const int dx = file->GetC(), dy = file->GetC();
      if (dx < 0 || dy < 0) return;
      x += dx, y += dy;
    } else {
      const size_t bytes = static_cast<size_t>(fourBit ? (value + 1) / 2 : value);
      const size_t padded = bytes + (bytes & 1);
      if (file->Read(literal, 1, padded) != padded) return;
      for (int i = 0; i < value && x < limit; ++i, ++x) put(i, fourBit ? literal[i / 2] : literal[i]);
    }
  }
}

bool RasterImageBMP::Encode(ImageFile* file) {
  if (CheckEncodeArgs(file)) return false;
  StoreHeaderCopy();
  const uint32_t offset = 14 + 40 + GetPaletteSize();
  BYTE fileHeader[14] = {'B', 'M'};
  PutLE32(fileHeader + 2, offset + head_.biSizeImage);
  PutLE32(fileHeader + 10, offset);
  const size_t blockSize = static_cast<size_t>(GetSize());
  if (file->Write(fileHeader, 14, 1) != 1 || file->Write(block_, blockSize, 1) != 1) {
    SetError("Can't write BMP file");
    return false;
  }
  return true;
}

// GIF data streams: code packing, the LZW, uncompressed and run-length
// compressors, and the LZW decoder.
#include "imaging/GifLzw.h"

#include <cmath>
#include <cstring>

#include "imaging/ImageFile.h"

namespace {

constexpr int kMaxBits = 12;
constexpr int kMaxCodes = 1 << kMaxBits;  // 4096
constexpr int kHashSize = 5003;           // prime, about 120% of 4096
constexpr int kHashShift = 4;

}  // namespace

void GifCodeWriter::Put(uint32_t code, int width) {
  accumulator_ |= static_cast<uint64_t>(code) << bits_;
  bits_ += width;
  while (bits_ >= 8) {
    block_[count_++] = static_cast<BYTE>(accumulator_);
    accumulator_ >>= 8;
    bits_ -= 8;
    if (count_ >= limit_) FlushBlock();
  }
}

void GifCodeWriter::FlushBlock() {
  if (count_ == 0) return;
  const BYTE size = static_cast<BYTE>(count_);
  if (!file_->PutC(size) || file_->Write(block_, 1, count_) != static_cast<size_t>(count_)) failed_ = true;
  count_ = 0;
}

bool GifCodeWriter::Finish() {
  while (bits_ > 0) {
    block_[count_++] = static_cast<BYTE>(accumulator_);
    accumulator_ >>= 8;
    bits_ = bits_ > 8 ? bits_ - 8 : 0;
    if (count_ >= limit_) FlushBlock();
  }
  FlushBlock();
  if (!file_->Flush() || file_->Error()) failed_ = true;
  return !failed_;
}

GifPixelReader::GifPixelReader(const RasterImage& image)
    : image_(image), width_(image.GetWidth()), y_(image.GetHeight()), x_(image.GetWidth()) {}

bool GifPixelReader::NextRow() {
  if (--y_ < 0) return false;
  x_ = 0;
  if (image_.GetBpp() == 8) {
    row_ = image_.GetBits(y_);
    return true;
  }
  unpacked_.resize(width_);
  for (int32_t x = 0; x < width_; ++x) unpacked_[x] = image_.GetPixelIndex(x, y_);
  row_ = unpacked_.data();
  return true;
}

namespace {

// Code width bookkeeping shared by the LZW and uncompressed compressors:
// the width grows when the next free code outgrows it, and returns to the
// initial width after a clear.
class GifCodeOutput {
 public:
  GifCodeOutput(ImageFile* file, int initBits)
      : writer_(file, 254), initBits_(initBits), width_(initBits), maxCode_((1 << initBits) - 1),
        clear_(1 << (initBits - 1)), end_(clear_ + 1), nextFree_(clear_ + 2) {}

  void Output(int code) {
    writer_.Put(static_cast<uint32_t>(code), width_);
    if (nextFree_ > maxCode_ || clearFlag_) {
      if (clearFlag_) {
        width_ = initBits_;
        maxCode_ = (1 << width_) - 1;
        clearFlag_ = false;
      } else {
        ++width_;
        maxCode_ = width_ == kMaxBits ? kMaxCodes : (1 << width_) - 1;
      }
    }
  }
  bool Finish() {
    Output(end_);
    return writer_.Finish();
  }

  GifCodeWriter writer_;
  int initBits_;
  int width_;
  int maxCode_;
  int clear_;
  int end_;
  int nextFree_;
  bool clearFlag_ = false;
};

}  // namespace

// LZW with an open-addressed hash of (pixel, prefix) keys.
bool GifCompressLzw(ImageFile* file, const RasterImage& image, int initBits) {
  GifCodeOutput out(file, initBits);
  std::vector<int32_t> keys(kHashSize, -1);
  std::vector<uint16_t> codes(kHashSize, 0);
  GifPixelReader pixels(image);
  out.Output(out.clear_);
  int current = pixels.Next();
  for (int c = pixels.Next(); c >= 0; c = pixels.Next()) {
    const int32_t key = (c << kMaxBits) + current;
    int slot = (c << kHashShift) ^ current;
    if (keys[slot] == key) {
      current = codes[slot];
      continue;
    }
    if (keys[slot] >= 0) {
      const int displacement = slot == 0 ? 1 : kHashSize - slot;
      bool found = false;
      do {
        slot -= displacement;
        if (slot < 0) slot += kHashSize;
        if (keys[slot] == key) {
          current = codes[slot];
          found = true;
          break;
        }
      } while (keys[slot] > 0);
      if (found) continue;
    }
    out.Output(current);
    current = c;
    if (out.nextFree_ < kMaxCodes) {
      codes[slot] = static_cast<uint16_t>(out.nextFree_++);
      keys[slot] = key;
    } else {
      std::fill(keys.begin(), keys.end(), -1);
      out.nextFree_ = out.clear_ + 2;
      out.clearFlag_ = true;
      out.Output(out.clear_);
    }
  }
  out.Output(current);
  return out.Finish();
}

// Every pixel as its own code; a decoder's table fills without use and is
// cleared before it would need a thirteenth bit.
bool GifCompressRaw(ImageFile* file, const RasterImage& image, int initBits) {
  GifCodeOutput out(file, initBits);
  GifPixelReader pixels(image);
  out.Output(out.clear_);
  for (int c = pixels.Next(); c >= 0; c = pixels.Next()) {
    out.Output(c);
    if (++out.nextFree_ > kMaxCodes - 1) {
      out.nextFree_ = out.clear_ + 2;
      out.clearFlag_ = true;
      out.Output(out.clear_);
    }
  }
  return out.Finish();
}

namespace {

// Run-length codes that a standard LZW decoder expands: after a clear the
// decoder's table grows by one string per code, so a code base + n - 2
// stands for n pixels of the run value once the table holds that run.
class GifRleEncoder {
 public:
  GifRleEncoder(ImageFile* file, int initBits)
      : writer_(file, 255), initBits_(initBits), clear_(1 << (initBits - 1)), end_(clear_ + 1),
        base_(clear_ + 2), bumpInit_(clear_ - 1), clearInit_(initBits <= 3 ? 9 : clear_ - 2),
        maxCodes_(4093 - clear_) {}

  bool Run(const RasterImage& image);

 private:
  void Write(int code) { writer_.Put(static_cast<uint32_t>(code), width_); }
  void DidClear();
  void OutputPlain(int code);
  void MaxOutClear() { clearLimit_ = maxCodes_; }
  void ResetOutClear();
  void FlushFromClear(int count);
  void FlushClearOrRepeat(int count);
  void FlushWithTable(int count);
  void Flush();
  int Cost(int count) const;

  GifCodeWriter writer_;
  int initBits_, clear_, end_, base_, bumpInit_, clearInit_, maxCodes_;
  int width_ = 0, count_ = 0, bumpLimit_ = 0, clearLimit_ = 0;
  int runValue_ = 0, runLength_ = 0, tableValue_ = 0, tableMax_ = 0;
  bool justCleared_ = false;
};

void GifRleEncoder::DidClear() {
  width_ = initBits_;
  bumpLimit_ = bumpInit_;
  clearLimit_ = clearInit_;
  count_ = 0;
  tableMax_ = 0;
  justCleared_ = true;
}

void GifRleEncoder::OutputPlain(int code) {
  justCleared_ = false;
  Write(code);
  ++count_;
  if (count_ >= bumpLimit_) {
    ++width_;
    bumpLimit_ += 1 << (width_ - 1);
  }
  if (count_ >= clearLimit_) {
    Write(clear_);
    DidClear();
  }
}

void GifRleEncoder::ResetOutClear() {
  clearLimit_ = clearInit_;
  if (count_ >= clearLimit_) {
    Write(clear_);
    DidClear();
  }
}

// Codes needed for `count` pixels starting from a fresh table.
int GifRleEncoder::Cost(int count) const {
  const int perRepeat = maxCodes_ * (maxCodes_ + 1) / 2;
  int cost = (count / perRepeat) * maxCodes_;
  count %= perRepeat;
  if (count > 0) {
    int n = static_cast<int>(std::sqrt(static_cast<double>(count)));
    while (n * (n + 1) >= 2 * count) --n;
    while (n * (n + 1) < 2 * count) ++n;
    cost += n;
  }
  return cost;
}

void GifRleEncoder::FlushFromClear(int count) {
  MaxOutClear();
  tableValue_ = runValue_;
  int n = 1;
  while (count > 0) {
    if (n == 1) {
      tableMax_ = 1;
      OutputPlain(runValue_);
      --count;
    } else if (count >= n) {
      tableMax_ = n;
      OutputPlain(base_ + n - 2);
      count -= n;
    } else if (count == 1) {
      ++tableMax_;
      OutputPlain(runValue_);
      count = 0;
    } else {
      ++tableMax_;
      OutputPlain(base_ + count - 2);
      count = 0;
    }
    n = count_ == 0 ? 1 : n + 1;
  }
  ResetOutClear();
}

void GifRleEncoder::FlushClearOrRepeat(int count) {
  if (1 + Cost(count) < count) {
    Write(clear_);
    DidClear();
    FlushFromClear(count);
    return;
  }
  for (; count > 0; --count) OutputPlain(runValue_);
}

void GifRleEncoder::FlushWithTable(int count) {
  int repeats = count / tableMax_;
  int leftover = count % tableMax_;
  int leftoverCodes = leftover ? 1 : 0;
  if (count_ + repeats + leftoverCodes > maxCodes_) {
    repeats = maxCodes_ - count_;
    leftover = count - repeats * tableMax_;
    leftoverCodes = 1 + Cost(leftover);
  }
  if (1 + Cost(count) < repeats + leftoverCodes) {
    Write(clear_);
    DidClear();
    FlushFromClear(count);
    return;
  }
  MaxOutClear();
  for (; repeats > 0; --repeats) OutputPlain(base_ + tableMax_ - 2);
  if (leftover) {
    if (justCleared_) FlushFromClear(leftover);
    else if (leftover == 1) OutputPlain(runValue_);
    else OutputPlain(base_ + leftover - 2);
  }
  ResetOutClear();
}

void GifRleEncoder::Flush() {
  if (runLength_ == 1) OutputPlain(runValue_);
  else if (justCleared_) FlushFromClear(runLength_);
  else if (tableMax_ < 2 || tableValue_ != runValue_) FlushClearOrRepeat(runLength_);
  else FlushWithTable(runLength_);
  runLength_ = 0;
}

bool GifRleEncoder::Run(const RasterImage& image) {
  DidClear();
  Write(clear_);
  GifPixelReader pixels(image);
  for (;;) {
    const int c = pixels.Next();
    if (runLength_ > 0 && c != runValue_) Flush();
    if (c < 0) break;
    if (runLength_ > 0 && runValue_ == c) {
      ++runLength_;
    } else {
      runValue_ = c;
      runLength_ = 1;
    }
  }
  Write(end_);
  return writer_.Finish();
}

}  // namespace

bool GifCompressRle(ImageFile* file, const RasterImage& image, int initBits) {
  GifRleEncoder encoder(file, initBits);
  return encoder.Run(image);
}

GifLzwDecoder::GifLzwDecoder(ImageFile* file, int minCodeSize)
    : file_(file), minCodeSize_(minCodeSize), clear_(1 << minCodeSize), end_(clear_ + 1) {
  Reset();
}

void GifLzwDecoder::Reset() {
  width_ = minCodeSize_ + 1;
  nextFree_ = clear_ + 2;
  previous_ = -1;
}

// Reads one code across sub-block boundaries; -1 at the end of the data.
int GifLzwDecoder::ReadCode() {
  while (bits_ < width_) {
    if (blockPos_ >= blockSize_) {
      const int size = file_->GetC();
      if (size <= 0) {
        terminatorSeen_ = size == 0;
        return -1;
      }
      // The sub-block is read by its declared size; a short read ends the data.
      if (file_->Read(block_, 1, size) != static_cast<size_t>(size)) return -1;
      blockSize_ = size;
      blockPos_ = 0;
    }
    accumulator_ |= static_cast<uint32_t>(block_[blockPos_++]) << bits_;
    bits_ += 8;
  }
  const int code = static_cast<int>(accumulator_ & ((1u << width_) - 1));
  accumulator_ >>= width_;
  bits_ -= width_;
  return code;
}

// Decodes codes until one yields pixels; they go onto the stack.
int GifLzwDecoder::Refill() {
  while (!ended_) {
    int code = ReadCode();
    if (code < 0 || code == end_) break;
    if (code == clear_) {
      Reset();
      continue;
    }
    if (previous_ < 0) {
      if (code > clear_) {
        ++badCodes_;
        continue;
      }
      previous_ = first_ = code;
      return code;
    }
    const int incoming = code;
    // A code beyond the table is taken as the previous string plus its first pixel.
    if (code > nextFree_) {
      ++badCodes_;
      code = nextFree_;
    }
    int next = code;
    if (code == nextFree_) {
      stack_[stackTop_++] = static_cast<BYTE>(first_);
      next = previous_;
    }
    // Table entries always point to lower codes, so the walk ends; the
    // bound guards the stack all the same.
    for (int steps = 0; next >= clear_ && steps < kMaxCodes; ++steps) {
      stack_[stackTop_++] = suffix_[next];
      next = prefix_[next];
    }
    if (next >= clear_) {
      ended_ = true;
      break;
    }
    first_ = next;
    stack_[stackTop_++] = static_cast<BYTE>(first_);
    if (nextFree_ < kMaxCodes) {
      prefix_[nextFree_] = static_cast<uint16_t>(previous_);
      suffix_[nextFree_] = static_cast<BYTE>(first_);
      ++nextFree_;
      if (nextFree_ == (1 << width_) && width_ < kMaxBits) ++width_;
    }
    previous_ = incoming > nextFree_ - 1 ? nextFree_ - 1 : incoming;
    return stack_[--stackTop_];
  }
  ended_ = true;
  return -1;
}

void GifLzwDecoder::SkipRest() {
  if (terminatorSeen_) return;
  for (;;) {
    const int size = file_->GetC();
    if (size <= 0) return;
    if (!file_->Seek(size, SEEK_CUR)) return;
  }
}

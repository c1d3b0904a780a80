// ImageIOFile and ImageMemFile.
#include "imaging/ImageFile.h"

#include <cstdlib>
#include <cstring>
#include <limits>

ImageIOFile::~ImageIOFile() { Close(); }

bool ImageIOFile::Open(const char* path, const char* mode) {
  if (stream_) return false;
  stream_ = std::fopen(path, mode);
  closeStream_ = true;
  return stream_ != nullptr;
}

bool ImageIOFile::Close() {
  if (!stream_ || !closeStream_) return true;
  const bool ok = std::fclose(stream_) == 0;
  stream_ = nullptr;
  return ok;
}

size_t ImageIOFile::Read(void* buffer, size_t size, size_t count) {
  return stream_ && buffer ? std::fread(buffer, size, count, stream_) : 0;
}

size_t ImageIOFile::Write(const void* buffer, size_t size, size_t count) {
  return stream_ && buffer ? std::fwrite(buffer, size, count, stream_) : 0;
}

bool ImageIOFile::Seek(int64_t offset, int origin) {
  if (!stream_ || offset > std::numeric_limits<long>::max() || offset < std::numeric_limits<long>::min())
    return false;
  return std::fseek(stream_, static_cast<long>(offset), origin) == 0;
}

int64_t ImageIOFile::Tell() { return stream_ ? std::ftell(stream_) : -1; }

int64_t ImageIOFile::Size() {
  if (!stream_) return -1;
  const long position = std::ftell(stream_);
  std::fseek(stream_, 0, SEEK_END);
  const long size = std::ftell(stream_);
  std::fseek(stream_, position, SEEK_SET);
  return size;
}

bool ImageIOFile::Flush() { return stream_ && std::fflush(stream_) == 0; }
bool ImageIOFile::Eof() { return !stream_ || std::feof(stream_) != 0; }
int ImageIOFile::Error() { return stream_ ? std::ferror(stream_) : -1; }
bool ImageIOFile::PutC(BYTE c) { return stream_ && std::fputc(c, stream_) == c; }
int ImageIOFile::GetC() { return stream_ ? std::fgetc(stream_) : EOF; }

ImageMemFile::ImageMemFile(BYTE* buffer, size_t size)
    : buffer_(buffer), size_(size), own_(buffer == nullptr), position_(0), capacity_(size) {}

ImageMemFile::~ImageMemFile() { Close(); }

bool ImageMemFile::Open() {
  if (buffer_) return false;
  size_ = capacity_ = position_ = 0;
  buffer_ = static_cast<BYTE*>(std::malloc(1));
  own_ = true;
  return buffer_ != nullptr;
}

BYTE* ImageMemFile::GetBuffer(bool detach) {
  if (buffer_ && detach) own_ = false;
  return buffer_;
}

bool ImageMemFile::Close() {
  if (buffer_ && own_) std::free(buffer_);
  buffer_ = nullptr;
  size_ = 0;
  return true;
}

size_t ImageMemFile::Read(void* buffer, size_t size, size_t count) {
  if (!buffer || !buffer_ || position_ >= size_ || size == 0 || count == 0) return 0;
  // Guard against a size x count that wraps around.
  if (count > std::numeric_limits<size_t>::max() / size) return 0;
  size_t bytes = size * count;
  if (bytes > size_ - position_) bytes = size_ - position_;
  std::memcpy(buffer, buffer_ + position_, bytes);
  position_ += bytes;
  return bytes / size;
}

// Grows to hold `needed` bytes. A buffer the caller gave is copied, never
// reallocated, so the caller's pointer stays valid.
bool ImageMemFile::Reserve(size_t needed) {
  if (needed <= capacity_) return true;
  const size_t capacity = (needed & ~static_cast<size_t>(4095)) + 4096;
  if (capacity < needed) return false;
  BYTE* grown;
  if (own_) {
    grown = static_cast<BYTE*>(std::realloc(buffer_, capacity));
  } else {
    grown = static_cast<BYTE*>(std::malloc(capacity));
    if (grown && buffer_) std::memcpy(grown, buffer_, size_);
  }
  if (!grown) return false;
  buffer_ = grown;
  own_ = true;
  capacity_ = capacity;
  return true;
}

// Zeros the bytes between the end of the data and a position past it.
void ImageMemFile::FillGap() {
  if (position_ > size_) std::memset(buffer_ + size_, 0, position_ - size_);
}

size_t ImageMemFile::Write(const void* buffer, size_t size, size_t count) {
  if (!buffer_ || !buffer || size == 0 || count == 0) return 0;
  if (count > std::numeric_limits<size_t>::max() / size) return 0;
  const size_t bytes = size * count;
  if (position_ > std::numeric_limits<size_t>::max() - bytes) return 0;
  if (!Reserve(position_ + bytes)) return 0;
  FillGap();
  std::memcpy(buffer_ + position_, buffer, bytes);
  position_ += bytes;
  if (position_ > size_) size_ = position_;
  return count;
}

bool ImageMemFile::PutC(BYTE c) {
  if (!buffer_ || !Reserve(position_ + 1)) return false;
  FillGap();
  buffer_[position_++] = c;
  if (position_ > size_) size_ = position_;
  return true;
}

int ImageMemFile::GetC() {
  if (!buffer_ || position_ >= size_) return EOF;
  return buffer_[position_++];
}

bool ImageMemFile::Seek(int64_t offset, int origin) {
  if (!buffer_) return false;
  int64_t base;
  switch (origin) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<int64_t>(position_); break;
    case SEEK_END: base = static_cast<int64_t>(size_); break;
    default: return false;
  }
  // Keep the sum clear of signed overflow.
  if (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) return false;
  const int64_t position = base + offset;
  position_ = position < 0 ? 0 : static_cast<size_t>(position);
  return true;
}

int64_t ImageMemFile::Tell() { return buffer_ ? static_cast<int64_t>(position_) : -1; }
int64_t ImageMemFile::Size() { return buffer_ ? static_cast<int64_t>(size_) : -1; }
bool ImageMemFile::Flush() { return buffer_ != nullptr; }
bool ImageMemFile::Eof() { return !buffer_ || position_ >= size_; }
int ImageMemFile::Error() { return buffer_ ? (position_ > size_ ? 1 : 0) : -1; }

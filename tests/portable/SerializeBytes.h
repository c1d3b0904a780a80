// Stores an object's Serialize form into bytes and loads it back from bytes.
#pragma once

#include <cstring>
#include <string>

#include "framework/Archive.h"
#include "framework/File.h"

template <typename Serializable>
std::string StoreBytes(Serializable& object) {
  CMemFile file;
  {
    CArchive archive(&file, CArchive::store);
    object.Serialize(archive);
  }
  return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

// Loads `object` from `bytes`; returns how many bytes were left unread.
template <typename Serializable>
size_t LoadBytes(Serializable& object, const std::string& bytes) {
  std::string copy = bytes;
  CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
  CArchive archive(&file, CArchive::load);
  object.Serialize(archive);
  return static_cast<size_t>(archive.BytesLeft());
}

// Little-endian pieces for writing expected archive bytes by hand.
inline std::string Le32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}
inline std::string Le16(uint16_t v) { return Le32(v).substr(0, 2); }
inline std::string LeDouble(double d) {
  uint64_t bits;
  static_assert(sizeof bits == sizeof d);
  std::memcpy(&bits, &d, sizeof d);
  return Le32(static_cast<uint32_t>(bits)) + Le32(static_cast<uint32_t>(bits >> 32));
}
inline std::string ShortString(const std::string& s) { return static_cast<char>(s.size()) + s; }

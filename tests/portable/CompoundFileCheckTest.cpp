// CheckCompoundFile over compound files built here: sound ones pass, each
// kind of looping or overlong chain is refused, and damaged copies never
// hang or read out of bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "framework/CompoundFileCheck.h"

namespace {

constexpr uint32_t kEnd = 0xFFFFFFFE;
constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr uint32_t kFatMark = 0xFFFFFFFD;

void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}
void Put16(std::string& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<char>(value);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

// A directory entry at `at`: UTF-16 name, type, links, start and size.
void PutEntry(std::string& bytes, size_t at, const char* name, uint8_t type, uint32_t child,
              uint32_t start, uint32_t size) {
  const size_t length = std::strlen(name);
  for (size_t i = 0; i < length; ++i) bytes[at + 2 * i] = name[i];
  Put16(bytes, at + 0x40, static_cast<uint16_t>(2 * (length + 1)));
  bytes[at + 0x42] = static_cast<char>(type);
  bytes[at + 0x43] = 1;  // black
  Put32(bytes, at + 0x44, kFree);
  Put32(bytes, at + 0x48, kFree);
  Put32(bytes, at + 0x4C, child);
  Put32(bytes, at + 0x74, start);
  Put32(bytes, at + 0x78, size);
}

// Offsets of the parts of the files BuildFile makes (512-byte sectors):
// sector 0 the FAT, 1 the directory, 2 the mini-FAT, then the data.
size_t SectorAt(uint32_t sector) { return 512 * (static_cast<size_t>(sector) + 1); }
size_t FatEntryAt(uint32_t sector) { return SectorAt(0) + 4 * sector; }
size_t EntryAt(uint32_t index) { return SectorAt(1) + 128 * index; }

// A version-3 compound file with one stream "Contents" of `contents`: in the
// mini stream when it is short, in sectors of its own otherwise.
std::string BuildFile(const std::string& contents) {
  const bool small = contents.size() < 4096;
  const uint32_t dataBytes = small ? static_cast<uint32_t>((contents.size() + 63) / 64 * 64)
                                   : static_cast<uint32_t>(contents.size());
  const uint32_t dataSectors = (dataBytes + 511) / 512;
  std::string bytes(SectorAt(3 + dataSectors), '\0');
  const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  bytes.replace(0, 8, signature, 8);
  Put16(bytes, 0x18, 0x3E);
  Put16(bytes, 0x1A, 3);
  Put16(bytes, 0x1C, 0xFFFE);
  Put16(bytes, 0x1E, 9);
  Put16(bytes, 0x20, 6);
  Put32(bytes, 0x2C, 1);         // one FAT sector
  Put32(bytes, 0x30, 1);         // directory
  Put32(bytes, 0x38, 4096);      // mini stream cutoff
  Put32(bytes, 0x3C, small ? 2 : kEnd);
  Put32(bytes, 0x40, small ? 1 : 0);
  Put32(bytes, 0x44, kEnd);      // no FAT extension
  for (int i = 0; i < 109; ++i) Put32(bytes, 0x4C + 4 * i, i == 0 ? 0 : kFree);
  for (uint32_t s = 0; s < 128; ++s) Put32(bytes, FatEntryAt(s), kFree);
  Put32(bytes, FatEntryAt(0), kFatMark);
  Put32(bytes, FatEntryAt(1), kEnd);
  Put32(bytes, FatEntryAt(2), small ? kEnd : kFree);
  for (uint32_t s = 0; s < dataSectors; ++s) Put32(bytes, FatEntryAt(3 + s), s + 1 < dataSectors ? 4 + s : kEnd);
  for (uint32_t s = 0; s < 4; ++s) PutEntry(bytes, EntryAt(s), "", 0, kFree, kFree, 0);
  const bool empty = contents.empty();
  PutEntry(bytes, EntryAt(0), "Root Entry", 5, 1, small && !empty ? 3 : kEnd, small ? dataBytes : 0);
  PutEntry(bytes, EntryAt(1), "Contents", 2, kFree, empty ? kEnd : small ? 0 : 3,
           static_cast<uint32_t>(contents.size()));
  if (small) {
    const uint32_t miniSectors = dataBytes / 64;
    for (uint32_t m = 0; m < 128; ++m)
      Put32(bytes, SectorAt(2) + 4 * m, m < miniSectors ? (m + 1 < miniSectors ? m + 1 : kEnd) : kFree);
  }
  bytes.replace(SectorAt(3), contents.size(), contents);
  return bytes;
}

std::string Check(const std::string& bytes) { return CheckCompoundFile(bytes.data(), bytes.size()); }

TEST(CompoundFileCheck, SoundFilesPass) {
  for (size_t size : {0, 1, 200, 4095, 4096, 20000}) {
    const std::string file = BuildFile(std::string(size, 'x'));
    EXPECT_EQ(Check(file), "") << size;
  }
}

// Each damage is one a file was seen to carry; every one must be refused.
TEST(CompoundFileCheck, LoopsAndOverlongChainsAreRefused) {
  struct Damage {
    const char* name;
    size_t contents;
    void (*apply)(std::string&);
  };
  const Damage damages[] = {
      {"FAT entry pointing back at itself", 200, [](std::string& b) { Put32(b, FatEntryAt(1), 1); }},
      {"all-zero FAT", 200, [](std::string& b) { std::memset(&b[SectorAt(0)], 0, 512); }},
      {"directory entry linked to itself", 200, [](std::string& b) { Put32(b, EntryAt(1) + 0x44, 1); }},
      {"directory link leaving the directory", 200, [](std::string& b) { Put32(b, EntryAt(1) + 0x48, 99); }},
      {"root linked back to the root", 200, [](std::string& b) { Put32(b, EntryAt(1) + 0x4C, 0); b[EntryAt(1) + 0x42] = 1; }},
      {"mini-FAT loop", 200, [](std::string& b) { Put32(b, SectorAt(2) + 4 * 3, 0); }},
      {"mini stream chain loop", 200, [](std::string& b) { Put32(b, FatEntryAt(3), 3); }},
      {"mini-FAT chain loop", 200, [](std::string& b) { Put32(b, FatEntryAt(2), 2); }},
      {"stream chain loop", 20000, [](std::string& b) { Put32(b, FatEntryAt(10), 4); }},
      {"stream chain leaving the file", 20000, [](std::string& b) { Put32(b, FatEntryAt(10), 5000); }},
      {"stream longer than its chain", 20000, [](std::string& b) { Put32(b, EntryAt(1) + 0x78, 2000000000); }},
      {"mini stream longer than its chain", 200, [](std::string& b) { Put32(b, EntryAt(0) + 0x78, 100000); }},
      {"stream running through the FAT", 20000, [](std::string& b) { Put32(b, FatEntryAt(10), 0); }},
      {"FAT sector outside the file", 200, [](std::string& b) { Put32(b, 0x4C, 70000); }},
      {"FAT size beyond the file", 200, [](std::string& b) { Put32(b, 0x2C, 0x7FFFFFFF); }},
      {"FAT extension chain loop", 200, [](std::string& b) {
         b.append(400 * 512, '\0');
         Put32(b, 0x2C, 363);
         Put32(b, 0x44, 3);
         Put32(b, SectorAt(3) + 508, 3);
       }},
      {"header cut short", 200, [](std::string& b) { b.resize(300); }},
  };
  for (const Damage& damage : damages) {
    std::string file = BuildFile(std::string(damage.contents, 'x'));
    ASSERT_EQ(Check(file), "") << damage.name;
    damage.apply(file);
    EXPECT_NE(Check(file), "") << damage.name;
  }
}

// Random damage, truncation and growth: the check always ends, under the
// sanitizers, and whatever it passes has chains that end.
TEST(CompoundFileCheck, RandomDamageEndsQuickly) {
  std::mt19937 random(17);
  const std::string sound[] = {BuildFile(std::string(300, 'a')), BuildFile(std::string(9000, 'b'))};
  for (int round = 0; round < 4000; ++round) {
    std::string file = sound[round % 2];
    const int flips = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < flips; ++i) {
      const size_t at = random() % file.size();
      file[at] = static_cast<char>(random() % 4 == 0 ? 0xFF : random());
    }
    if (round % 7 == 0) file.resize(random() % file.size());
    if (round % 11 == 0) file.append(random() % 2000, '\xFF');
    Check(file);
  }
}

}  // namespace

// The compound-file structure check. Sector n starts at byte (n + 1) * size
// of a sector; FAT entry n names the sector after n in its chain.
//
// Choices of ours: a stream of size 0 may point anywhere that ends (some
// writers leave its start at a used sector); a file whose last sector is cut
// short is read as zero-padded, as the storage code reads it; directory links
// may reach only storages and streams.
#include "framework/CompoundFileCheck.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;
constexpr uint32_t kHeaderSize = 512;
constexpr uint32_t kHeaderFatSlots = 109;
constexpr uint32_t kMiniStreamCutoff = 4096;
constexpr uint32_t kMiniSectorSize = 64;
constexpr uint32_t kEntrySize = 128;
constexpr uint8_t kStorageEntry = 1;
constexpr uint8_t kStreamEntry = 2;
constexpr uint8_t kRootEntry = 5;

uint32_t Le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint64_t Le64(const uint8_t* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }

struct Fault {
  std::string what;
};

struct Entry {
  uint8_t type;
  uint32_t left, right, child, start;
  uint64_t size;
};

// One table of next-links (the FAT or the mini-FAT) and which walk has
// claimed each of its sectors, so that a loop and two chains sharing a
// sector are both seen, and every walk together stays linear.
struct ChainTable {
  std::vector<uint32_t> next;
  std::vector<uint32_t> walkOf;
  uint32_t usable = 0;  // sectors that both exist and have an entry
  uint32_t walks = 0;

  void Limit(uint64_t sectorsPresent) {
    usable = static_cast<uint32_t>(std::min<uint64_t>(next.size(), sectorsPresent));
    walkOf.assign(usable, 0);
  }
  // Claims `sector` for the current walk.
  void Claim(uint32_t sector, const char* what) {
    if (sector >= usable) throw Fault{std::string(what) + " leaves the file"};
    if (walkOf[sector] != 0) throw Fault{std::string(what) + " loops or shares a sector"};
    walkOf[sector] = walks;
  }
  // The sectors of the chain from `start`. With `mayJoin`, reaching a
  // sector of an earlier walk ends the chain (that chain is known to end).
  std::vector<uint32_t> Walk(uint32_t start, const char* what, bool mayJoin = false) {
    ++walks;
    std::vector<uint32_t> chain;
    for (uint32_t s = start; s != kEndOfChain; s = next[s]) {
      if (mayJoin && s < usable && walkOf[s] != 0 && walkOf[s] != walks) break;
      Claim(s, what);
      chain.push_back(s);
    }
    return chain;
  }
};

class Checker {
 public:
  Checker(uint64_t fileSize, const CompoundReadAt& readAt) : fileSize_(fileSize), readAt_(readAt) {}

  void Run() {
    ReadHeader();
    ReadFat();
    ReadDirectory();
    CheckMiniStream();
    CheckTree();
  }

 private:
  void ReadHeader();
  void ReadFat();
  std::vector<uint32_t> ListFatSectors(uint32_t fatCount);
  void ClaimOwnSectors(const std::vector<uint32_t>& sectors);
  void ReadDirectory();
  void CheckMiniStream();
  void CheckTree();
  void CheckStream(const Entry& entry);
  std::vector<uint8_t> ReadSector(uint32_t sector) const;
  static void ExpectCovers(size_t sectors, uint32_t sectorSize, uint64_t size, const char* what);

  const uint8_t* Field(size_t offset) const { return header_.data() + offset; }

  uint64_t fileSize_;
  const CompoundReadAt& readAt_;
  std::vector<uint8_t> header_;
  uint32_t sectorSize_ = 512;
  uint64_t sectorsPresent_ = 0;
  ChainTable fat_;
  ChainTable miniFat_;
  std::vector<Entry> entries_;
  std::vector<uint32_t> extensions_;
};

void Checker::ReadHeader() {
  header_.resize(kHeaderSize);
  if (fileSize_ < kHeaderSize || !readAt_(0, header_.data(), kHeaderSize))
    throw Fault{"the header is cut short"};
  if (std::memcmp(header_.data(), kSignature, sizeof kSignature) != 0)
    throw Fault{"the signature is wrong"};
  const uint16_t sectorShift = static_cast<uint16_t>(Field(0x1E)[0] | Field(0x1E)[1] << 8);
  const uint16_t miniShift = static_cast<uint16_t>(Field(0x20)[0] | Field(0x20)[1] << 8);
  if (sectorShift != 9 && sectorShift != 12) throw Fault{"the sector size is not 512 or 4096"};
  if (miniShift != 6) throw Fault{"the mini sector size is not 64"};
  if (Le32(Field(0x38)) != kMiniStreamCutoff) throw Fault{"the mini stream cutoff is not 4096"};
  sectorSize_ = 1u << sectorShift;
  const uint64_t afterHeader = fileSize_ > sectorSize_ ? fileSize_ - sectorSize_ : 0;
  sectorsPresent_ = std::min<uint64_t>((afterHeader + sectorSize_ - 1) / sectorSize_,
                                       kLastRegularSector);
}

// The FAT's own sectors: up to 109 in the header, the rest in a chain of
// extension sectors whose last entry names the next one.
std::vector<uint32_t> Checker::ListFatSectors(uint32_t fatCount) {
  std::vector<uint32_t> sectors;
  for (uint32_t i = 0; i < std::min(fatCount, kHeaderFatSlots); ++i)
    sectors.push_back(Le32(Field(0x4C + 4 * i)));
  std::vector<bool> seen(sectorsPresent_, false);
  extensions_.clear();
  uint32_t extension = Le32(Field(0x44));
  const uint32_t perExtension = sectorSize_ / 4 - 1;
  while (sectors.size() < fatCount) {
    if (extension >= sectorsPresent_ || seen[extension])
      throw Fault{"the FAT's sector list loops or leaves the file"};
    seen[extension] = true;
    extensions_.push_back(extension);
    const std::vector<uint8_t> block = ReadSector(extension);
    for (uint32_t i = 0; i < perExtension && sectors.size() < fatCount; ++i)
      sectors.push_back(Le32(block.data() + 4 * i));
    extension = Le32(block.data() + 4 * perExtension);
  }
  return sectors;
}

void Checker::ReadFat() {
  const uint32_t fatCount = Le32(Field(0x2C));
  if (fatCount == 0 || fatCount > sectorsPresent_) throw Fault{"the FAT's size is impossible"};
  const std::vector<uint32_t> sectors = ListFatSectors(fatCount);
  std::vector<bool> seen(sectorsPresent_, false);
  for (uint32_t sector : sectors) {
    if (sector >= sectorsPresent_ || seen[sector]) throw Fault{"a FAT sector leaves the file"};
    seen[sector] = true;
  }
  // Only the FAT sectors that describe sectors present are read: a huge
  // declared FAT costs no memory.
  const uint32_t perSector = sectorSize_ / 4;
  const uint64_t needed = std::min<uint64_t>(sectors.size(), (sectorsPresent_ + perSector - 1) / perSector);
  for (uint64_t i = 0; i < needed; ++i) {
    const std::vector<uint8_t> block = ReadSector(sectors[i]);
    for (uint32_t j = 0; j < perSector; ++j) fat_.next.push_back(Le32(block.data() + 4 * j));
  }
  fat_.Limit(sectorsPresent_);
  ClaimOwnSectors(sectors);
}

// The FAT's own sectors belong to no chain.
void Checker::ClaimOwnSectors(const std::vector<uint32_t>& sectors) {
  ++fat_.walks;
  for (const std::vector<uint32_t>* list : {&sectors, static_cast<const std::vector<uint32_t>*>(&extensions_)})
    for (uint32_t sector : *list)
      if (sector < fat_.usable) fat_.walkOf[sector] = fat_.walks;
}

void Checker::ReadDirectory() {
  const std::vector<uint32_t> chain = fat_.Walk(Le32(Field(0x30)), "the directory chain");
  const bool wideSizes = sectorSize_ != 512;  // 512-byte files keep only 32 bits of a size
  for (uint32_t sector : chain) {
    const std::vector<uint8_t> block = ReadSector(sector);
    for (uint32_t at = 0; at + kEntrySize <= sectorSize_; at += kEntrySize) {
      const uint8_t* e = block.data() + at;
      const uint64_t size = wideSizes ? Le64(e + 0x78) : Le32(e + 0x78);
      entries_.push_back({e[0x42], Le32(e + 0x44), Le32(e + 0x48), Le32(e + 0x4C), Le32(e + 0x74), size});
    }
  }
  if (entries_.empty() || entries_[0].type != kRootEntry) throw Fault{"there is no root entry"};
}

// The root entry's chain holds the mini stream; the mini-FAT links its
// 64-byte sectors.
void Checker::CheckMiniStream() {
  const Entry& root = entries_[0];
  const bool empty = root.size == 0 && root.start >= kLastRegularSector;
  const std::vector<uint32_t> streamChain =
      empty ? std::vector<uint32_t>() : fat_.Walk(root.start, "the mini stream", root.size == 0);
  ExpectCovers(streamChain.size(), sectorSize_, root.size, "the mini stream");
  const std::vector<uint32_t> miniFatChain = fat_.Walk(Le32(Field(0x3C)), "the mini-FAT chain");
  for (uint32_t sector : miniFatChain) {
    const std::vector<uint8_t> block = ReadSector(sector);
    for (uint32_t j = 0; j < sectorSize_ / 4; ++j) miniFat_.next.push_back(Le32(block.data() + 4 * j));
  }
  miniFat_.Limit((root.size + kMiniSectorSize - 1) / kMiniSectorSize);
}

// Every entry reachable from the root, each reached once.
void Checker::CheckTree() {
  std::vector<bool> reached(entries_.size(), false);
  std::vector<uint32_t> pending{entries_[0].child};
  while (!pending.empty()) {
    const uint32_t index = pending.back();
    pending.pop_back();
    if (index == kNoEntry) continue;
    if (index >= entries_.size()) throw Fault{"a directory link leaves the directory"};
    if (reached[index]) throw Fault{"the directory links loop"};
    reached[index] = true;
    const Entry& entry = entries_[index];
    if (entry.type == kStreamEntry) {
      CheckStream(entry);
    } else if (entry.type == kStorageEntry) {
      pending.push_back(entry.child);
    } else {
      throw Fault{"a directory link reaches an unused entry"};
    }
    pending.push_back(entry.left);
    pending.push_back(entry.right);
  }
}

void Checker::CheckStream(const Entry& entry) {
  if (entry.size == 0 && entry.start >= kLastRegularSector) return;
  const bool small = entry.size < kMiniStreamCutoff;
  ChainTable& table = small ? miniFat_ : fat_;
  const std::vector<uint32_t> chain = table.Walk(entry.start, "a stream's chain", entry.size == 0);
  ExpectCovers(chain.size(), small ? kMiniSectorSize : sectorSize_, entry.size, "a stream");
}

void Checker::ExpectCovers(size_t sectors, uint32_t sectorSize, uint64_t size, const char* what) {
  if (size > static_cast<uint64_t>(sectors) * sectorSize)
    throw Fault{std::string(what) + " is longer than its chain"};
}

// A sector as the storage code reads it: zero-padded past the file's end.
std::vector<uint8_t> Checker::ReadSector(uint32_t sector) const {
  std::vector<uint8_t> block(sectorSize_, 0);
  const uint64_t offset = (static_cast<uint64_t>(sector) + 1) * sectorSize_;
  const uint64_t count = std::min<uint64_t>(sectorSize_, fileSize_ - offset);
  if (!readAt_(offset, block.data(), static_cast<size_t>(count))) throw Fault{"a sector cannot be read"};
  return block;
}

}  // namespace

std::string CheckCompoundFile(uint64_t fileSize, const CompoundReadAt& readAt) {
  try {
    Checker(fileSize, readAt).Run();
  } catch (const Fault& fault) {
    return fault.what;
  }
  return std::string();
}

std::string CheckCompoundFile(const void* bytes, size_t size) {
  const auto* data = static_cast<const uint8_t*>(bytes);
  return CheckCompoundFile(size, [&](uint64_t offset, void* buffer, size_t count) {
    if (offset > size || count > size - offset) return false;
    std::memcpy(buffer, data + offset, count);
    return true;
  });
}

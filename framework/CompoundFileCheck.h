// CheckCompoundFile: walks a compound file's structure (header, FAT and its
// extension list, directory, mini-FAT, mini stream and every stream's chain)
// before the system's storage code is handed the file. That code follows a
// looping chain forever, so a file is refused when any chain loops, leaves
// the file, shares a sector with another chain or is shorter than the size
// it claims. Every walk is bounded by the file's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Reads `count` bytes at `offset`; false when they cannot all be read.
using CompoundReadAt = std::function<bool(uint64_t offset, void* buffer, size_t count)>;

// Empty when the structure is sound, else a short description of the fault.
std::string CheckCompoundFile(uint64_t fileSize, const CompoundReadAt& readAt);
// The same over a file held in memory.
std::string CheckCompoundFile(const void* bytes, size_t size);

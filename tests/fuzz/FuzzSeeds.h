// Seed hook of the fuzz targets that make their own seeds: with
// OVELIN_FUZZ_WRITE_SEEDS=DIR the target writes them there and stops.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

inline void WriteSeedFile(const std::string& path, const void* data, size_t size) {
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, out);
    std::fclose(out);
  }
}

// Called from LLVMFuzzerInitialize.
inline void WriteSeedsWhenAsked(void (*write)(const std::string& folder)) {
  if (const char* folder = std::getenv("OVELIN_FUZZ_WRITE_SEEDS")) {
    write(folder);
    std::exit(0);
  }
}

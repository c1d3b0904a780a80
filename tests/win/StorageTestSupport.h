// Compound files read with the platform's storage functions, for tests of
// the document file.
#pragma once

#include "framework/Platform.h"

#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

// The bytes of stream "Contents" of a compound file, read with the raw API.
inline std::string ContentsStream(const std::string& path) {
  IStorage* storage = nullptr;
  const std::wstring wide(path.begin(), path.end());
  EXPECT_EQ(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                           &storage),
            S_OK);
  if (!storage) return {};
  IStream* stream = nullptr;
  EXPECT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream),
            S_OK);
  std::string bytes;
  if (stream) {
    char chunk[256];
    ULONG n = 0;
    while (SUCCEEDED(stream->Read(chunk, sizeof chunk, &n)) && n > 0) bytes.append(chunk, n);
    stream->Release();
  }
  storage->Release();
  return bytes;
}

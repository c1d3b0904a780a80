#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "framework/OleStorage.h"
#include "tests/portable/TempFolder.h"

namespace {

std::string ReadAll(CArchive& archive) {
  std::string bytes;
  char chunk[256];
  for (UINT n; (n = archive.Read(chunk, sizeof chunk)) > 0;) bytes.append(chunk, n);
  return bytes;
}

// The bytes of stream "Contents" of a compound file, read with the raw API.
std::string ContentsStream(const std::string& path) {
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

int FilesIn(const TempFolder& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++count;
  return count;
}

}  // namespace

TEST(DocumentStorage, WritesContentsStreamAndReadsItBack) {
  TempFolder folder;
  const std::string path = folder.File("eq.qvm");
  WriteDocumentFile(path.c_str(), [](CArchive& ar) { ar << CString("QVM") << static_cast<WORD>(1); });
  const std::wstring wide(path.begin(), path.end());
  EXPECT_EQ(StgIsStorageFile(wide.c_str()), S_OK);
  EXPECT_EQ(ContentsStream(path), std::string("\x03QVM\x01\x00", 6));

  CString marker;
  WORD version = 0;
  ReadDocumentFile(path.c_str(), [&](CArchive& ar) { ar >> marker >> version; });
  EXPECT_EQ(marker, "QVM");
  EXPECT_EQ(version, 1);
  EXPECT_EQ(FilesIn(folder), 1);  // no temporary file left behind
}

TEST(DocumentStorage, FlatFilesAreReadFromTheirFirstByte) {
  TempFolder folder;
  const std::string path = folder.File("old.ov3");
  TempFolder::Write(path, "\x07QVM3DOC rest");
  std::string bytes;
  ReadDocumentFile(path.c_str(), [&](CArchive& ar) { bytes = ReadAll(ar); });
  EXPECT_EQ(bytes, "\x07QVM3DOC rest");
}

TEST(DocumentStorage, FailedSaveLeavesTheOldFile) {
  TempFolder folder;
  const std::string path = folder.File("keep.qvm");
  TempFolder::Write(path, "old contents");
  EXPECT_THROW(WriteDocumentFile(path.c_str(),
                                 [](CArchive& ar) {
                                   ar << CString("QVM");
                                   AfxThrowFileException(CFileException::diskFull);
                                 }),
               CFileException);
  EXPECT_EQ(TempFolder::Read(path), "old contents");
  EXPECT_EQ(FilesIn(folder), 1);

  const std::string nowhere = folder.File("missing\\x.qvm");
  EXPECT_THROW(WriteDocumentFile(nowhere.c_str(), [](CArchive& ar) { ar << 1; }), CFileException);
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

TEST(DocumentStorage, MissingOrTruncatedFilesThrow) {
  TempFolder folder;
  EXPECT_THROW(ReadDocumentFile(folder.File("none.qvm").c_str(), [](CArchive&) {}), CFileException);
  const std::string path = folder.File("short.qvm");
  WriteDocumentFile(path.c_str(), [](CArchive& ar) { ar << CString("QVM"); });
  EXPECT_THROW(ReadDocumentFile(path.c_str(),
                                [](CArchive& ar) {
                                  CString s;
                                  WORD w;
                                  ar >> s >> w;
                                }),
               CArchiveException);
}

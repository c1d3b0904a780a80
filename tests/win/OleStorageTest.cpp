#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/document/DocumentArchive.h"
#include "framework/OleStorage.h"
#include "tests/portable/TempFolder.h"
#include "tests/win/StorageTestSupport.h"

namespace {

std::string ReadAll(CArchive& archive) {
  std::string bytes;
  char chunk[256];
  for (UINT n; (n = archive.Read(chunk, sizeof chunk)) > 0;) bytes.append(chunk, n);
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

// A saved document's compound file cut short or with bytes changed: the
// storage functions and the loader read it or throw the class library's
// exceptions, and nothing else happens.
TEST(DocumentStorage, DamagedCompoundFilesReadOrFailCleanly) {
  TempFolder folder;
  const std::string path = folder.File("doc.qvm");
  QVEquationList list;
  QVMOptions options;
  list.Lines[0] = "x=(-b+-sqrt(b^2-4ac))/(2a)";
  list.Formats[0].Bold = true;
  WriteDocumentFile(path.c_str(), [&](CArchive& ar) { StoreDocumentArchive(ar, list, options); });
  const std::string good = TempFolder::Read(path);
  std::vector<std::string> damaged;
  for (size_t length = 0; length < good.size(); length += 61) damaged.push_back(good.substr(0, length));
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    std::string flipped = good;
    for (int k = 0; k < 1 + round % 8; ++k)
      flipped[random() % flipped.size()] = static_cast<char>(random() & 0xFF);
    damaged.push_back(flipped);
  }
  int loaded = 0, failed = 0;
  for (const std::string& bytes : damaged) {
    TempFolder::Write(path, bytes);
    QVEquationList into;
    QVMOptions intoOptions;
    try {
      ReadDocumentFile(path.c_str(),
                       [&](CArchive& ar) { LoadDocumentArchive(ar, into, intoOptions); });
      ++loaded;
    } catch (const CException&) {
      ++failed;
      EXPECT_EQ(into.Lines[0], "");  // a failed load hands nothing over
    }
  }
  EXPECT_EQ(loaded + failed, static_cast<int>(damaged.size()));
  EXPECT_GT(failed, 0);
  EXPECT_GT(loaded, 0);
}

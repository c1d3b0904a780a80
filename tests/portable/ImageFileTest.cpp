#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "ImageTestSupport.h"
#include "imaging/ImageFile.h"

namespace {

TEST(ImageMemFile, GrowthSteps) {
  ImageMemFile bytewise;
  ASSERT_TRUE(bytewise.Open());
  EXPECT_FALSE(bytewise.Open());
  for (int i = 0; i < 5000; ++i) {
    ASSERT_TRUE(bytewise.PutC(BYTE(i)));
    if (i == 4095) {
      EXPECT_EQ(bytewise.GetCapacity(), 4096u);
    }
    if (i == 4096) {
      EXPECT_EQ(bytewise.GetCapacity(), 8192u);
    }
  }
  EXPECT_EQ(bytewise.Size(), 5000);
  ImageMemFile block;
  block.Open();
  Bytes data(4096, 1);
  EXPECT_EQ(block.Write(data.data(), 1, data.size()), 4096u);
  EXPECT_EQ(block.GetCapacity(), 8192u);
}

TEST(ImageMemFile, SeekRules) {
  ImageMemFile file;
  file.Open();
  file.Write("abcdef", 1, 6);
  EXPECT_TRUE(file.Seek(-10, SEEK_SET));
  EXPECT_EQ(file.Tell(), 0);
  EXPECT_TRUE(file.Seek(10, SEEK_END));
  EXPECT_EQ(file.Tell(), 16);
  EXPECT_TRUE(file.Eof());
  EXPECT_EQ(file.GetC(), EOF);
  EXPECT_FALSE(file.Seek(0, 99));
  ImageMemFile closed;
  EXPECT_FALSE(closed.Seek(0, SEEK_SET));
  EXPECT_EQ(closed.Tell(), -1);
  EXPECT_EQ(closed.Size(), -1);
  EXPECT_TRUE(closed.Eof());
  EXPECT_EQ(closed.Error(), -1);
}

// Writing after a seek past the end leaves zeros in the gap, not heap bytes.
TEST(ImageMemFile, GapAfterSeekIsZeroFilled) {
  ImageMemFile file;
  file.Open();
  file.Write("xy", 1, 2);
  file.Seek(100, SEEK_SET);
  file.PutC('z');
  ASSERT_EQ(file.Size(), 101);
  const BYTE* data = file.GetBuffer(false);
  for (int i = 2; i < 100; ++i) ASSERT_EQ(data[i], 0) << i;
  EXPECT_EQ(data[100], 'z');
}

// A buffer the caller owns is copied on growth, never reallocated or freed.
TEST(ImageMemFile, CallerBufferIsNeverReallocated) {
  BYTE* mine = static_cast<BYTE*>(std::malloc(4));
  std::memcpy(mine, "1234", 4);
  {
    ImageMemFile file(mine, 4);
    file.Seek(0, SEEK_END);
    Bytes more(10000, 7);
    EXPECT_EQ(file.Write(more.data(), 1, more.size()), more.size());
    EXPECT_NE(file.GetBuffer(false), mine);
    EXPECT_EQ(std::memcmp(file.GetBuffer(false), "1234", 4), 0);
  }
  EXPECT_EQ(std::memcmp(mine, "1234", 4), 0);
  std::free(mine);
}

TEST(ImageMemFile, ReadAndDetach) {
  Bytes data = {1, 2, 3, 4, 5};
  ImageMemFile file(data.data(), data.size());
  BYTE out[4] = {};
  EXPECT_EQ(file.Read(out, 2, 2), 2u);
  EXPECT_EQ(file.Read(out, 2, 2), 0u);  // one byte left: no whole item
  EXPECT_EQ(file.Tell(), 5);
  ImageMemFile owned;
  owned.Open();
  owned.PutC(9);
  BYTE* detached = owned.GetBuffer(true);
  owned.Close();
  EXPECT_EQ(detached[0], 9);
  std::free(detached);
}

TEST(ImageIOFile, MapsOntoStdio) {
  TempFolder folder;
  const std::string path = folder.File("io.bin");
  {
    ImageIOFile file;
    ASSERT_TRUE(file.Open(path.c_str(), "wb"));
    EXPECT_TRUE(file.PutC('A'));
    EXPECT_EQ(file.Write("BCD", 1, 3), 3u);
    EXPECT_EQ(file.Size(), 4);
    EXPECT_EQ(file.Tell(), 4);
  }
  FILE* stream = std::fopen(path.c_str(), "rb");
  ASSERT_NE(stream, nullptr);
  {
    ImageIOFile file(stream);
    EXPECT_EQ(file.GetC(), 'A');
    EXPECT_TRUE(file.Seek(-1, SEEK_END));
    EXPECT_EQ(file.GetC(), 'D');
    EXPECT_EQ(file.GetC(), EOF);
    EXPECT_TRUE(file.Eof());
    EXPECT_TRUE(file.Close());  // not owned: stays open
  }
  EXPECT_EQ(std::fclose(stream), 0);
  ImageIOFile none;
  EXPECT_EQ(none.Tell(), -1);
  EXPECT_EQ(none.Error(), -1);
}

}  // namespace

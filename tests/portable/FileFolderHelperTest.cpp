#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "controls/FileFolderHelper.h"

namespace fs = std::filesystem;

namespace {

// A path as the helper writes it: backslashes only.
CString Backslashed(const fs::path& path) {
  std::string text = path.string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return CString(text);
}

std::vector<std::string> Strings(const CStringArray& array) {
  std::vector<std::string> out;
  for (const CString& item : array) out.push_back(item.str());
  return out;
}

// Each test gets a fresh temporary folder and its current folder back.
class FileFolderHelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedCurrent_ = fs::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / (std::string("ovelin-ffh-") + info->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
    root_ = fs::canonical(root_);
  }
  void TearDown() override {
    fs::current_path(savedCurrent_);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  void Touch(const fs::path& relative) {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative) << "x";
  }
  // The root as the helper qualifies it, with its trailing backslash.
  CString QualifiedRoot() const { return Backslashed(root_) + "\\"; }

  fs::path root_;
  fs::path savedCurrent_;
  CFileFolderHelper helper_;
};

}  // namespace

TEST_F(FileFolderHelperTest, ListsMatchingFilesAcrossSubfoldersInOrder) {
  Touch("tip2.html");
  Touch("tip1.html");
  Touch("notes.txt");
  Touch("x/tip3.html");
  Touch("x/readme.html");
  fs::create_directories(root_ / "y");

  CStringArray files;
  ASSERT_TRUE(helper_.ListFilesMatching("tip*.html", Backslashed(root_), files, false))
      << helper_.GetErrorText().str();
  EXPECT_EQ(Strings(files), (std::vector<std::string>{"tip1.html", "tip2.html", "x\\tip3.html"}));
  EXPECT_TRUE(helper_.GetErrorText().IsEmpty());

  CStringArray full;
  ASSERT_TRUE(helper_.ListFilesMatching("tip*.html", Backslashed(root_), full, true));
  ASSERT_EQ(full.GetSize(), 3);
  EXPECT_EQ(full[0], QualifiedRoot() + "tip1.html");
  EXPECT_EQ(full[2], QualifiedRoot() + "x\\tip3.html");
}

TEST_F(FileFolderHelperTest, ListsOneFolderSortedAndAppends) {
  Touch("b.txt");
  Touch("c.txt");
  Touch("a.txt");
  Touch("sub/d.txt");
  CStringArray files;
  files.Add("kept");
  ASSERT_TRUE(helper_.ListFilesInFolder("*.txt", Backslashed(root_), files, false));
  EXPECT_EQ(Strings(files), (std::vector<std::string>{"kept", "a.txt", "b.txt", "c.txt"}));

  CStringArray none;
  EXPECT_TRUE(helper_.ListFilesInFolder("*.gif", Backslashed(root_), none, false));
  EXPECT_EQ(none.GetSize(), 0);
}

TEST_F(FileFolderHelperTest, ParentFolderResolvesAgainstCurrentFolder) {
  fs::create_directories(root_ / "a" / "b");
  fs::current_path(root_ / "a" / "b");
  const CString expected = Backslashed(root_ / "a") + "\\data\\";

  CString folder("..\\data\\");
  ASSERT_TRUE(helper_.MakeFolderAbsolute(folder));
  EXPECT_EQ(folder, expected);
  CString slashed("../data");
  ASSERT_TRUE(helper_.MakeFolderAbsolute(slashed));
  EXPECT_EQ(slashed, expected);
  CString file("..\\..\\a\\b\\c.txt");
  ASSERT_TRUE(helper_.MakePathAbsolute(file));
  EXPECT_EQ(file, Backslashed(root_ / "a" / "b") + "\\c.txt");
  EXPECT_EQ(fs::current_path(), root_ / "a" / "b");
}

TEST_F(FileFolderHelperTest, RelativeFolderListsFromCurrentFolder) {
  Touch("tip1.html");
  fs::current_path(root_);
  CStringArray files;
  ASSERT_TRUE(helper_.ListFilesMatching("tip*.html", ".", files, true));
  EXPECT_EQ(Strings(files), std::vector<std::string>{(QualifiedRoot() + "tip1.html").str()});
  EXPECT_EQ(fs::current_path(), root_);
}

TEST_F(FileFolderHelperTest, NoDoubleBackslashAtDriveRoot) {
  fs::create_directories(root_ / "a");
  fs::current_path(root_ / "a");
  const CString driveRoot = Backslashed(root_.root_path());
  const char* const paths[] = {"\\name.txt", "..\\..\\..\\..\\..\\..\\..\\..\\..\\..\\name.txt"};
  for (const char* text : paths) {
    CString path(text);
    ASSERT_TRUE(helper_.MakePathAbsolute(path)) << text;
    EXPECT_EQ(path, driveRoot + "name.txt") << text;
  }
  CString folder("\\");
  ASSERT_TRUE(helper_.MakeFolderAbsolute(folder));
  EXPECT_EQ(folder, driveRoot);
}

TEST_F(FileFolderHelperTest, KeepsDriveAndNetworkPaths) {
  CString drive("C:/data/x.txt");
  ASSERT_TRUE(helper_.MakePathAbsolute(drive));
  EXPECT_EQ(drive, "C:\\data\\x.txt");
  CString network("//server/share");
  ASSERT_TRUE(helper_.MakeFolderAbsolute(network));
  EXPECT_EQ(network, "\\\\server\\share\\");
}

TEST_F(FileFolderHelperTest, RefusesWildcardsAndColons) {
  fs::current_path(root_);
  const char* const bad[] = {"da?ta", "data*", "ab:c\\d", "C:\\x\\a:b", "C:\\x?\\y"};
  for (const char* text : bad) {
    CString folder(text);
    EXPECT_FALSE(helper_.MakeFolderAbsolute(folder)) << text;
    EXPECT_EQ(helper_.GetErrorText(), CFileFolderHelper::kInternalError) << text;
    CStringArray files;
    EXPECT_FALSE(helper_.ListFilesMatching("*.txt", text, files, false)) << text;
    EXPECT_EQ(files.GetSize(), 0);
  }
  CStringArray files;
  EXPECT_FALSE(helper_.ListFilesInFolder("..\\*.txt", Backslashed(root_), files, false));
  EXPECT_EQ(helper_.GetErrorText(), CFileFolderHelper::kInternalError);
  EXPECT_EQ(fs::current_path(), root_);
}

TEST_F(FileFolderHelperTest, FolderExistsTestsFolders) {
  Touch("file.txt");
  EXPECT_FALSE(helper_.FolderExists(""));
  EXPECT_EQ(helper_.GetErrorText(), CFileFolderHelper::kInternalError);
  EXPECT_TRUE(helper_.FolderExists(Backslashed(root_)));
  EXPECT_TRUE(helper_.GetErrorText().IsEmpty());
  EXPECT_FALSE(helper_.FolderExists(Backslashed(root_ / "file.txt")));
  EXPECT_FALSE(helper_.FolderExists(Backslashed(root_ / "missing")));

  CStringArray files;
  EXPECT_FALSE(helper_.ListFilesMatching("*", Backslashed(root_ / "missing"), files, false));
  EXPECT_EQ(files.GetSize(), 0);
  EXPECT_FALSE(helper_.GetErrorText().IsEmpty());
}

TEST_F(FileFolderHelperTest, SubfoldersDepthFirstWithoutPrefix) {
  fs::create_directories(root_ / "a" / "inner");
  fs::create_directories(root_ / "b");
  Touch("a/file.txt");
  CStringArray folders;
  ASSERT_TRUE(helper_.ListSubfolders(Backslashed(root_), folders, false));
  EXPECT_EQ(Strings(folders), (std::vector<std::string>{"a", "a\\inner", "b"}));
  CStringArray full;
  ASSERT_TRUE(helper_.ListSubfolders(Backslashed(root_), full));
  ASSERT_EQ(full.GetSize(), 3);
  EXPECT_EQ(full[1], QualifiedRoot() + "a\\inner");
}

TEST_F(FileFolderHelperTest, StopsAtMaximumDepth) {
  fs::path deep = root_;
  for (int i = 0; i < CFileFolderHelper::kMaxFolderDepth + 8; ++i) deep /= "d";
  fs::create_directories(deep);
  CStringArray folders;
  ASSERT_TRUE(helper_.ListSubfolders(Backslashed(root_), folders, false));
  ASSERT_EQ(folders.GetSize(), CFileFolderHelper::kMaxFolderDepth);
  EXPECT_EQ(folders[folders.GetUpperBound()].GetLength(), 2 * CFileFolderHelper::kMaxFolderDepth - 1);
}

TEST_F(FileFolderHelperTest, DoesNotFollowFolderLinks) {
  fs::create_directories(root_ / "x");
  Touch("x/tip1.html");
  std::error_code error;
  fs::create_directory_symlink(root_, root_ / "x" / "loop", error);
  if (error) GTEST_SKIP() << "no folder links here: " << error.message();

  CStringArray folders;
  ASSERT_TRUE(helper_.ListSubfolders(Backslashed(root_), folders, false));
  EXPECT_EQ(Strings(folders), std::vector<std::string>{"x"});
  CStringArray files;
  ASSERT_TRUE(helper_.ListFilesMatching("tip*.html", Backslashed(root_), files, false));
  EXPECT_EQ(Strings(files), std::vector<std::string>{"x\\tip1.html"});
}

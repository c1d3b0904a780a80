#include <gtest/gtest.h>

#include "controls/FileFolderHelper.h"
#include "controls/NumberText.h"
#include "controls/TextHelpers.h"

namespace {

// A hidden edit window, destroyed with the object.
class EditWindow {
 public:
  explicit EditWindow(const char* text)
      : window_(CreateWindowExA(0, "EDIT", text, WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr)) {}
  ~EditWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  EditWindow(const EditWindow&) = delete;
  EditWindow& operator=(const EditWindow&) = delete;
  HWND get() const { return window_; }
  void Select(int start, int end) const { SendMessageA(window_, EM_SETSEL, start, end); }

 private:
  HWND window_;
};

}  // namespace

TEST(GetEditSelectedText, CutsTextToSelection) {
  EditWindow edit("hello world");
  ASSERT_NE(edit.get(), nullptr);
  edit.Select(6, 11);
  EXPECT_EQ(GetEditSelectedText(edit.get()), "world");
  edit.Select(11, 6);  // the control orders the ends itself
  EXPECT_EQ(GetEditSelectedText(edit.get()), "world");
  edit.Select(3, 3);
  EXPECT_EQ(GetEditSelectedText(edit.get()), "");
  edit.Select(0, -1);
  EXPECT_EQ(GetEditSelectedText(edit.get()), "hello world");
}

TEST(GetEditSelectedText, EmptyEditGivesEmptyText) {
  EditWindow edit("");
  ASSERT_NE(edit.get(), nullptr);
  edit.Select(0, -1);
  EXPECT_EQ(GetEditSelectedText(edit.get()), "");
}

TEST(LocaleSeparators, FailedQueryFallsBackToPoint) {
  LocaleSeparators separators;
  separators.decimalSeparator = 0;
  separators.listSeparator = 0;
  const LCID unknown = 0x7ABC;
  EXPECT_EQ(separators.ReadDecimalSeparator(unknown), 0);
  EXPECT_EQ(separators.ReadListSeparator(unknown), 0);
  EXPECT_EQ(separators.decimalSeparator, '.');
  EXPECT_EQ(separators.listSeparator, ',');
}

TEST(IsAllLowerCase, FoldsAnsiLetters) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
  EXPECT_TRUE(IsAllLowerCase("\xE9t\xE9"));
  EXPECT_FALSE(IsAllLowerCase("\xC9t\xE9"));
}

TEST(FileFolderHelper, FeedbackWindowShowsErrors) {
  EditWindow feedback("");
  ASSERT_NE(feedback.get(), nullptr);
  CFileFolderHelper helper;
  helper.SetFeedbackWindow(feedback.get());
  CString folder("a?b");
  EXPECT_FALSE(helper.MakeFolderAbsolute(folder));
  char text[128] = {};
  GetWindowTextA(feedback.get(), text, sizeof text);
  EXPECT_STREQ(text, CFileFolderHelper::kInternalError);
}

// Reset Options and Write Default Configuration when the configuration file
// cannot be written: each failure is told, with what stopped it, and no
// success follows.
#include <filesystem>

#include "resources/resource.h"
#include "tests/app/AppFixture.h"

namespace {

using ConfigurationWrite = AppTest;

TEST_F(ConfigurationWrite, AFailedWriteIsToldEveryTimeAndNotAsSuccess) {
  QVIniFile probe;
  const std::string path(probe.ProgramFolderPath("QVM3_Default"));
  // The file beside the program is marked read-only: it stays as it is.
  const std::string old = "[Old]\r\nv=1\r\n\r\n";
  TempFolder::Write(path, old);
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string failure = "Unable to write file " + path +
                              ".\r\n\r\nThe file is read-only.  Clear its read-only mark to save to it.";
  TakeShownBoxes();

  QueueBoxAnswers({IDOK});
  app->OnCmdMsg(ID_RESET_OPTIONS, CN_COMMAND, nullptr, nullptr);
  auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "About to reset all options to original default values");
  EXPECT_EQ(boxes[1].text, failure);

  for (int time = 0; time < 2; ++time) {
    app->RefocusEdit = 0;
    app->OnCmdMsg(ID_WRITE_DEFAULT_CONFIG, CN_COMMAND, nullptr, nullptr);
    boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, failure);
    EXPECT_EQ(app->RefocusEdit, 1);
  }
  EXPECT_EQ(TempFolder::Read(path), old);
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove(path);
}

}  // namespace

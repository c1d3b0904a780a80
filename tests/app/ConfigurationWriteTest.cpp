// Reset Options and Write Default Configuration when the configuration file
// cannot be written: the failure is told once and no success follows.
#include <filesystem>

#include "resources/resource.h"
#include "tests/app/AppFixture.h"

namespace {

using ConfigurationWrite = AppTest;

TEST_F(ConfigurationWrite, AFailedWriteIsToldOnceAndNotAsSuccess) {
  QVIniFile probe;
  const std::string path(probe.ProgramFolderPath("QVM3_Default"));
  std::filesystem::remove(path);
  // The file cannot be made beside the program: where the store writes
  // first, a folder stands in the way (a folder without write permission
  // does not stop a process running as root).
  const std::string blocker = path + ".tmp";
  ASSERT_TRUE(std::filesystem::create_directory(blocker));
  TakeShownBoxes();

  QueueBoxAnswers({IDOK});
  app->OnCmdMsg(ID_RESET_OPTIONS, CN_COMMAND, nullptr, nullptr);
  auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "About to reset all options to original default values");
  EXPECT_EQ(boxes[1].text.rfind("Unable to write file " + path, 0), 0u) << boxes[1].text;

  app->RefocusEdit = 0;
  app->OnCmdMsg(ID_WRITE_DEFAULT_CONFIG, CN_COMMAND, nullptr, nullptr);
  boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text.rfind("Unable to write file ", 0), 0u) << boxes[0].text;
  EXPECT_EQ(app->RefocusEdit, 1);
  EXPECT_FALSE(std::filesystem::exists(path));
  std::filesystem::remove(blocker);
}

}  // namespace

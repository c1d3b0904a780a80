// ovelin.exe as a program of its own: it starts with one document window,
// writes its settings into the per-user folder "Marvolk", opens a file named
// on its command line, and ends cleanly at a posted WM_CLOSE without any
// message box.
#include <cstdlib>
#include <string>

#include "tests/app/AppFixture.h"
#include "tests/app/RunningProgram.h"

namespace {

TEST(Program, StartsWithOneDocumentWritesItsSettingsAndClosesCleanly) {
  TempFolder appData;
  RunningProgram program(appData.Path().string(), "");
  ASSERT_TRUE(program.Started());
  WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);
  EXPECT_FALSE(search.messageBox);
  HWND client = ::FindWindowExA(search.main, nullptr, "MDIClient", nullptr);
  HWND child = ::GetWindow(client, GW_CHILD);
  EXPECT_EQ(::GetWindow(child, GW_HWNDNEXT), nullptr);  // exactly one
  EXPECT_EQ(WindowText(child), "Ovelin41");
  const std::string settings = TempFolder::Read((appData.Path() / "Marvolk" / "QVM400.ini").string());
  EXPECT_NE(settings.find("Language=ENG"), std::string::npos);
  HoldForScreenshot();
  EXPECT_EQ(program.CloseAndWait(search.main), 0);
}

using ProgramWithFile = AppTest;

TEST_F(ProgramWithFile, OpensAFileNamedOnTheCommandLineAndShowsTheWindow) {
  const std::string path = SaveEquationFile("shown.qvm", "x=(-b+-sqrt(b^2-4ac))/(2a)\r\ny=x^2+1");
  ASSERT_FALSE(path.empty());

  RunningProgram program(appData.Path().string(), "\"" + path + "\"");
  ASSERT_TRUE(program.Started());
  WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);
  EXPECT_FALSE(search.messageBox);
  HWND client = ::FindWindowExA(search.main, nullptr, "MDIClient", nullptr);
  EXPECT_EQ(WindowText(::GetWindow(client, GW_CHILD)), "shown.qvm");
  HoldForScreenshot();
  EXPECT_EQ(program.CloseAndWait(search.main), 0);
}

// For screenshots: the program with a multi-line equation, held on screen,
// then with the symbols palette of the "Shortcuts" bar held open.
TEST_F(ProgramWithFile, ShowsAnEquationAndAnOpenPalette) {
  if (!std::getenv("OVELIN_SHOT_HOLD_MS")) GTEST_SKIP() << "set OVELIN_SHOT_HOLD_MS to look at it";
  const std::string path = SaveEquationFile("shot.qvm", "x=(-b+-sqrt(b^2-4ac))/(2a)\r\ny=al^2+be_1\r\nint_0^1 x^2 dx=1/3");
  ASSERT_FALSE(path.empty());

  RunningProgram program(appData.Path().string(), "\"" + path + "\"");
  WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);
  ::MoveWindow(search.main, 40, 30, 760, 560, TRUE);
  HoldForScreenshot();
  HWND shortcuts = ::FindWindowExA(search.main, nullptr, nullptr, "Shortcuts");
  ASSERT_NE(shortcuts, nullptr);
  RECT button{};
  ASSERT_TRUE(RemoteToolbarButtonRect(shortcuts, 3, button));
  const POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  SendMouse(centre);
  SendMouse(centre, MOUSEEVENTF_LEFTDOWN);
  SendMouse(POINT{button.right + 90, centre.y});
  HoldForScreenshot();
  SendMouse(POINT{5, 5}, MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(program.CloseAndWait(search.main), 0);
}

}  // namespace

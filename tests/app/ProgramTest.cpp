// ovelin.exe as a program of its own: it starts with one document window,
// writes its settings into the per-user folder "Marvolk", opens a file named
// on its command line, and ends cleanly at a posted WM_CLOSE without any
// message box.
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
  const std::string path = appData.File("shown.qvm");
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText("x=(-b+-sqrt(b^2-4ac))/(2a)\r\ny=x^2+1");
  ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
  doc->OnCloseDocument();

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

}  // namespace

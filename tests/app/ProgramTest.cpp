// ovelin.exe as a program of its own: it starts with one document window,
// writes its settings into the per-user folder "Marvolk", opens a file named
// on its command line, and ends cleanly at a posted WM_CLOSE without any
// message box.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/app/AppFixture.h"

namespace {

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + "ovelin.exe";
}

struct WindowSearch {
  DWORD processId;
  HWND main = nullptr;
  bool messageBox = false;
};

BOOL CALLBACK Inspect(HWND hWnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(hWnd, &owner);
  if (owner != search->processId || !::IsWindowVisible(hWnd)) return TRUE;
  char className[64] = {};
  ::GetClassNameA(hWnd, className, sizeof className);
  if (std::string(className) == "#32770") search->messageBox = true;
  if (::FindWindowExA(hWnd, nullptr, "MDIClient", nullptr)) search->main = hWnd;
  return TRUE;
}

// The program started with APPDATA pointing at a folder of the test.
class RunningProgram {
 public:
  RunningProgram(const std::string& appData, const std::string& arguments) {
    std::string commandLine = "\"" + ProgramPath() + "\" " + arguments;
    std::string saved;
    if (const char* value = std::getenv("APPDATA")) saved = value;
    ::SetEnvironmentVariableA("APPDATA", appData.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process_);
    ::SetEnvironmentVariableA("APPDATA", saved.empty() ? nullptr : saved.c_str());
  }
  ~RunningProgram() {
    if (!started_) return;
    // Guard: a program that did not end is ended, so no test leaves it behind.
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      ::TerminateProcess(process_.hProcess, 1);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
  }

  bool Started() const { return started_; }

  // The main window once it shows a document window; null after the timeout.
  WindowSearch WaitForDocumentWindow(DWORD timeoutMs = 20000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
      WindowSearch search{process_.dwProcessId};
      ::EnumWindows(Inspect, reinterpret_cast<LPARAM>(&search));
      HWND client = search.main ? ::FindWindowExA(search.main, nullptr, "MDIClient", nullptr) : nullptr;
      if (client && ::GetWindow(client, GW_CHILD)) return search;
      if (::GetTickCount() - start > timeoutMs) return WindowSearch{process_.dwProcessId};
      ::Sleep(100);
    }
  }

  // Posts WM_CLOSE and waits for the exit code; -1 when it did not end.
  long CloseAndWait(HWND main, DWORD timeoutMs = 20000) {
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION process_{};
  BOOL started_ = FALSE;
};

std::string WindowText(HWND hWnd) {
  char text[256] = {};
  ::GetWindowTextA(hWnd, text, sizeof text);
  return text;
}

// For a screenshot by hand: keeps the program up this many milliseconds.
void HoldForScreenshot() {
  if (const char* hold = std::getenv("OVELIN_SHOT_HOLD_MS")) ::Sleep(std::atoi(hold));
}

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

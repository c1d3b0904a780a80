// ovelin.exe as a separate process for the program tests.
#include "tests/app/RunningProgram.h"

#include <commctrl.h>

#include <cstdlib>

std::string OvelinExePath() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + "ovelin.exe";
}

namespace {

BOOL CALLBACK Inspect(HWND hWnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(hWnd, &owner);
  if (owner != search->processId || (!search->hiddenToo && !::IsWindowVisible(hWnd))) return TRUE;
  char className[64] = {};
  ::GetClassNameA(hWnd, className, sizeof className);
  if (std::string(className) == "#32770") search->messageBox = true;
  if (::FindWindowExA(hWnd, nullptr, "MDIClient", nullptr)) search->main = hWnd;
  return TRUE;
}

}  // namespace

WindowSearch FindDocumentWindow(DWORD processId, bool hiddenToo) {
  WindowSearch search{processId};
  search.hiddenToo = hiddenToo;
  ::EnumWindows(Inspect, reinterpret_cast<LPARAM>(&search));
  HWND client = search.main ? ::FindWindowExA(search.main, nullptr, "MDIClient", nullptr) : nullptr;
  if (!client || !::GetWindow(client, GW_CHILD)) search.main = nullptr;
  return search;
}

RunningProgram::RunningProgram(const std::string& appData, const std::string& arguments,
                               bool firstRun, const std::string& programPath, bool hidden)
    : hidden_(hidden) {
  const std::string settings = appData + "\\Marvolk\\QVM400.ini";
  char firstRunValue[8] = {};
  ::GetPrivateProfileStringA("QVCallHome", "FirstRun", "", firstRunValue, sizeof firstRunValue,
                             settings.c_str());
  if (!firstRun && !*firstRunValue) {
    ::CreateDirectoryA((appData + "\\Marvolk").c_str(), nullptr);
    ::WritePrivateProfileStringA("QVCallHome", "FirstRun", "0", settings.c_str());
  }
  std::string commandLine =
      "\"" + (programPath.empty() ? OvelinExePath() : programPath) + "\" " + arguments;
  std::string saved;
  if (const char* value = std::getenv("APPDATA")) saved = value;
  ::SetEnvironmentVariableA("APPDATA", appData.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (hidden) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  started_ = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process_);
  ::SetEnvironmentVariableA("APPDATA", saved.empty() ? nullptr : saved.c_str());
}

RunningProgram::~RunningProgram() {
  if (!started_) return;
  if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
    ::TerminateProcess(process_.hProcess, 1);
  ::CloseHandle(process_.hThread);
  ::CloseHandle(process_.hProcess);
}

WindowSearch RunningProgram::WaitForDocumentWindow(DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    WindowSearch search = FindDocumentWindow(process_.dwProcessId, hidden_);
    if (search.main) return search;
    if (::GetTickCount() - start > timeoutMs) return WindowSearch{process_.dwProcessId};
    ::Sleep(100);
  }
}

HWND RunningProgram::WaitForDialog(DWORD timeoutMs) {
  struct Search {
    DWORD processId;
    HWND dialog;
  } search{process_.dwProcessId, nullptr};
  const DWORD start = ::GetTickCount();
  do {
    ::EnumWindows(
        [](HWND hWnd, LPARAM param) -> BOOL {
          auto* s = reinterpret_cast<Search*>(param);
          DWORD owner = 0;
          ::GetWindowThreadProcessId(hWnd, &owner);
          char className[16] = {};
          ::GetClassNameA(hWnd, className, sizeof className);
          if (owner == s->processId && ::IsWindowVisible(hWnd) &&
              std::string(className) == "#32770" && ::GetWindowTextLengthA(hWnd) > 0)
            s->dialog = hWnd;
          return s->dialog == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.dialog) return search.dialog;
    ::Sleep(100);
  } while (::GetTickCount() - start < timeoutMs);
  return nullptr;
}

long RunningProgram::CloseAndWait(HWND main, DWORD timeoutMs) {
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<long>(code);
}

std::string WindowText(HWND hWnd) {
  char text[256] = {};
  ::GetWindowTextA(hWnd, text, sizeof text);
  return text;
}

std::string DocumentWindowTitles(HWND main) {
  std::string titles;
  HWND client = ::FindWindowExA(main, nullptr, "MDIClient", nullptr);
  for (HWND child = client ? ::GetWindow(client, GW_CHILD) : nullptr; child;
       child = ::GetWindow(child, GW_HWNDNEXT))
    titles += (titles.empty() ? "" : "|") + WindowText(child);
  return titles;
}

void HoldForScreenshot() {
  if (const char* hold = std::getenv("OVELIN_SHOT_HOLD_MS")) ::Sleep(std::atoi(hold));
}

bool RemoteToolbarButtonRect(HWND toolbar, int index, RECT& rect) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(toolbar, &processId);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return false;
  void* remote = ::VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote && ::SendMessageA(toolbar, TB_GETITEMRECT, index,
                                     reinterpret_cast<LPARAM>(remote)) &&
            ::ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
  if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  ::CloseHandle(process);
  if (ok) ::MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return ok;
}

std::string RemoteStatusText(HWND statusBar, int index) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(statusBar, &processId);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return "";
  char text[512] = {};
  void* remote = ::VirtualAllocEx(process, nullptr, sizeof text, MEM_COMMIT, PAGE_READWRITE);
  const auto length = LOWORD(::SendMessageA(statusBar, SB_GETTEXTLENGTHA, index, 0));
  if (remote && length < sizeof text) {
    ::SendMessageA(statusBar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(remote));
    ::ReadProcessMemory(process, remote, text, length, nullptr);
  }
  if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  ::CloseHandle(process);
  return text;
}


// The program's end: ovelin.exe returns from WinMain and its global objects
// are destroyed in the reverse order of their building. Watched from outside:
// the program runs under the debugging interface with a breakpoint at the
// start of each global's destructor, found in the program's symbol table.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/app/RunningProgram.h"
#include "tests/portable/TempFolder.h"

namespace {

struct Watch {
  const char* destructor;  // symbol of the complete-object destructor
  const char* object;      // symbol of the global it must be called on
  ULONG_PTR address = 0, objectAddress = 0;
  BYTE saved = 0;
};

// Fills in the watches' addresses (image-relative) from the program's COFF
// symbol table; false when one is missing.
bool FindSymbols(const std::string& program, std::vector<Watch>& watches) {
  const std::string image = TempFolder::Read(program);
  const char* base = image.data();
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const auto* sections = IMAGE_FIRST_SECTION(nt);
  const char* symbols = base + nt->FileHeader.PointerToSymbolTable;
  const char* strings = symbols + nt->FileHeader.NumberOfSymbols * IMAGE_SIZEOF_SYMBOL;
  int found = 0;
  for (DWORD i = 0; i < nt->FileHeader.NumberOfSymbols;) {
    const auto* symbol = reinterpret_cast<const IMAGE_SYMBOL*>(symbols + i * IMAGE_SIZEOF_SYMBOL);
    const auto* shortName = reinterpret_cast<const char*>(symbol->N.ShortName);
    const std::string name = symbol->N.Name.Short ? std::string(shortName, strnlen(shortName, 8))
                                                  : std::string(strings + symbol->N.Name.Long);
    if (symbol->SectionNumber > 0) {
      const ULONG_PTR rva = sections[symbol->SectionNumber - 1].VirtualAddress + symbol->Value;
      for (Watch& watch : watches) {
        if (name == watch.destructor && !watch.address) watch.address = rva, ++found;
        if (name == watch.object && !watch.objectAddress) watch.objectAddress = rva, ++found;
      }
    }
    i += 1 + symbol->NumberOfAuxSymbols;
  }
  return found == static_cast<int>(2 * watches.size());
}

// Puts a one-byte breakpoint at each watch, keeping the byte it replaces.
void Arm(HANDLE process, ULONG_PTR imageBase, std::vector<Watch>& watches) {
  const BYTE breakpoint = 0xCC;
  for (Watch& watch : watches) {
    watch.address += imageBase;
    watch.objectAddress += imageBase;
    auto* at = reinterpret_cast<void*>(watch.address);
    ::ReadProcessMemory(process, at, &watch.saved, 1, nullptr);
    ::WriteProcessMemory(process, at, &breakpoint, 1, nullptr);
  }
  ::FlushInstructionCache(process, nullptr, 0);
}

// At a watched breakpoint: the original byte back, the thread back to it,
// and what was hit ("!" after a destructor called on another object).
std::string Hit(const DEBUG_EVENT& event, HANDLE process, Watch& watch) {
  ::WriteProcessMemory(process, reinterpret_cast<void*>(watch.address), &watch.saved, 1, nullptr);
  ::FlushInstructionCache(process, nullptr, 0);
  HANDLE thread = ::OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, event.dwThreadId);
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
  ::GetThreadContext(thread, &context);
  context.Rip = watch.address;
  ::SetThreadContext(thread, &context);
  ::CloseHandle(thread);
  return std::string(watch.object) + (context.Rcx == watch.objectAddress ? "" : "!");
}

// Runs ovelin.exe under the debugging interface, closes its main window
// once it shows a document, and gives the watched destructors in the order
// they ran, and the exit code.
std::vector<std::string> DestructorsAtTheEnd(std::vector<Watch> watches, DWORD& exitCode) {
  TempFolder appData;  // a returning user's settings
  ::CreateDirectoryA(appData.File("Marvolk").c_str(), nullptr);
  ::WritePrivateProfileStringA("QVCallHome", "FirstRun", "0", appData.File("Marvolk\\QVM400.ini").c_str());
  char savedAppData[MAX_PATH] = {};
  ::GetEnvironmentVariableA("APPDATA", savedAppData, MAX_PATH);
  ::SetEnvironmentVariableA("APPDATA", appData.Path().string().c_str());
  std::string commandLine = "\"" + OvelinExePath() + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::vector<std::string> hits;
  const BOOL started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                        DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &info);
  ::SetEnvironmentVariableA("APPDATA", savedAppData);
  if (!started) return hits;
  HANDLE process = info.hProcess;
  bool closed = false;
  for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 60000;) {
    DEBUG_EVENT event{};
    if (!::WaitForDebugEvent(&event, 100)) {
      const WindowSearch search = FindDocumentWindow(info.dwProcessId);
      if (!closed && search.main) closed = ::PostMessageA(search.main, WM_CLOSE, 0, 0);
      continue;
    }
    DWORD status = DBG_CONTINUE;
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
      ::CloseHandle(event.u.CreateProcessInfo.hFile);
      Arm(process, reinterpret_cast<ULONG_PTR>(event.u.CreateProcessInfo.lpBaseOfImage), watches);
    } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
      ::CloseHandle(event.u.LoadDll.hFile);
    } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT) {
      const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
      const auto at = reinterpret_cast<ULONG_PTR>(record.ExceptionAddress);
      status = record.ExceptionCode == EXCEPTION_BREAKPOINT ? DBG_CONTINUE : DBG_EXCEPTION_NOT_HANDLED;
      for (Watch& watch : watches)
        if (record.ExceptionCode == EXCEPTION_BREAKPOINT && at == watch.address)
          hits.push_back(Hit(event, process, watch));
    } else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
      exitCode = event.u.ExitProcess.dwExitCode;
      ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
      break;
    }
    ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  ::TerminateProcess(process, 1);
  ::CloseHandle(info.hThread);
  ::CloseHandle(process);
  return hits;
}

TEST(ProgramEnd, GlobalsAreDestroyedInReverseOrder) {
  std::vector<Watch> watches = {
      {"_ZN15QVLocalization1D1Ev", "theLocalization"},
      {"_ZN9QVM400AppD1Ev", "theApp"},
      {"_ZN16QVScreenKeyboardD1Ev", "theScreenKeyboard"},
      {"_ZN20CLayeredWindowHelperD1Ev", "theLayeredWindowHelper"},
      {"_ZN17QVPreferenceStoreD1Ev", "thePreferenceStore"},
  };
  ASSERT_TRUE(FindSymbols(OvelinExePath(), watches)) << "symbols missing in ovelin.exe";
  DWORD exitCode = 1;
  EXPECT_EQ(DestructorsAtTheEnd(watches, exitCode),
            (std::vector<std::string>{"thePreferenceStore", "theLayeredWindowHelper",
                                      "theScreenKeyboard", "theApp", "theLocalization"}));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace

// The program's end: ovelin.exe returns from WinMain and its globals are
// destroyed in the reverse order of their building, watched from outside by
// running it under the debugging interface with a one-shot breakpoint at the
// start of each global's destructor (found in the program's symbol table).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/app/RunningProgram.h"
#include "tests/portable/TempFolder.h"

namespace {

struct Watch {
  const char* destructor;  // the complete-object destructor's symbol
  const char* object;      // the global's symbol
  ULONG_PTR at = 0, objectAt = 0;  // image-relative, then absolute
  BYTE saved = 0;
};

// Fills in the watches' addresses from the program's COFF symbol table.
void FindSymbols(const std::string& image, std::vector<Watch>& watches) {
  const char* base = image.data();
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const char* symbols = base + nt->FileHeader.PointerToSymbolTable;
  const char* strings = symbols + nt->FileHeader.NumberOfSymbols * IMAGE_SIZEOF_SYMBOL;
  for (DWORD i = 0; i < nt->FileHeader.NumberOfSymbols;) {
    const auto* symbol = reinterpret_cast<const IMAGE_SYMBOL*>(symbols + i * IMAGE_SIZEOF_SYMBOL);
    const auto* shortName = reinterpret_cast<const char*>(symbol->N.ShortName);
    const std::string name = symbol->N.Name.Short ? std::string(shortName, strnlen(shortName, 8))
                                                  : std::string(strings + symbol->N.Name.Long);
    const ULONG_PTR rva = symbol->SectionNumber > 0
        ? IMAGE_FIRST_SECTION(nt)[symbol->SectionNumber - 1].VirtualAddress + symbol->Value : 0;
    for (Watch& watch : watches) {
      if (name == watch.destructor) watch.at = rva;
      if (name == watch.object) watch.objectAt = rva;
    }
    i += 1 + symbol->NumberOfAuxSymbols;
  }
}

// Writes `byte` at `at` in the process, keeping the byte it replaces.
void Poke(HANDLE process, ULONG_PTR at, BYTE byte, BYTE* saved = nullptr) {
  if (saved) ::ReadProcessMemory(process, reinterpret_cast<void*>(at), saved, 1, nullptr);
  ::WriteProcessMemory(process, reinterpret_cast<void*>(at), &byte, 1, nullptr);
  ::FlushInstructionCache(process, nullptr, 0);
}

// At a watched breakpoint: the byte back, the thread back to it, and the
// global it was called on ("?" for another object).
std::string Hit(const DEBUG_EVENT& event, HANDLE process, const Watch& watch) {
  Poke(process, watch.at, watch.saved);
  HANDLE thread = ::OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, event.dwThreadId);
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
  ::GetThreadContext(thread, &context);
  context.Rip = watch.at;
  ::SetThreadContext(thread, &context);
  ::CloseHandle(thread);
  return context.Rcx == watch.objectAt ? watch.object : "?";
}

// Runs ovelin.exe (a returning user) under the debugging interface, closes
// its main window once it shows a document, and gives the watched
// destructors in the order they ran.
std::vector<std::string> DestructorsAtTheEnd(std::vector<Watch> watches, DWORD& exitCode) {
  TempFolder appData;
  ::CreateDirectoryA(appData.File("Marvolk").c_str(), nullptr);
  ::WritePrivateProfileStringA("QVCallHome", "FirstRun", "0", appData.File("Marvolk\\QVM400.ini").c_str());
  char saved[MAX_PATH] = {};
  ::GetEnvironmentVariableA("APPDATA", saved, MAX_PATH);
  ::SetEnvironmentVariableA("APPDATA", appData.Path().string().c_str());
  std::string commandLine = "\"" + OvelinExePath() + "\"";
  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION info{};
  const BOOL started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                        DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &info);
  ::SetEnvironmentVariableA("APPDATA", saved);
  std::vector<std::string> hits;
  bool closed = false, ended = !started;
  for (const DWORD start = ::GetTickCount(); !ended && ::GetTickCount() - start < 60000;) {
    DEBUG_EVENT event{};
    if (!::WaitForDebugEvent(&event, 100)) {
      const HWND main = closed ? nullptr : FindDocumentWindow(info.dwProcessId).main;
      if (main) closed = ::PostMessageA(main, WM_CLOSE, 0, 0);
      continue;
    }
    DWORD status = DBG_CONTINUE;
    const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        ::CloseHandle(event.u.CreateProcessInfo.hFile);
        for (Watch& watch : watches) {
          const auto base = reinterpret_cast<ULONG_PTR>(event.u.CreateProcessInfo.lpBaseOfImage);
          watch.at += base, watch.objectAt += base;
          Poke(info.hProcess, watch.at, 0xCC, &watch.saved);
        }
        break;
      case LOAD_DLL_DEBUG_EVENT: ::CloseHandle(event.u.LoadDll.hFile); break;
      case EXIT_PROCESS_DEBUG_EVENT: exitCode = event.u.ExitProcess.dwExitCode, ended = true; break;
      case EXCEPTION_DEBUG_EVENT:
        if (record.ExceptionCode != EXCEPTION_BREAKPOINT) status = DBG_EXCEPTION_NOT_HANDLED;
        for (const Watch& watch : watches)
          if (status == DBG_CONTINUE && reinterpret_cast<ULONG_PTR>(record.ExceptionAddress) == watch.at)
            hits.push_back(Hit(event, info.hProcess, watch));
        break;
    }
    ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  if (started) {
    ::TerminateProcess(info.hProcess, 1);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
  }
  return hits;
}

TEST(ProgramEnd, GlobalsAreDestroyedInReverseOrder) {
  std::vector<Watch> watches = {{"_ZN15QVLocalization1D1Ev", "theLocalization"},
                                {"_ZN9QVM400AppD1Ev", "theApp"},
                                {"_ZN16QVScreenKeyboardD1Ev", "theScreenKeyboard"},
                                {"_ZN20CLayeredWindowHelperD1Ev", "theLayeredWindowHelper"},
                                {"_ZN17QVPreferenceStoreD1Ev", "thePreferenceStore"}};
  FindSymbols(TempFolder::Read(OvelinExePath()), watches);
  for (const Watch& watch : watches) ASSERT_TRUE(watch.at && watch.objectAt) << watch.object;
  DWORD exitCode = 1;
  EXPECT_EQ(DestructorsAtTheEnd(watches, exitCode),
            (std::vector<std::string>{"thePreferenceStore", "theLayeredWindowHelper",
                                      "theScreenKeyboard", "theApp", "theLocalization"}));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace

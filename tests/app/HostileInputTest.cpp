// ovelin.exe against unlucky input: every ANSI character typed and pasted
// into the text box (the program stays alive), and settings files locked
// while it starts (they keep every section they had).
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "framework/OleStorage.h"
#include "tests/app/AppFixture.h"
#include "tests/app/RunningProgram.h"
#include "tests/portable/DocumentArchiveBytes.h"

namespace {

struct FoundWindows {
  DWORD processId;
  std::vector<HWND> boxes;
  HWND textBox = nullptr;
};

BOOL CALLBACK FindTextBox(HWND hWnd, LPARAM param) {
  auto* found = reinterpret_cast<FoundWindows*>(param);
  char className[32] = {};
  ::GetClassNameA(hWnd, className, sizeof className);
  if (_stricmp(className, "Edit") == 0 && (::GetWindowLongA(hWnd, GWL_STYLE) & ES_MULTILINE))
    found->textBox = hWnd;
  return found->textBox == nullptr;
}

BOOL CALLBACK FindBoxes(HWND hWnd, LPARAM param) {
  auto* found = reinterpret_cast<FoundWindows*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(hWnd, &owner);
  char className[32] = {};
  ::GetClassNameA(hWnd, className, sizeof className);
  if (owner == found->processId && ::IsWindowVisible(hWnd) && std::string(className) == "#32770")
    found->boxes.push_back(hWnd);
  return TRUE;
}

// The texts of the program's message boxes not answered before; every box
// up is answered OK.
std::vector<std::string> AnswerBoxes(DWORD processId, std::set<HWND>& answered) {
  FoundWindows found{processId};
  ::EnumWindows(FindBoxes, reinterpret_cast<LPARAM>(&found));
  std::vector<std::string> texts;
  for (HWND box : found.boxes) {
    HWND label = ::GetDlgItem(box, 0xFFFF);
    if (answered.insert(box).second) texts.push_back(label ? WindowText(label) : WindowText(box));
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  return texts;
}

// Sends a message as typing or a paste would bring it; false when the
// window does not answer (its program has died or hangs).
bool Deliver(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(hWnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

// Paints the window now, as the screen would, and checks it still answers.
bool Shows(HWND hWnd) {
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  return Deliver(hWnd, WM_NULL);
}

bool PutTextOnClipboard(const std::string& text) {
  if (!::OpenClipboard(nullptr)) return false;
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  char* bytes = static_cast<char*>(::GlobalLock(memory));
  memcpy(bytes, text.c_str(), text.size() + 1);
  ::GlobalUnlock(memory);
  const bool put = ::SetClipboardData(CF_TEXT, memory) != nullptr;
  ::CloseClipboard();
  return put;
}

// Wine's text shaping once died on a line that starts with 0x98 (small
// tilde) in the dialog font: a document whose first line starts with it is
// opened, then each character goes in alone at the start of the box, then
// all of them in a row, then all of them pasted.
TEST(HostileInput, EveryAnsiCharacterTypedAndPastedLeavesTheProgramAlive) {
  TempFolder appData;
  const std::string path = appData.File("tilde.qvm");
  const std::string contents =
      archive_bytes::CurrentForm(archive_bytes::EquationListBytes({archive_bytes::LineRecord("\x98x")}));
  WriteDocumentFile(path.c_str(), [&](CArchive& ar) { ar.Write(contents.data(), static_cast<UINT>(contents.size())); });
  RunningProgram program(appData.Path().string(), "\"" + path + "\"");
  ASSERT_TRUE(program.Started());
  const WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);
  FoundWindows found{search.processId};
  ::EnumChildWindows(search.main, FindTextBox, reinterpret_cast<LPARAM>(&found));
  ASSERT_NE(found.textBox, nullptr);
  ASSERT_TRUE(Shows(found.textBox)) << "showing the opened document";

  std::string all;
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    ::SendMessageA(found.textBox, EM_SETSEL, 0, -1);
    ASSERT_TRUE(Deliver(found.textBox, WM_CHAR, static_cast<WPARAM>(byte), 1)) << "typing " << byte;
    ASSERT_TRUE(Shows(found.textBox)) << "showing " << byte;
    all += static_cast<char>(byte);
  }
  ::SendMessageA(found.textBox, EM_SETSEL, 0, -1);
  for (unsigned char byte : all) ASSERT_TRUE(Deliver(found.textBox, WM_CHAR, byte, 1)) << "typing " << byte;
  ASSERT_TRUE(Shows(found.textBox)) << "showing every character";

  ASSERT_TRUE(PutTextOnClipboard("\x98" + all + "\r\n\x98\x98"));
  ::SendMessageA(found.textBox, EM_SETSEL, 0, -1);
  ASSERT_TRUE(Deliver(found.textBox, WM_PASTE)) << "pasting";
  ASSERT_TRUE(Shows(found.textBox)) << "showing the pasted text";
  char text[1024] = {};
  ::SendMessageA(found.textBox, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(static_cast<unsigned char>(text[0]), 0x98);
  std::set<HWND> answered;
  EXPECT_TRUE(AnswerBoxes(search.processId, answered).empty());
}

// A settings file another program holds while this one starts is neither
// read nor written: after the lock is gone it still holds every section,
// and the user heard of it once per file.
TEST(HostileInput, SettingsLockedDuringStartUpKeepTheirSections) {
  TempFolder appData;
  const std::filesystem::path folder = appData.Path() / "Marvolk";
  std::filesystem::create_directory(folder);
  const std::string settings = (folder / "QVM400.ini").string();
  const std::string control = (folder / "QVM4ADJ.ini").string();
  const std::string settingsText = "[Preferences]\r\nLanguage=ENG\r\n\r\n[Someone Else]\r\nkeep=1\r\n\r\n";
  const std::string controlText = "[Control]\r\nRunning=0\r\n\r\n[Elsewhere]\r\nx=2\r\n\r\n";
  TempFolder::Write(settings, settingsText);
  TempFolder::Write(control, controlText);
  std::vector<HANDLE> locks;
  for (const std::string& path : {settings, control})
    locks.push_back(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  for (HANDLE lock : locks) ASSERT_NE(lock, INVALID_HANDLE_VALUE);

  RunningProgram program(appData.Path().string(), "");
  ASSERT_TRUE(program.Started());
  std::vector<std::string> shown;
  std::set<HWND> answered;
  WindowSearch search{};
  for (int tries = 0; tries < 60 && !search.main; ++tries) {
    search = program.WaitForDocumentWindow(300);
    for (const std::string& text : AnswerBoxes(search.processId, answered)) shown.push_back(text);
  }
  ASSERT_NE(search.main, nullptr);
  for (HANDLE lock : locks) ::CloseHandle(lock);

  // Focus comes back (the frame saves then) and the program ends (it saves
  // again); any box is answered on the way.
  ::SendMessageA(search.main, WM_SETFOCUS, 0, 0);
  for (const std::string& text : AnswerBoxes(search.processId, answered)) shown.push_back(text);
  ::PostMessageA(search.main, WM_CLOSE, 0, 0);
  for (int tries = 0; tries < 100 && ::IsWindow(search.main); ++tries) {
    ::Sleep(100);
    for (const std::string& text : AnswerBoxes(search.processId, answered)) shown.push_back(text);
  }
  EXPECT_FALSE(::IsWindow(search.main));
  EXPECT_EQ(TempFolder::Read(settings), settingsText);
  EXPECT_EQ(TempFolder::Read(control), controlText);
  int unreadable = 0;
  for (const std::string& text : shown) {
    std::printf("shown: %s\n", text.c_str());
    unreadable += text.find("Unable to read file") == 0;
  }
  EXPECT_GE(unreadable, 1);
  EXPECT_LE(unreadable, 2);  // once per file at most
}

}  // namespace

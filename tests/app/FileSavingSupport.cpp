// Processes, a full disk and the saving tests' child programs.
#include "tests/app/FileSavingSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/MessageBox.h"
#include "framework/ReplacingFile.h"
#include "options/IniFile.h"

std::string UnixPath(const std::string& path) {
  using Convert = char*(CDECL*)(const WCHAR*);
  auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (!convert) return std::string();
  std::wstring wide(path.begin(), path.end());
  char* unix = convert(wide.c_str());
  if (!unix) return std::string();
  std::string result(unix);
  ::HeapFree(::GetProcessHeap(), 0, unix);
  return result;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string ChildCommand(const std::string& arguments) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, sizeof path);
  return Quoted(path) + " " + arguments;
}

// ---- ChildProcess ----

ChildProcess::ChildProcess(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  started_ = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process_);
}

ChildProcess::~ChildProcess() {
  if (!started_) return;
  Kill();
  ::CloseHandle(process_.hThread);
  ::CloseHandle(process_.hProcess);
}

long ChildProcess::Wait(DWORD timeoutMs) {
  if (!started_ || ::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<long>(code);
}

void ChildProcess::Kill() {
  if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return;
  ::TerminateProcess(process_.hProcess, 9);
  ::WaitForSingleObject(process_.hProcess, 10000);
}

// Wine cannot wait for a Linux program, so the shell leaves its exit code
// in a file of ours.
long RunShell(const std::string& command) {
  char folder[MAX_PATH] = {};
  ::GetTempPathA(sizeof folder, folder);
  static int count = 0;
  const std::string status = std::string(folder) + "ovelin-shell-" +
                             std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++count);
  const std::string unixStatus = UnixPath(status);
  std::string line = command + "; echo $? > '" + unixStatus + ".part' && mv '" + unixStatus +
                     ".part' '" + unixStatus + "'";
  std::string quoted;
  for (char c : line) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
  ChildProcess shell("Z:\\bin\\sh -c \"" + quoted + "\"");
  if (!shell.Started()) return -1;
  const std::string code = WaitForFile(status, 60000);
  ::DeleteFileA(status.c_str());
  return code.empty() ? -1 : std::atol(code.c_str());
}

std::string WaitForFile(const std::string& path, DWORD timeoutMs) {
  for (DWORD waited = 0; waited <= timeoutMs; waited += 20, ::Sleep(20)) {
    std::ifstream in(path, std::ios::binary);
    if (in) return std::string(std::istreambuf_iterator<char>(in), {});
  }
  return std::string();
}

// ---- FullDisk ----

FullDisk::FullDisk() {
  // The prefix's drive letters: C: is "dosdevices/c:", or "drive_c" beside it.
  std::string devices = UnixPath("C:\\");
  while (!devices.empty() && devices.back() == '/') devices.pop_back();
  devices.erase(devices.rfind('/'));
  if (devices.substr(devices.rfind('/') + 1) != "dosdevices") devices += "/dosdevices";
  devices += "/";
  char letter = 0;
  for (char c = 'R'; c <= 'Y' && !letter; ++c)
    if (!(::GetLogicalDrives() & (1u << (c - 'A')))) letter = c;
  if (!letter) return;
  mountPoint_ = "/tmp/ovelin-full-disk-" + std::to_string(::GetCurrentProcessId());
  link_ = devices + char(letter + 32) + ":";
  if (RunShell("mkdir -p " + mountPoint_ + " && mount -t tmpfs -o size=1m tmpfs " + mountPoint_ +
               " && ln -sfn " + mountPoint_ + " '" + link_ + "'") != 0)
    return;
  letter_ = letter;
}

FullDisk::~FullDisk() {
  if (mountPoint_.empty()) return;
  RunShell("rm -f '" + link_ + "'; umount " + mountPoint_ + " || umount -l " + mountPoint_ +
           "; rmdir " + mountPoint_);
}

std::string FullDisk::File(const std::string& name) const {
  return std::string(1, letter_) + ":\\" + name;
}

bool FullDisk::Fill() {
  // head stops with an error when the disk is full: that is the point.
  return RunShell("head -c 4M /dev/zero 2>/dev/null > " + mountPoint_ + "/filler; test \"$(df --output=avail " +
                  mountPoint_ + " | tail -1)\" -eq 0") == 0;
}

// ---- the child programs ----

namespace {

int g_failedSaves = 0;

int CountFailure(HWND, const char*, const char*, UINT) {
  ++g_failedSaves;
  return IDOK;
}

// Every value of a round is the same, so that a reader can tell a whole
// file of one save from a mixture.
int SaveSettingsRepeatedly(const char* path, const char* tag, int count, const std::string& start) {
  SetMessageBoxHook(CountFailure);
  // Both savers start at one moment, whenever each program got going.
  HANDLE ready = ::OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, (start + "-ready").c_str());
  HANDLE go = ::OpenEventA(SYNCHRONIZE, FALSE, (start + "-go").c_str());
  if (!ready || !go) return 100;
  ::ReleaseSemaphore(ready, 1, nullptr);
  ::WaitForSingleObject(go, 60000);
  ::CloseHandle(ready);
  ::CloseHandle(go);
  CIniFile settings;
  settings.AssignPath(path);
  for (int round = 0; round < count; ++round) {
    const std::string value = std::string(tag) + "-" + std::to_string(round);
    for (int key = 0; key < 100; ++key)
      settings.WriteValue("Loop", ("k" + std::to_string(key)).c_str(), value.c_str(), true);
    settings.SaveToDisk(WriteReport::everyFailure);
  }
  return g_failedSaves;
}

int HoldSave(const char* path) {
  CReplacingFile file(path);
  CFileException error;
  if (!file.Begin(&error)) return 1;
  const std::vector<char> part(65536, 'x');
  file.Write(part.data(), static_cast<UINT>(part.size()));
  ::Sleep(INFINITE);
  return 0;
}

}  // namespace

int FileSavingChild(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--save-settings" && argc == 6)
    return SaveSettingsRepeatedly(argv[2], argv[3], std::atoi(argv[4]), argv[5]);
  if (mode == "--hold-save" && argc == 3) return HoldSave(argv[2]);
  return -1;
}

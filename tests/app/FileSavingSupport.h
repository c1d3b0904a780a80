// For the tests of saving files: other processes (Linux programs too, by
// their Unix paths), and a full disk that Wine sees as a drive.
#pragma once

#include <windows.h>

#include <string>

// The Unix path of a Windows path (Wine's kernel32 export).
std::string UnixPath(const std::string& path);
std::string Quoted(const std::string& text);
// The command line that runs this test program as a child with `arguments`
// (FileSavingChild).
std::string ChildCommand(const std::string& arguments);

// A process started from a command line and ended, if it still runs, when
// the object goes. Wine cannot wait for a Linux program: those tell their
// end through files (WaitForFile).
class ChildProcess {
 public:
  explicit ChildProcess(std::string commandLine);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return started_ != FALSE; }
  // The exit code; -1 when it has not ended within the timeout.
  long Wait(DWORD timeoutMs = 120000);
  // Ends it at once, as a crash would.
  void Kill();

 private:
  PROCESS_INFORMATION process_{};
  BOOL started_ = FALSE;
};

// A shell command line run on the Linux side: its exit code, or -1.
long RunShell(const std::string& command);
// The contents of `path` once it exists; empty after the timeout.
std::string WaitForFile(const std::string& path, DWORD timeoutMs);

// A file system of one mebibyte (tmpfs, mounted as root) mapped as a drive
// letter of Wine's; unmapped and unmounted when the object goes.
class FullDisk {
 public:
  FullDisk();
  ~FullDisk();
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  bool Ready() const { return letter_ != 0; }
  std::string File(const std::string& name) const;  // "R:\name"
  // Takes up every byte still free.
  bool Fill();

 private:
  std::string mountPoint_, link_;
  char letter_ = 0;
};

// Runs the child named by the first argument and returns its exit code;
// -1 when the arguments name none.
//   --save-settings PATH TAG COUNT START: once the event START-go is set
//     (after releasing the semaphore START-ready), saves a settings file
//     COUNT times, its values marked with TAG and the round; exits with
//     the number of failed saves.
//   --hold-save PATH: starts a save of PATH, writes part of it and waits
//     to be killed.
int FileSavingChild(int argc, char** argv);

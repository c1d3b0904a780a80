// For the tests of saving files: other processes (Linux programs too, by
// their Unix paths), and a full disk that Wine sees as a drive.
#pragma once

#include <windows.h>

#include <string>

// The Unix path of a Windows path (Wine's kernel32 export).
std::string UnixPath(const std::string& path);
// The test program itself, to start it as a child (see FileSavingChild).
std::string ThisProgramPath();

// A process started from a command line; one still running when the object
// goes is ended.
class ChildProcess {
 public:
  explicit ChildProcess(std::string commandLine);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return started_ != FALSE; }
  // The exit code, or -1 when it has not ended within the timeout (or is a
  // Linux program, which Wine cannot wait for).
  long Wait(DWORD timeoutMs = 120000);
  // Ends it at once, as a crash or a killed program would end.
  void Kill();

 private:
  PROCESS_INFORMATION process_{};
  BOOL started_ = FALSE;
};

// Runs a shell command line on the Linux side and returns its exit code
// (-1 when it did not end within a minute).
long RunShell(const std::string& command);
// The contents of `path` once it exists; empty after the timeout. (Wine
// cannot wait for a Linux program: they tell their end through files.)
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
  // `name` on the drive, as Windows names it ("R:\name").
  std::string File(const std::string& name) const;
  // Takes up every byte still free.
  bool Fill();

 private:
  std::string mountPoint_;
  std::string link_;
  char letter_ = 0;
};

// The child programs of the saving tests, run by the test program when its
// first argument names one; the exit code, or -1 for no child's arguments.
//   --save-settings PATH TAG COUNT START: saves a settings file COUNT times,
//     every value marked with TAG and the round, once the event START-go is
//     set (it tells the semaphore START-ready first); exits with the number
//     of failed saves.
//   --hold-save PATH: starts a save of PATH, writes part of it and waits to
//     be ended, as a save that a crash cuts short.
int FileSavingChild(int argc, char** argv);

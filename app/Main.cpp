// The program's one application object and its entry point.
#include "app/App.h"

QVM400App theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int cmdShow) {
  const int code = AfxWinMain(instance, previous, commandLine, cmdShow);
  // The settings are saved and every window is gone: end here. Under Wine
  // the C runtime's exit sometimes waited for ever on the threads library's
  // lock for thread-local keys after a worker thread had ended, and the
  // program lived on without a window. Nothing left to do needs exit().
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
  return code;
}

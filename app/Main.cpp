// The program's one application object and its entry point.
#include "app/App.h"

QVM400App theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int cmdShow) {
  return AfxWinMain(instance, previous, commandLine, cmdShow);
}

// The program's one application object and its entry point.
#include "app/App.h"
#include "options/GlobalOrder.h"

QVM400App theApp OVELIN_BUILT_IN_STEP(kApplicationObject);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int cmdShow) {
  return AfxWinMain(instance, previous, commandLine, cmdShow);
}

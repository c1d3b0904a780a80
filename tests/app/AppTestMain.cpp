// The program tests' entry point. Like the program, it ends without the C
// runtime's exit once the results are written: under Wine that exit could
// wait for ever after the update check's worker thread had ended.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/app/FileSavingSupport.h"

int main(int argc, char** argv) {
  // Started by a saving test as another program that saves.
  const int child = FileSavingChild(argc, argv);
  if (child >= 0) ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(child));
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::fflush(nullptr);
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}

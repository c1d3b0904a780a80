// The program tests' entry point.
#include <gtest/gtest.h>

#include "tests/app/FileSavingSupport.h"

int main(int argc, char** argv) {
  // Started by a saving test as another program that saves.
  const int child = FileSavingChild(argc, argv);
  if (child >= 0) ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(child));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// The program tests' entry point. Like the program, it ends without the C
// runtime's exit once the results are written: under Wine that exit could
// wait for ever after the update check's worker thread had ended.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::fflush(nullptr);
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}

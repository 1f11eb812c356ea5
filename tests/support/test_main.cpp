// Entry point of every test program. On Windows the program ends with
// TerminateProcess once all its cases have run and its reports are written:
// under wine on a loaded machine a finished test program now and then hangs
// in its own exit, which would cost a ctest time-out and nothing else.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  const int result = RUN_ALL_TESTS();
#ifdef _WIN32
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
#endif
  return result;
}

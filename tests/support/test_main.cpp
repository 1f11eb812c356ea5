// Entry point of every test program. On Windows the program ends with
// TerminateProcess once all its cases have run and its reports are written:
// under wine on a loaded machine a finished test program now and then hangs
// in its own exit, which would cost a ctest time-out and nothing else.
//
// The output is unbuffered, and a crash prints its exception code and
// address before the program dies: a program that crashed with its lines
// still in a stdio buffer used to end without a word.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>

namespace {
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  const char* test = "(outside any test)";
  if (const testing::TestInfo* current = testing::UnitTest::GetInstance()->current_test_info()) {
    test = current->name();
  }
  std::fprintf(stderr, "crash: exception 0x%08lX at %p in %s\n", record.ExceptionCode,
               record.ExceptionAddress, test);
  return EXCEPTION_CONTINUE_SEARCH;
}
}  // namespace
#endif

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
#ifdef _WIN32
  SetUnhandledExceptionFilter(ReportCrash);
#endif
  testing::InitGoogleMock(&argc, argv);
  const int result = RUN_ALL_TESTS();
#ifdef _WIN32
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
#endif
  return result;
}

// Module state of the core library (instance, directory cache, resource module count, trace
// switch and file, locale caches) lives once per process, as in a real module. Tests that
// need it fresh run their body in a child process: failures inside the body make the child
// exit non-zero, and the parent reports it with the child's output.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// Prints the child's failed checks on standard error, which the parent shows.
inline void ReportChildFailures() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  for (int i = 0; i < result->total_part_count(); ++i) {
    const ::testing::TestPartResult& part = result->GetTestPartResult(i);
    if (part.failed()) std::fprintf(stderr, "%s:%d: %s\n", part.file_name(), part.line_number(), part.message());
  }
}

template <typename Body>
void RunInFreshProcess(Body body) {
  // _Exit skips the leak check at exit: the child ends while module state is still held, as
  // a process ends with its modules loaded.
  EXPECT_EXIT(
      {
        body();
        ReportChildFailures();
        std::fflush(nullptr);
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

#define QV_IN_FRESH_PROCESS(...) RunInFreshProcess([&] { __VA_ARGS__; })

#include "core/common/common_routines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/system/icc_check.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class CommonRoutines : public SandboxTest {};

TEST_F(CommonRoutines, SmallHelpers) {
  EXPECT_EQ(IsVersionAtLeast(0x4007, 0x4007), 1);
  EXPECT_EQ(IsVersionAtLeast(0x4006, 0x4007), 0);
  EXPECT_EQ(IsVersionAtLeast(0x80000000u, 1), 1);  // unsigned
  EXPECT_EQ(WideToInt(u" 52abc"), 52);
  EXPECT_EQ(WideLengthBounded(u"abcdef", 4), 4);
  EXPECT_EQ(WideLengthBounded(u"ab", 4), 2);
  EXPECT_EQ(WideLengthBounded(nullptr, 4), 0);
  const char unterminated[3] = {'x', 'y', 'z'};
  EXPECT_EQ(NarrowLengthBounded(unterminated, 3), 3);
  EXPECT_EQ(NarrowLengthBounded("xy", 3), 2);
  HGLOBAL block = GlobalAlloc(GPTR, 8);
  SafeGlobalFree(block);
  SafeGlobalFree(nullptr);
  EXPECT_EQ(FreeIfAllocated(GlobalAlloc(GPTR, 8)), 1);
  EXPECT_EQ(FreeIfAllocated(nullptr), 1);
}

TEST_F(CommonRoutines, FeatureFlags) {
  const DWORD words[2] = {0x00400001, 0x80000002};
  struct Case { DWORD feature; int expected; };
  for (Case c : {Case{0xFFFF0000, 1}, Case{0xFFFF0001, 0}, Case{0xFFFF0016, 1}, Case{0xFFFF0021, 1},
                 Case{0xFFFF0020, 0}, Case{0xFFFF003F, 1}, Case{0x400000, 1}, Case{0x2, 0}, Case{0xFFFF0040, 1}}) {
    EXPECT_EQ(TestFeatureFlag(words, c.feature), c.expected) << std::hex << c.feature;
  }
  EXPECT_EQ(TestFeatureFlag(nullptr, 1), 0);
}

TEST_F(CommonRoutines, FileAge) {
  SYSTEMTIME noon{2026, 3, 2, 10, 12, 0, 0, 0};
  SimSetClock(noon);
  // A file last written now by the simulated clock.
  HANDLE file = CreateFileW(u"C:\\Windows\\Temp\\fax.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &now));
  CloseHandle(file);
  EXPECT_EQ(IsFileOlderThan(u"C:\\Windows\\Temp\\fax.tmp", 60), 0);
  SimAdvanceClock(61 * 1000);
  EXPECT_EQ(IsFileOlderThan(u"C:\\Windows\\Temp\\fax.tmp", 60), 1);
  EXPECT_EQ(IsFileOlderThan(u"C:\\Windows\\Temp\\missing.tmp", 0), 0);
  EXPECT_EQ(IsFileOlderThan(nullptr, 0), 0);
}

// A 132-byte profile header with the given signatures (big-endian at 12, 16, 20, 36).
std::string IccHeader(const char* deviceClass, const char* space, const char* pcs, const char* magic) {
  std::string h(132, '\0');
  h.replace(12, 4, deviceClass);
  h.replace(16, 4, space);
  h.replace(20, 4, pcs);
  h.replace(36, 4, magic);
  return h;
}

TEST_F(CommonRoutines, IccProfileHeaders) {
  struct Case { std::string bytes; int expected; };
  const Case cases[] = {
      {IccHeader("mntr", "RGB ", "XYZ ", "acsp"), 0},  {IccHeader("scnr", "RGB ", "Lab ", "acsp"), 0},
      {IccHeader("mntr", "RGB ", "XYZ ", "xxxx"), -5}, {IccHeader("mntr", "CMYK", "XYZ ", "acsp"), -6},
      {IccHeader("mntr", "RGB ", "Luv ", "acsp"), -7}, {IccHeader("prtr", "RGB ", "XYZ ", "acsp"), -6},
      {IccHeader("prtr", "GRAY", "Luv ", "xxxx"), -5}, {IccHeader("mntr", "RGB ", "XYZ ", "acsp").substr(0, 131), -3},
  };
  for (const Case& c : cases) {
    std::ofstream(Host(u"C:\\profile.icc"), std::ios::binary) << c.bytes;
    EXPECT_EQ(CheckIccProfileFile("C:\\profile.icc"), c.expected) << c.bytes.substr(12, 12);
  }
  EXPECT_EQ(CheckIccProfileFile("C:\\missing.icc"), -2);
  EXPECT_EQ(CheckIccProfileFile(nullptr), -1);
}

}  // namespace

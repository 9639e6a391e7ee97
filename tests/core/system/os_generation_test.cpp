// Generations of the running platform from its version.
#include <gtest/gtest.h>

#include "core/system/os_generation.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/sandbox_test.h"

namespace {

class OsGenerationTest : public SandboxTest {};

TEST_F(OsGenerationTest, GenerationsOfTheNtFamily) {
  struct Case {
    DWORD major, minor;
    WORD generation;
    int check;
  } cases[] = {{3, 51, 0x200, 0}, {4, 0, 0x201, 0}, {5, 0, 0x202, 1}, {5, 1, 0x202, 1}, {10, 0, 0x202, 1}};
  for (const Case& k : cases) {
    SimSetVersion(k.major, k.minor, 1000);
    WORD generation = 0;
    EXPECT_EQ(GetOsGeneration(&generation), 1);
    EXPECT_EQ(generation, k.generation) << k.major << "." << k.minor;
    WORD checked = 7;
    EXPECT_EQ(CheckOsGeneration(&checked), k.check);
    EXPECT_EQ(checked, k.check ? 512 : 7) << "left untouched on older generations";
  }
  EXPECT_EQ(GetOsGeneration(nullptr), -1);
  EXPECT_EQ(CheckOsGeneration(nullptr), -1);
  SimFailCall("GetVersionExW", ERROR_INVALID_PARAMETER);
  WORD generation = 0;
  EXPECT_EQ(GetOsGeneration(&generation), -1);
  EXPECT_EQ(IsWindowsXpOrLater(), 1);
}

}  // namespace

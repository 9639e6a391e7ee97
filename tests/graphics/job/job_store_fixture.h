// Fixture of the temporary job store tests: the graphics module's parts with a fixed clock, and
// helpers to read the registrations and the bytes of a store file.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/output/temp_job_store.h"
#include "platform/platform.h"
#include "tests/graphics/graphics_fixture.h"

class JobStoreTest : public GraphicsModuleTest {
 protected:
  void SetUp() override {
    GraphicsModuleTest::SetUp();
    SYSTEMTIME clock{2024, 1, 2, 2, 3, 4, 5, 0};
    SimSetClock(clock);
    SetTempRegistryKey(kDefaultTempRegistryKey);
  }
  void TearDown() override {
    SetTempRegistryKey(kDefaultTempRegistryKey);
    GraphicsModuleTest::TearDown();
  }

  // The registration key of a store file.
  static std::u16string RegistrationOf(const std::u16string& path) {
    std::u16string name = path;
    for (char16_t& c : name)
      if (c == u'\\') c = u'/';
    return std::u16string(kDefaultTempRegistryKey) + u"TempFile\\" + name;
  }
  static std::vector<BYTE> HostBytes(const std::u16string& path) {
    std::ifstream in(SimHostPath(path.c_str()), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
  }
  static bool HostExists(const std::u16string& path) {
    std::ifstream in(SimHostPath(path.c_str()), std::ios::binary);
    return in.good();
  }
  static std::vector<BYTE> Pattern(size_t length, size_t from = 0) {
    std::vector<BYTE> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<BYTE>((from + i) * 31 + (from + i) / 251);
    return bytes;
  }
};

// The reader over a device font's data: glyph codes from the width table and the pair, range
// and segment tables of the sample's CG Times, and font data whose offsets or counts leave the
// data refused.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "core/database/dbrecords.h"
#include "graphics/device/font_resource_reader.h"
#include "tests/support/sandbox_test.h"

namespace {

class FontReader : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
    ASSERT_EQ(OpenDescriptionDatabase(path.c_str(), 0, &main_, &linked_), kDbOk);
    DatabaseRecord* record = nullptr;
    ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 11, 2, &record), kDbOk);  // CG Times
    const auto* font = reinterpret_cast<const DeviceFontRecord*>(record);
    data_.assign(font->data, font->data + font->dataSize);
    FreeRecord(&record, kDbAnyType);
  }
  void TearDown() override {
    CloseDatabaseStreams(&main_, &linked_);
    SandboxTest::TearDown();
  }
  int Open(const std::vector<BYTE>& data, FontResourceReader* reader) {
    return OpenDeviceFontResource(data.data() + kFontHeaderStart, reader,
                                  static_cast<DWORD>(data.size() - kFontHeaderStart));
  }
  DatabaseStream main_{}, linked_{};
  std::vector<BYTE> data_;
};

TEST_F(FontReader, GlyphCodesFromEveryTable) {
  FontResourceReader reader{};
  ASSERT_EQ(Open(data_, &reader), 0);
  EXPECT_STREQ(reader.faceName, "CG Times");
  EXPECT_STREQ(reader.familyName, "Times");
  EXPECT_EQ(reader.id, 0x1A2F);
  EXPECT_FALSE(reader.fixedPitch);
  struct Case {
    WORD character;
    LONG code;
  };
  const Case cases[] = {
      {u'A', 250 + (33 * 37) % 600},  // the width table from the first character (32)
      {32, 250},
      {126, 250 + (94 * 37) % 600},
      {0x20AC, 128},  // pair table
      {0x2122, 153},
      {0x100, 500},  // range table
      {0x17F, 500},
      {0x2000, 10},  // segment table
      {0x2003, 13},
      {0x3000, -1},  // none
      {31, -1},
      {0x180, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(LookUpGlyphCode(&reader, c.character), c.code) << std::hex << c.character;
}

TEST_F(FontReader, DataThatLeavesItselfIsRefused) {
  auto put32 = [](std::vector<BYTE>& d, DWORD at, DWORD v) { std::memcpy(d.data() + at, &v, 4); };
  auto put16 = [](std::vector<BYTE>& d, DWORD at, WORD v) { std::memcpy(d.data() + at, &v, 2); };
  struct Case {
    const char* name;
    std::function<void(std::vector<BYTE>&)> spoil;
  };
  const Case cases[] = {
      {"shorter than its header", [](std::vector<BYTE>& d) { d.resize(60); }},
      {"names beyond the data", [&](std::vector<BYTE>& d) { put32(d, 45, 0x7FFFFFF0); }},
      {"names without a terminator", [&](std::vector<BYTE>& d) { put32(d, 45, static_cast<DWORD>(d.size() - 7)); }},
      {"width table beyond the data", [&](std::vector<BYTE>& d) { put32(d, 63, static_cast<DWORD>(d.size() - 20)); }},
      {"last character before the first", [](std::vector<BYTE>& d) { d[36] = 20; }},
      {"glyph tables beyond the data", [&](std::vector<BYTE>& d) { put16(d, 83, 0xFFF0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<BYTE> data = data_;
    c.spoil(data);
    FontResourceReader reader{};
    EXPECT_EQ(Open(data, &reader), -1);
    EXPECT_EQ(LookUpGlyphCode(&reader, u'A'), -1);
  }
  EXPECT_EQ(OpenDeviceFontResource(nullptr, nullptr, 0), -1);
}

TEST_F(FontReader, SegmentArrayBeyondTheDataIsRefused) {
  FontResourceReader reader{};
  ASSERT_EQ(Open(data_, &reader), 0);
  // The segment row's glyph-array offset (after its u16 first and last).
  const DWORD row = reader.segmentTable + kFontHeaderStart + 2;
  std::vector<BYTE> data = data_;
  const DWORD far = static_cast<DWORD>(data.size());
  std::memcpy(data.data() + row + 4, &far, 4);
  EXPECT_EQ(Open(data, &reader), -1);
}

}  // namespace

// The ready-made blocks of the job stream: the cover block byte for byte over the sample's
// printer fonts (one font and size written once, a double-byte text that wraps, a character
// the font lacks failing the whole block), the overlay name record, and the driver data file
// read in steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/database/dbrecords.h"
#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "graphics/job/cover_records.h"
#include "graphics/output/overlay_records.h"
#include "items/codepage.h"
#include "items/item_ids.h"
#include "tests/graphics/output/spool_fixture.h"

namespace {

template <size_t N>
void SetText(WCHAR (&field)[N], const std::u16string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), N) * sizeof(WCHAR));
}

// The display-list encoding as this test writes it: big-endian, floats as their bits.
struct Bytes {
  std::vector<BYTE> b;
  Bytes& op(const char* code) {
    b.push_back(BYTE(code[0]));
    b.push_back(BYTE(code[1]));
    return *this;
  }
  Bytes& u8(BYTE v) {
    b.push_back(v);
    return *this;
  }
  Bytes& u16(WORD v) { return u8(BYTE(v >> 8)).u8(BYTE(v)); }
  Bytes& u32(DWORD v) { return u16(WORD(v >> 16)).u16(WORD(v)); }
  Bytes& f32(float v) {
    DWORD bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
  }
  Bytes& raw(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
};

class CoverRecordsTest : public SpoolTest {
 protected:
  void SetUp() override {
    SpoolTest::SetUp();
    if (HasFatalFailure()) return;
    BindDataAccess();
    std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
    store_ = OpenItemStoreAtPath(path.c_str());
    ASSERT_NE(store_, nullptr);
    pdev_ = std::make_unique<Pdev>();
    pdev_->tag = pdev_->tailTag = kPdevTag;
    pdev_->config = &config_;
    pdev_->printer = printer_;
    pdev_->database = store_->main;
    pdev_->linkedDatabase = store_->linked;
    ASSERT_TRUE(ApplyDataFileDefaults(store_, &pdev_->settings, &config_, u"P1"));
    Put(kItemResolution, 600);
    Put(kItemYResolution, 600);

    entry_ = {};
    SetText(entry_.entry.number, u"5551234");
    SetText(entry_.entry.name, u"Branch");
    SetText(entry_.firstText, u"Figures");
    info_ = {};
    info_.title = u"Q3";
  }
  void TearDown() override {
    pdev_.reset();
    if (store_ != nullptr) CloseItemStore(store_);
    SpoolTest::TearDown();
  }
  void Put(SettingItemId id, LONG value) {
    ItemLocation location{};
    DWORD size = 0;
    ASSERT_EQ(LocateItem(id, &pdev_->settings, &config_, &location), kItemDone) << id;
    ASSERT_TRUE(GetValueTypeSize(location.row->type, &size));
    ASSERT_EQ(SetItemValue(id, &pdev_->settings, &config_, location.row->type, size, &value), kItemDone) << id;
  }
  void PutText(SettingItemId id, LPCWSTR text) {
    ASSERT_EQ(SetItemValue(id, &pdev_->settings, &config_, kTypeString, (lstrlenW(text) + 1) * sizeof(WCHAR), &text),
              kItemDone);
  }
  std::vector<BYTE> Write(int* result = nullptr) {
    std::vector<BYTE> buffer(8192);
    const int n = WriteCoverRecords(&entry_, &info_, &extras_, pdev_.get(), buffer.data(), DWORD(buffer.size()));
    if (result != nullptr) *result = n;
    buffer.resize(n > 0 ? n : 0);
    return buffer;
  }
  // The block the placed texts give: font number, widths by character code, resolution 600.
  std::vector<BYTE> Expected(WORD font, const std::function<LONG(WORD)>& width) {
    CoverTextItem items[kMaxCoverTexts];
    int count = 0;
    EXPECT_EQ(BuildCoverTexts(&entry_, &info_, &extras_, items, &count), 1);
    Bytes e;
    e.op("AR").op("AK").u8(2).op("AL").u8(1).u32(13).op("AM").u8(2).u8(4).u8(0).u8(0).u8(0);
    int slot = -1, size = 0;
    for (int i = 0; i < count; ++i) {
      const CoverTextItem& it = items[i];
      if (it.fontSlot != slot) e.op("DA").u16(font);
      if (it.size != size) {
        const float m = 600.0f * float(it.size) / 720.0f;
        e.op("Db").f32(m).f32(0).f32(0).f32(-m).f32(0).f32(0);
      }
      slot = it.fontSlot;
      size = it.size;
      LPSTR ansi = nullptr;
      int length = 0;
      if (it.text[0] == 0) continue;
      EXPECT_TRUE(WideToMultiByteCp(it.text, &ansi, &length, 0));
      const std::string text(ansi, length);
      GlobalFree(ansi);
      std::vector<float> advances;
      for (size_t k = 0; k < text.size(); ++k) {
        WORD code = BYTE(text[k]);
        if (IsDBCSLeadByte(BYTE(text[k]))) code = WORD(code << 8 | BYTE(text[++k]));
        advances.push_back(float(width(code)) * float(it.size) / 1000.0f * 600.0f / 72.0f / 10.0f);
      }
      e.op("Dd").f32(float(it.x) * 600.0f / 254.0f).f32(float(it.y) * 600.0f / 254.0f).u8(2).u16(WORD(advances.size()));
      for (float a : advances) e.f32(a);
      e.u16(WORD(text.size())).raw(text);
    }
    return e.b;
  }
  // Gives the cover slot of the model's second font (CG Times) double-byte widths: its range
  // table then holds 0x8140-0x9FFC with width 500, and the cover fonts name it for slot 1.
  void UseDoubleByteFont() {
    DatabaseStream* linked = store_->linked;
    const BYTE range[] = {0x01, 0x00, 0x00, 0x01, 0x7F, 0x01, 0xF4, 0x01};
    BYTE* at = std::search(linked->data, linked->data + linked->size, std::begin(range), std::end(range));
    ASSERT_NE(at, linked->data + linked->size);
    const BYTE wide[] = {0x01, 0x00, 0x40, 0x81, 0xFC, 0x9F, 0xF4, 0x01};
    std::memcpy(at, wide, sizeof wide);
    WORD font = 0;
    ASSERT_EQ(ReadSectionElement(store_->main, 27, 2, 0, &font), kDbOk);
    ASSERT_EQ(font, 1);
    store_->main->data[store_->main->cursor - 2] = 2;  // element 0 of section 27
  }

  ItemStore* store_ = nullptr;
  PrinterConfiguration config_{};
  std::unique_ptr<Pdev> pdev_;
  ExtendedFaxDestination entry_{};
  CoverInformation info_{};
  CoverExtras extras_{};
};

TEST_F(CoverRecordsTest, CoverBlockInTheFirstCoverFont) {
  int n = 0;
  const std::vector<BYTE> block = Write(&n);
  ASSERT_GT(n, 0);
  // Courier (record 1, font number 1 | 2), 600 units for every character.
  EXPECT_EQ(block, Expected(3, [](WORD) { return 600; }));
  // The preamble, then the first font and size once: "FAX" right-aligned at 1698, 518.
  const std::vector<BYTE> head = Bytes()
                                     .op("AR").op("AK").u8(2).op("AL").u8(1).u32(13).op("AM").u8(2).u8(4).u8(0).u8(0)
                                     .u8(0).op("DA").u16(3).op("Db").f32(83.333336f).f32(0).f32(0).f32(-83.333336f)
                                     .f32(0).f32(0).op("Dd").f32(1698 * 600.0f / 254).f32(518 * 600.0f / 254).u8(2)
                                     .u16(3).f32(50).f32(50).f32(50).u16(3).raw("FAX")
                                     // The title: same font and size, so only its text record.
                                     .op("Dd").b;
  ASSERT_GE(block.size(), head.size());
  EXPECT_EQ(std::vector<BYTE>(block.begin(), block.begin() + head.size()), head);
  EXPECT_LE(n, EstimateCoverRecordsSize(&entry_, &info_, &extras_));
  // A buffer one byte short fails the block.
  std::vector<BYTE> small(n - 1);
  EXPECT_EQ(WriteCoverRecords(&entry_, &info_, &extras_, pdev_.get(), small.data(), DWORD(small.size())), -1);
}

TEST_F(CoverRecordsTest, DoubleByteTextsThatWrapAndAMissingGlyph) {
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  // Courier has no double-byte characters: the whole block fails.
  SetText(entry_.entry.name, u"\u652F\u5E97");
  int n = 0;
  Write(&n);
  EXPECT_EQ(n, -1);

  UseDoubleByteFont();
  // Twenty-two kana (44 bytes) in a row of 40 bytes and two lines.
  SetText(entry_.entry.secondText, std::u16string(22, u'\u3042'));
  FontResourceReader reader{};
  DatabaseRecord* record = nullptr;
  ASSERT_EQ(ReadRecord(TRUE, store_->main, store_->linked, 11, 2, &record), kDbOk);
  const auto* font = reinterpret_cast<const DeviceFontRecord*>(record);
  ASSERT_EQ(OpenDeviceFontResource(font->data + kFontHeaderStart, &reader, font->dataSize - kFontHeaderStart), 0);
  const std::vector<BYTE> block = Write(&n);
  ASSERT_GT(n, 0);
  EXPECT_EQ(block, Expected(2 | 2, [&](WORD code) { return LookUpGlyphCode(&reader, code); }));
  FreeRecord(&record, kDbAnyType);
  // The wrapped second line: two kana at 680, 802.
  const std::vector<BYTE> second = Bytes()
                                       .op("Dd").f32(680 * 600.0f / 254).f32(802 * 600.0f / 254).u8(2).u16(2)
                                       .f32(37.5f).f32(37.5f).u16(4).raw("\x82\xA0\x82\xA0").b;
  EXPECT_NE(std::search(block.begin(), block.end(), second.begin(), second.end()), block.end());

  // A character the font lacks anywhere fails it all.
  PreparedCoverText prepared;
  CoverTextItem item{0, 0, 100, 1, u"\u3042"};
  EXPECT_TRUE(PrepareCoverText(pdev_.get(), &item, &prepared));
  EXPECT_EQ(prepared.count, 1);
  EXPECT_EQ(prepared.fontNumber, 2 | 2);
  CoverTextItem lacking{0, 0, 100, 1, u"\uFF76"};  // a half-width kana, byte 0xB6: beyond the width table
  EXPECT_FALSE(PrepareCoverText(pdev_.get(), &lacking, &prepared));
  float advances[4];
  EXPECT_EQ(MeasureCoverText(&reader, "\x82", 1, 100, 600, advances), -1) << "a lead byte without its trail";
}

TEST_F(CoverRecordsTest, CoverSettingsOfTheDevice) {
  Put(kItemCoverKind, 1);
  PutText(kItemCoverTitle, u"Memo");
  Put(kItemFaxDestinations, 3);
  Put(kItemFaxOneJob, 1);
  Put(kItemCoverNumberPrefix, 1);
  PutText(kItemCoverSenderFirst + 3, u"555-0199");
  PutText(kItemFaxFirstPrefix, u"9");
  CoverInformation info{};
  CoverExtras extras{};
  ReadCoverInformation(pdev_.get(), &info, &extras);
  EXPECT_EQ(info.kind, 1);
  EXPECT_EQ(std::u16string(info.title), u"Memo");
  EXPECT_EQ(info.mode, 1);
  EXPECT_EQ(info.numberPrefix, 1);
  EXPECT_EQ(std::u16string(info.sender[3]), u"555-0199");
  EXPECT_EQ(std::u16string(extras.firstPrefix), u"9");
  Put(kItemFaxDestinations, 1);  // a single destination has no mode
  ReadCoverInformation(pdev_.get(), &info, &extras);
  EXPECT_EQ(info.mode, 0);
}

TEST_F(CoverRecordsTest, OverlayNameRecord) {
  BYTE buffer[128];
  EXPECT_EQ(EstimateOverlayRecordSize(pdev_.get()), 0);
  EXPECT_EQ(WriteOverlayNameRecord(pdev_.get(), buffer, sizeof buffer), 0);
  PutText(kItemOverlayPath, u"C:\\Forms\\Office\\letterhead.ovl");
  EXPECT_EQ(EstimateOverlayRecordSize(pdev_.get()), 39);
  ASSERT_EQ(WriteOverlayNameRecord(pdev_.get(), buffer, sizeof buffer), 39);
  const std::vector<BYTE> expected =
      Bytes().op("Eg").u16(10).raw("letterhead").f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u8(0).b;
  EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 39), expected);
  EXPECT_EQ(WriteOverlayNameRecord(pdev_.get(), buffer, 38), -1);
  PutText(kItemOverlayPath, u"C:\\Forms\\");
  EXPECT_EQ(OverlayFileName(pdev_.get()), nullptr);
  EXPECT_EQ(EstimateOverlayRecordSize(nullptr), -1);
  EXPECT_EQ(WriteOverlayNameRecord(nullptr, buffer, sizeof buffer), -1);
}

TEST_F(CoverRecordsTest, DriverDataFileReadInSteps) {
  // The sample names its own database (section 28) in the driver directory.
  HANDLE file = OpenDriverDataFile(pdev_.get());
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const DWORD size = GetFileSize(file, nullptr);
  std::vector<BYTE> bytes(size + 100);
  EXPECT_EQ(ReadFileBytes(file, int(bytes.size()), bytes.data()), int(size));
  EXPECT_TRUE(CloseHandle(file)) << "left open for the caller";

  std::vector<BYTE> data(1500);
  for (size_t i = 0; i < data.size(); ++i) data[i] = BYTE(i * 7);
  HANDLE out = CreateFileW(u"C:\\data.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, data.data(), DWORD(data.size()), &written, nullptr);
  CloseHandle(out);
  file = CreateFileW(u"C:\\data.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  std::vector<BYTE> back(2000);
  EXPECT_EQ(ReadFileBytes(file, 2000, back.data()), 1500);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin()));
  EXPECT_EQ(ReadFileBytes(file, 2000, back.data()), 0) << "at the end: nothing, and the handle closed";
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(ReadFileBytes(INVALID_HANDLE_VALUE, 10, back.data()), -1);

  // Without a printer's driver directory there is no file.
  pdev_->printer = nullptr;
  EXPECT_EQ(OpenDriverDataFile(pdev_.get()), INVALID_HANDLE_VALUE);
}

}  // namespace

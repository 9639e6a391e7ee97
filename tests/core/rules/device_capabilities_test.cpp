#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/rules/device_capabilities.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/model_files.h"
#include "tests/support/printer_fixture.h"

namespace {

using printer_test::SampleSettingsTest;

constexpr DWORD kAll = kCapabilityStore | kCapabilitySettings | kCapabilityConfig;

// Printer "P1" of the sample model with default settings, asked as the user-interface module's
// export asks: the count first, then the data into room for that count.
class DeviceCapabilitiesTest : public SampleSettingsTest {
 protected:
  LONG Ask(WORD index, void* output, DWORD available) {
    return DispatchDeviceCapability(printer_, index, output, available, &settings_, &config_, store_);
  }
  // Both calls of the protocol; the output holds `bytesPerEntry` bytes per counted entry (and
  // guard bytes after them that must stay untouched).
  std::vector<BYTE> AskTwice(WORD index, size_t bytesPerEntry, LONG* count) {
    *count = Ask(index, nullptr, kAll);
    if (*count <= 0) return {};
    std::vector<BYTE> output(*count * bytesPerEntry + 16, 0xCD);
    EXPECT_EQ(Ask(index, output.data(), kAll), *count) << index;
    for (size_t i = *count * bytesPerEntry; i < output.size(); ++i) EXPECT_EQ(output[i], 0xCD) << index;
    output.resize(*count * bytesPerEntry);
    return output;
  }
  template <typename T>
  static T At(const std::vector<BYTE>& bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
  }
  static std::u16string Name(const std::vector<BYTE>& bytes, size_t offset, size_t chars) {
    std::u16string name(chars, 0);
    std::memcpy(name.data(), bytes.data() + offset, chars * 2);
    return name.substr(0, name.find(u'\0'));
  }

};

constexpr LONG kAllFields = 0x0781FF13;

TEST_F(DeviceCapabilitiesTest, EveryIndexWithTheSampleModel) {
  // The user's first paper as the server's form of the same name.
  FORM_INFO_1W userForm{0, const_cast<LPWSTR>(u"User Paper 1"), {200040, 300090}, {0, 0, 200040, 300090}};
  ASSERT_TRUE(AddFormW(printer_, 1, reinterpret_cast<const BYTE*>(&userForm)));
  const DWORD userFormNumber = 119;
  using Check = std::function<void(const std::vector<BYTE>&)>;
  const struct Case {
    WORD index;
    LONG all;        // with store, settings and configuration
    LONG storeOnly;  // with the store alone
    LONG nothing;    // with nothing at hand
    size_t entryBytes;
    Check check;
  } cases[] = {
      {DC_FIELDS, 0x1234, kAllFields, 0x1FF13, 0, nullptr},  // the record's own dmFields
      {DC_PAPERS, 37, -1, -1, 2,
       [&](const std::vector<BYTE>& out) {
         EXPECT_EQ(At<WORD>(out, 0), 1);            // Letter
         EXPECT_EQ(At<WORD>(out, 7 * 2), 9);        // A4
         EXPECT_EQ(At<WORD>(out, 34 * 2), 0);       // Custom Size: no form
         EXPECT_EQ(At<WORD>(out, 35 * 2), userFormNumber);  // User Paper 1: its form
         EXPECT_EQ(At<WORD>(out, 36 * 2), 256);     // User Paper 2: no form, the custom size
       }},
      {DC_PAPERSIZE, 37, -1, -1, 8,
       [](const std::vector<BYTE>& out) {
         EXPECT_EQ(At<LONG>(out, 0), 2159);
         EXPECT_EQ(At<LONG>(out, 4), 2794);
         EXPECT_EQ(At<LONG>(out, 7 * 8), 2100);
         EXPECT_EQ(At<LONG>(out, 7 * 8 + 4), 2970);
         EXPECT_EQ(At<LONG>(out, 34 * 8), 900);     // the custom size's first size
         EXPECT_EQ(At<LONG>(out, 35 * 8), 2000);    // the form's size, truncated
         EXPECT_EQ(At<LONG>(out, 35 * 8 + 4), 3000);
         EXPECT_EQ(At<LONG>(out, 36 * 8), 2100);    // the user paper's own size
         EXPECT_EQ(At<LONG>(out, 36 * 8 + 4), 2970);
       }},
      {DC_PAPERNAMES, 37, -1, -1, 128,
       [](const std::vector<BYTE>& out) {
         EXPECT_EQ(Name(out, 0, 64), u"Letter");
         EXPECT_EQ(Name(out, 7 * 128, 64), u"A4");
         EXPECT_EQ(Name(out, 29 * 128, 64), u"Japanese Postcard");
         EXPECT_EQ(Name(out, 35 * 128, 64), u"Custom Paper 1 (200 x 300 mm)");
         EXPECT_EQ(Name(out, 36 * 128, 64), u"Custom Paper 2 (210 x 297 mm)");
       }},
      {DC_MINEXTENT, (1250 << 16) | 900, -1, -1, 0, nullptr},
      {DC_MAXEXTENT, (4580 << 16) | 4318, -1, -1, 0, nullptr},
      {DC_BINS, 8, -1, -1, 2,
       [](const std::vector<BYTE>& out) {
         const WORD expected[] = {7, 1, 2, 3, 257, 11, 4, 5};
         for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(At<WORD>(out, 2 * i), expected[i]) << i;
       }},
      {DC_BINNAMES, 8, -1, -1, 48,
       [](const std::vector<BYTE>& out) {
         EXPECT_EQ(Name(out, 0, 24), u"Auto Select");
         EXPECT_EQ(Name(out, 7 * 48, 24), u"Envelope Feeder");
       }},
      {DC_DUPLEX, 1, -1, -1, 0, nullptr},
      {DC_SIZE, 220, 220, 220, 0, nullptr},
      {DC_EXTRA, 1328, 1328, 1328, 0, nullptr},
      {DC_VERSION, 0x401, 0x500, 0x500, 0, nullptr},
      {DC_DRIVER, 0x2142, 0x2142, 0x2142, 0, nullptr},
      {DC_ENUMRESOLUTIONS, 3, 3, -1, 8,
       [](const std::vector<BYTE>& out) {
         const LONG expected[] = {300, 300, 600, 600, 1200, 1200};
         for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(At<LONG>(out, 4 * i), expected[i]) << i;
       }},
      {DC_FILEDEPENDENCIES, 0, 0, 0, 0, nullptr},
      {DC_TRUETYPE, 6, 6, 6, 0, nullptr},
      {DC_ORIENTATION, 90, 90, 90, 0, nullptr},
      {DC_COPIES, 999, 999, 999, 0, nullptr},
      {DC_COLLATE, 1, 1, 1, 0, nullptr},
      {DC_PRINTRATE, 45, 45, -1, 0, nullptr},
      {DC_PRINTRATEPPM, 45, 45, -1, 0, nullptr},
      {DC_PRINTRATEUNIT, 1, 1, 1, 0, nullptr},
      {DC_MEDIAREADY, 37, 37, -1, 128,
       [](const std::vector<BYTE>& out) {
         EXPECT_EQ(Name(out, 0, 64), u"Letter");
         EXPECT_EQ(Name(out, 36 * 128, 64), u"User Paper 2");
       }},
      {DC_STAPLE, 0, -1, -1, 0, nullptr},
      {DC_COLORDEVICE, 1, 1, -1, 0, nullptr},
      {33, -1, -1, -1, 0, nullptr},  // DC_NUP
      {35, -1, -1, -1, 0, nullptr},  // DC_MEDIATYPES
  };
  Put(kItemFields, 0x1234);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "DC_ index " << c.index);
    const LONG all = c.all;
    EXPECT_EQ(Ask(c.index, nullptr, kCapabilityStore), c.storeOnly);
    EXPECT_EQ(Ask(c.index, nullptr, 0), c.nothing);
    if (c.check == nullptr) {
      EXPECT_EQ(Ask(c.index, nullptr, kAll), all);
      continue;
    }
    LONG count = 0;
    const std::vector<BYTE> output = AskTwice(c.index, c.entryBytes, &count);
    EXPECT_EQ(count, all);
    if (count > 0) c.check(output);
  }
  // Every index of the table is in the cases.
  for (const CapabilityRow* row = CapabilityTable; row->index != 0; ++row) {
    bool listed = false;
    for (const Case& c : cases) listed = listed || c.index == row->index;
    EXPECT_TRUE(listed) << row->index;
  }
  // The file dependencies are an empty list.
  WCHAR none = 0x5A5A;
  EXPECT_EQ(Ask(DC_FILEDEPENDENCIES, &none, kAll), 0);
  EXPECT_EQ(none, 0);
}

TEST_F(DeviceCapabilitiesTest, AnswersFollowTheSettingsAndTheModel) {
  Put(kItemModelOptions, 0);  // no duplex unit
  EXPECT_EQ(Ask(DC_DUPLEX, nullptr, kAll), 0);
  Put(kItemStapler, 1);
  Put(kItemFinisher, 1);
  EXPECT_EQ(Ask(DC_STAPLE, nullptr, kAll), 1);
  Put(kItemFinisher, 0);
  EXPECT_EQ(Ask(DC_STAPLE, nullptr, kAll), 0);
  // Without the spooler's forms the paper list cannot be filled: the count alone is known.
  SimFailCall("EnumFormsW", ERROR_ACCESS_DENIED, 1, 2);
  std::vector<BYTE> output(37 * 2);
  EXPECT_EQ(Ask(DC_PAPERS, output.data(), kAll), -1);
  EXPECT_EQ(Ask(DC_PAPERS, nullptr, kAll), 37);
}

// A model whose rules refuse one bin and hide another.
TEST_F(DeviceCapabilitiesTest, BinsTheRulesRefuseAreNotOffered) {
  const std::string model = R"(model "Bins"
version "T:1.0.0"
level 0x1600
sizerange 1 first=2100x2970 second=2100x2970
paper 9 name="A4" code=8 size=1 limits=1 margins=1
source 1 name="Tray 1" range=1 papers=[9] attributes=[0]
source 2 name="Tray 2" range=1 papers=[9] attributes=[0]
source 3 name="Closed Tray" range=1 papers=[9] attributes=[0]
source 4 name="A Bin With A Very Long Name Indeed" range=1 papers=[9] attributes=[0]
list 8 name="Paper" kind=1 default=1 choices=[1]
choice 1 name="A4" reftype=10 refkey=9 value=i16:9
list 13 name="Source" kind=1 default=1 choices=[2 3 4 5]
choice 2 name="Tray 1" reftype=5 refkey=1 value=i16:1
choice 3 name="Tray 2" reftype=5 refkey=2 rules=[1] value=i16:2
choice 4 name="Closed Tray" reftype=5 refkey=3 rules=[2] value=i16:3
choice 5 name="A Bin With A Very Long Name Indeed" reftype=5 refkey=4 value=i16:4
list 265 name="Driver Source" kind=1 default=1 choices=[6 7]
choice 6 name="Tray 1" reftype=5 refkey=1 value=u16:1
choice 7 name="Closed Tray" reftype=5 refkey=3 rules=[3] value=u16:3
rule 1 watch=(13 = i16:2) msgword=1 message="Tray 2 is refused."
rule 2 watch=(13 = i16:3) msgword=3 message="Asked, not refused: only the driver's own source counts."
rule 3 watch=(265 = u16:3) msgword=6 message="The closed tray is hidden."
)";
  ItemStore* bins = OpenModelText(model, u"BINS.DDD");
  ASSERT_NE(bins, nullptr);
  DWORD count = 0;
  BinEntry* entries = nullptr;
  ASSERT_TRUE(BuildBinList(bins, printer_, &settings_, &config_, &count, &entries));
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(entries[0].value, 1);
  EXPECT_EQ(entries[1].value, 4);
  EXPECT_EQ(std::u16string(entries[1].name), u"A Bin With A Very Long N");
  GlobalFree(entries);
  std::vector<BYTE> names(2 * 48);
  EXPECT_EQ(DispatchDeviceCapability(printer_, DC_BINNAMES, names.data(), kAll, &settings_, &config_, bins), 2);
  EXPECT_EQ(Name(names, 48, 24), u"A Bin With A Very Long ");
  EXPECT_EQ(BuildBinList(nullptr, printer_, &settings_, &config_, &count, &entries), FALSE);
  CloseItemStore(bins);
}

}  // namespace

#include <cstring>
#include <string>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/persist/form_matching.h"
#include "core/persist/paper_fields.h"
#include "core/persist/public_fields.h"
#include "core/rules/field_sync.h"
#include "core/store/dm_fields.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/printer_fixture.h"

namespace {

using printer_test::SamplePrinterTest;

constexpr DWORD kDriverBytes = kSettingsRecordShortSize;

// Printer "P1" of the sample model with default settings as the destination and an
// application's device mode as the source.
class PublicFieldsTest : public SamplePrinterTest {
 protected:
  void SetUp() override {
    SamplePrinterTest::SetUp();
    SimSetLocaleInfo(LOCALE_ICOUNTRY, u"49");  // A4 is the default paper
    OpenStore();
    destination_ = std::make_unique<SettingsRecord>();
    source_ = std::make_unique<SettingsRecord>();
    config_ = std::make_unique<PrinterConfiguration>();
    ASSERT_TRUE(ApplyDataFileDefaults(store_, destination_.get(), config_.get(), kPrinter));
    *source_ = *destination_;
  }

  LONG Get(SettingsRecord* record, SettingItemId id) {
    ItemValueCell cell{};
    ValueTypeCode type = 0;
    DWORD length = 0;
    EXPECT_EQ(GetItemValue(id, record, config_.get(), &type, &length, &cell), kItemDone) << id;
    return type == kTypeInt16 ? static_cast<SHORT>(cell.word)
           : length == 2      ? cell.word
           : length == 1      ? cell.byte
                              : static_cast<LONG>(cell.number);
  }
  std::u16string Text(SettingsRecord* record, SettingItemId id) {
    ItemValueCell cell{};
    ValueTypeCode type = 0;
    DWORD length = 0;
    EXPECT_EQ(GetItemValue(id, record, config_.get(), &type, &length, &cell), kItemDone) << id;
    return std::u16string(static_cast<const char16_t*>(cell.data));
  }
  void Put(SettingsRecord* record, SettingItemId id, LONG value) {
    ItemLocation location{};
    DWORD size = 0;
    ASSERT_EQ(LocateItem(id, record, config_.get(), &location), kItemDone);
    ASSERT_TRUE(GetValueTypeSize(location.row->type, &size));
    ASSERT_EQ(SetItemValue(id, record, config_.get(), location.row->type, size, &value), kItemDone) << id;
  }
  void PutText(SettingsRecord* record, SettingItemId id, const char16_t* text) {
    const DWORD bytes = DWORD(std::char_traits<char16_t>::length(text) + 1) * 2;
    ASSERT_EQ(SetItemValue(id, record, config_.get(), kTypeString, bytes, &text), kItemDone) << id;
  }
  // The first `bytes` bytes of the source in a block of exactly that size, so that reading past
  // them is caught.
  std::vector<BYTE> SourceBytes(DWORD bytes) const {
    return std::vector<BYTE>(source_->bytes, source_->bytes + bytes);
  }
  BOOL Merge(const std::vector<BYTE>& bytes, WORD operation = kItemOpCheckpublic) {
    return ValidatePublicFields(store_, destination_.get(), bytes.data(), DWORD(bytes.size()), config_.get(),
                                printer_, operation);
  }
  DWORD Fields(SettingsRecord* record) { return static_cast<DWORD>(Get(record, kItemFields)); }

  std::unique_ptr<SettingsRecord> destination_, source_;
  std::unique_ptr<PrinterConfiguration> config_;
};

TEST_F(PublicFieldsTest, FlaggedFieldsThatPassTheirCheckAreTakenOver) {
  const struct Case {
    const char* what;
    DWORD fields;          // the source's dmFields
    SettingItemId item;    // the field set in the source
    LONG value;
    WORD operation;
    LONG expected;         // the destination's value afterwards
    bool flagged;          // the field's bit set in the destination afterwards
  } cases[] = {
      {"copies", DM_COPIES, 12, 5, kItemOpCheckpublic, 5, true},
      {"no copies is refused", DM_COPIES, 12, 0, kItemOpCheckpublic, 1, false},
      {"copies beyond the model's most", DM_COPIES, 12, 1000, kItemOpCheck, 1, false},
      {"copies within the model's most", DM_COPIES, 12, 999, kItemOpCheck, 999, true},
      {"copies not flagged", 0, 12, 5, kItemOpCheckpublic, 1, false},
      {"landscape", DM_ORIENTATION, 7, 2, kItemOpCheckpublic, 2, true},
      {"an orientation that does not exist", DM_ORIENTATION, 7, 3, kItemOpCheckpublic, 1, false},
      {"two-sided", DM_DUPLEX, 16, 2, kItemOpCheckpublic, 2, true},
      {"two-sided, short edge", DM_DUPLEX, 16, 3, kItemOpCheckpublic, 3, true},
      {"a duplex mode that does not exist", DM_DUPLEX, 16, 4, kItemOpCheckpublic, 1, false},
      {"collate", DM_COLLATE, 18, 0, kItemOpCheckpublic, 0, true},
      {"a source by the public number", DM_DEFAULTSOURCE, 13, 4, kItemOpCheckpublic, 4, true},
      {"media type passes unchecked", DM_MEDIATYPE, 24, 77, kItemOpCheckpublic, 77, true},
      {"ICM intent", DM_ICMINTENT, 23, 3, kItemOpCheckpublic, 3, true},
      {"an ICM intent that does not exist", DM_ICMINTENT, 23, 9, kItemOpCheckpublic, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, destination_.get(), config_.get(), kPrinter));
    *source_ = *destination_;
    const LONG before = Get(destination_.get(), c.item);
    Put(destination_.get(), kItemFields, 0);
    Put(source_.get(), kItemFields, static_cast<LONG>(c.fields));
    Put(source_.get(), c.item, c.value);
    // An application's device mode: the public part alone.
    source_->bytes[offsetof(DEVMODEW, dmDriverExtra)] = 0;
    source_->bytes[offsetof(DEVMODEW, dmDriverExtra) + 1] = 0;
    EXPECT_TRUE(Merge(SourceBytes(sizeof(DEVMODEW)), c.operation));
    EXPECT_EQ(Get(destination_.get(), c.item), c.flagged ? c.expected : before);
    const DWORD bit = c.fields != 0 ? c.fields : DM_COPIES;
    EXPECT_EQ((Fields(destination_.get()) & bit) != 0, c.flagged);
  }
}

TEST_F(PublicFieldsTest, PaperByNumberSizeAndFormName) {
  // A form of the server that is not built in, named like one of the model's papers.
  FORM_INFO_1W form{0, const_cast<LPWSTR>(u"Office A5"), {148000, 210000}, {0, 0, 148000, 210000}};
  ASSERT_TRUE(AddFormW(printer_, 1, reinterpret_cast<const BYTE*>(&form)));
  const struct Case {
    const char* what;
    DWORD fields;
    LONG paper, width, length;
    const char16_t* name;
    LONG expectedPaper, expectedWidth, expectedLength;
    std::u16string expectedName;
    DWORD expectedFields;  // of the paper bits
  } cases[] = {
      {"by number", DM_PAPERSIZE, 11, 0, 0, u"", 11, 1480, 2100, u"A5", DM_PAPERSIZE},
      {"by size before the number", DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH, 11, 2970, 4200, u"", 8, 2970,
       4200, u"A3", DM_PAPERSIZE},
      // The model's field mask holds no width or length bit: flagged alone they are not taken.
      {"width and length alone", DM_PAPERWIDTH | DM_PAPERLENGTH, 0, 2970, 4200, u"", 9, 2100, 2970, u"A4", 0},
      {"custom size by size only", DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH, 256, 2100, 2970, u"", 9, 2100, 2970,
       u"A4", DM_PAPERSIZE},
      {"a size no form has", DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH, 256, 1234, 2345, u"", 256, 1234, 2345,
       u"A4", DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH},
      {"by form name", DM_FORMNAME, 0, 0, 0, u"Legal", 5, 2159, 3556, u"Legal", DM_FORMNAME},
      {"by the name of a server form of the model's size", DM_FORMNAME, 0, 0, 0, u"Office A5", 11, 1480, 2100,
       u"A5", DM_FORMNAME},
      {"an unknown form name keeps the paper", DM_FORMNAME, 0, 0, 0, u"No Such Form", 9, 2100, 2970, u"A4", 0},
      {"a number past the forms keeps the paper", DM_PAPERSIZE, 900, 0, 0, u"", 9, 2100, 2970, u"A4", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, destination_.get(), config_.get(), kPrinter));
    *source_ = *destination_;
    Put(destination_.get(), kItemFields, 0);
    Put(source_.get(), kItemFields, static_cast<LONG>(c.fields));
    Put(source_.get(), kItemPaperSize, c.paper);
    Put(source_.get(), kItemPaperWidth, c.width);
    Put(source_.get(), kItemPaperLength, c.length);
    PutText(source_.get(), kItemFormName, c.name);
    EXPECT_TRUE(Merge(SourceBytes(kDriverBytes)));
    EXPECT_EQ(Get(destination_.get(), kItemPaperSize), c.expectedPaper);
    EXPECT_EQ(Get(destination_.get(), kItemPaperWidth), c.expectedWidth);
    EXPECT_EQ(Get(destination_.get(), kItemPaperLength), c.expectedLength);
    EXPECT_EQ(Text(destination_.get(), kItemFormName), c.expectedName);
    EXPECT_EQ(Fields(destination_.get()) & (DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH | DM_FORMNAME),
              c.expectedFields);
  }
}

TEST_F(PublicFieldsTest, ShortAndForeignDeviceModesAreReadWithinTheirBytes) {
  // Each source is handed over in a block of exactly its stated bytes (ASan checks the reads).
  Put(source_.get(), kItemFields, static_cast<LONG>(DM_COPIES | DM_DITHERTYPE | DM_MEDIATYPE | DM_ORIENTATION));
  Put(source_.get(), kItemCopies, 7);
  Put(source_.get(), kItemOrientation, 2);
  Put(source_.get(), kItemMediaKind, 3);
  Put(source_.get(), kItemDitherType, 4);
  const SettingsRecord defaults = *destination_;
  const struct Case {
    const char* what;
    WORD size, extra;  // dmSize and dmDriverExtra as stated
    DWORD bytes;       // bytes handed over
    bool copies, dither;
  } cases[] = {
      {"a 212-byte public part", 212, 0, 212, true, true},
      {"a 188-byte public part without the dither fields", 188, 0, 188, true, false},
      {"below 188 bytes only the locked values apply", 187, 0, 187, false, false},
      {"a private part longer than the bytes given", 220, 1328, 300, true, true},
      {"a size beyond the bytes given", 5000, 0, 220, true, true},
      {"fewer bytes than the size field", 220, 0, 60, false, false},
      {"no bytes", 220, 0, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    *destination_ = defaults;
    Put(source_.get(), kItemDevmodeSize, c.size);
    Put(source_.get(), kItemDriverExtra, c.extra);
    EXPECT_TRUE(Merge(SourceBytes(c.bytes)));
    EXPECT_EQ(Get(destination_.get(), kItemCopies), c.copies ? 7 : 1);
    EXPECT_EQ(Get(destination_.get(), kItemOrientation), c.copies ? 2 : 1);
    EXPECT_EQ(Get(destination_.get(), kItemDitherType),
              c.dither ? 4 : Get(const_cast<SettingsRecord*>(&defaults), kItemDitherType));
    EXPECT_EQ(Get(destination_.get(), kItemMediaKind),
              c.dither ? 3 : Get(const_cast<SettingsRecord*>(&defaults), kItemMediaKind));
    // A public part alone never gives the destination a private part.
    EXPECT_EQ(Get(destination_.get(), kItemDriverRelease), 0x2142);
    EXPECT_EQ(Get(destination_.get(), kItemDevmodeSize), 220);
  }
}

TEST_F(PublicFieldsTest, TheDriversOwnDeviceModeGivesItsPrivatePart) {
  // The private part follows a short public part where the source's dmSize says.
  Put(source_.get(), kItemMonochromeDefault, 1);     // monochrome
  Put(source_.get(), kItemIcmChoice, 3);             // ICM by the system
  Put(source_.get(), kItemSourceFollowsDefault, 1);  // the driver's source follows dmDefaultSource
  Put(source_.get(), kItemDefaultSource, 4);
  Put(source_.get(), kItemTrueTypeOption, 1);  // TrueType as bitmaps
  Put(source_.get(), kItemFields, static_cast<LONG>(DM_DEFAULTSOURCE | DM_TTOPTION));
  Put(source_.get(), kItemColor, 2);  // the application's dmColor never counts
  Put(destination_.get(), kItemDriverRelease, 0x2142);
  std::vector<BYTE> bytes = SourceBytes(kDriverBytes);
  EXPECT_TRUE(Merge(bytes));
  EXPECT_EQ(Get(destination_.get(), kItemMonochromeDefault), 1);
  EXPECT_EQ(Get(destination_.get(), kItemColor), 1);
  EXPECT_NE(Fields(destination_.get()) & DM_COLOR, 0u);
  EXPECT_EQ(Get(destination_.get(), kItemIcmMethod), 2);
  EXPECT_NE(Fields(destination_.get()) & DM_ICMMETHOD, 0u);
  EXPECT_EQ(Get(destination_.get(), kItemDefaultSource), 4);
  EXPECT_EQ(Get(destination_.get(), kItemPaperSource), 4);
  EXPECT_EQ(Get(destination_.get(), kItemTrueTypeMode), 1);

  // The same device mode with a 212-byte public part: its private part starts at byte 212.
  ASSERT_TRUE(ApplyDataFileDefaults(store_, destination_.get(), config_.get(), kPrinter));
  Put(source_.get(), kItemDevmodeSize, 212);
  std::vector<BYTE> shifted(source_->bytes, source_->bytes + 212);
  shifted.insert(shifted.end(), source_->bytes + 220, source_->bytes + kDriverBytes);
  EXPECT_TRUE(Merge(shifted));
  EXPECT_EQ(Get(destination_.get(), kItemMonochromeDefault), 1);
  EXPECT_EQ(Get(destination_.get(), kItemPaperSource), 4);

  // Another model's private part is not taken.
  ASSERT_TRUE(ApplyDataFileDefaults(store_, destination_.get(), config_.get(), kPrinter));
  Put(source_.get(), kItemDevmodeSize, 220);
  PutText(source_.get(), kItemModelName, u"Other Model");
  EXPECT_TRUE(Merge(SourceBytes(kDriverBytes)));
  EXPECT_EQ(Get(destination_.get(), kItemMonochromeDefault), 0);
  EXPECT_EQ(Get(destination_.get(), kItemColor), 2);
}

TEST_F(PublicFieldsTest, FieldsTheModelDoesNotSupportOnThisPlatformStay) {
  // On the NT 4 generation the media and dither fields are not offered.
  SimSetVersion(4, 0, 1381);
  Put(source_.get(), kItemFields, static_cast<LONG>(DM_DITHERTYPE | DM_COPIES));
  Put(source_.get(), kItemDitherType, 4);
  Put(source_.get(), kItemCopies, 3);
  const LONG dither = Get(destination_.get(), kItemDitherType);
  Put(destination_.get(), kItemFields, 0);
  EXPECT_TRUE(Merge(SourceBytes(kDriverBytes)));
  EXPECT_EQ(Get(destination_.get(), kItemDitherType), dither);
  EXPECT_EQ(Fields(destination_.get()) & DM_DITHERTYPE, 0u);
  EXPECT_EQ(Get(destination_.get(), kItemCopies), 3);
}

TEST_F(PublicFieldsTest, MissingRecordsAndResolutions) {
  const std::vector<BYTE> bytes = SourceBytes(kDriverBytes);
  EXPECT_FALSE(ValidatePublicFields(store_, nullptr, bytes.data(), kDriverBytes, config_.get(), printer_,
                                    kItemOpCheck));
  EXPECT_FALSE(ValidatePublicFields(store_, destination_.get(), bytes.data(), kDriverBytes, nullptr, printer_,
                                    kItemOpCheck));
  EXPECT_TRUE(ValidatePublicFields(store_, destination_.get(), nullptr, 0, config_.get(), printer_, kItemOpCheck));

  const struct Case {
    WORD operation;
    LONG pair;       // the source's item 14
    LONG quality;    // the source's dmPrintQuality
    LONG expected;   // the destination's item 14 afterwards
    BOOL result;
  } cases[] = {
      {kItemOpCheck, 39322200, 600, 39322200, TRUE},     // listed: copied
      {kItemOpCheck, 12345, 0, 19661100, TRUE},          // not listed: kept
      {kItemOpCheckpublic, 0, 1200, 0x04B004B0, TRUE},   // both halves from dmPrintQuality
      {kItemOpCheckpublic, 0, -3, 19661100, TRUE},       // a draft quality is not a resolution
      {kItemOpDefault, 0, 600, 19661100, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pair);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, destination_.get(), config_.get(), kPrinter));
    Put(destination_.get(), kItemResolutionPair, 19661100);
    *source_ = *destination_;
    Put(source_.get(), kItemFields, static_cast<LONG>(DM_PRINTQUALITY | DM_YRESOLUTION));
    if (c.pair != 0)
      Put(source_.get(), kItemResolutionPair, c.pair);
    else
      Put(source_.get(), kItemResolution, c.quality);
    EXPECT_EQ(Merge(SourceBytes(kDriverBytes), c.operation), c.result);
    EXPECT_EQ(static_cast<DWORD>(Get(destination_.get(), kItemResolutionPair)), static_cast<DWORD>(c.expected));
    if (c.result) {
      EXPECT_EQ(Fields(destination_.get()) & (DM_PRINTQUALITY | DM_YRESOLUTION), DM_PRINTQUALITY | DM_YRESOLUTION);
    }
  }
}

TEST_F(PublicFieldsTest, SingleRulesKeepMirroredItemsInStep) {
  SettingsRecord* s = destination_.get();
  PrinterConfiguration* c = config_.get();
  // The adjustment triples.
  const struct Triple {
    LONG split;
    std::vector<std::pair<SettingItemId, LONG>> values;
    LONG expected;
  } triples[] = {
      {0, {{278, 5}}, 7},
      {0, {}, 0},
      {0, {{275, 1}}, 0},
      {1, {{279, 1}}, 1},
      {1, {{276, -1}, {285, 2}}, 6},
      {1, {{274, 3}}, 0},
  };
  for (const Triple& t : triples) {
    for (SettingItemId id = 274; id <= 285; ++id) Put(s, id, 0);
    Put(s, kItemPerKindAdjust, t.split);
    for (const auto& [id, value] : t.values) Put(s, id, value);
    EXPECT_TRUE(SyncItemTriples274To285(s, c));
    EXPECT_EQ(Get(s, kItemColorAdjustKinds), t.expected);
  }
  // TrueType option and mode.
  const struct TrueType {
    SettingItemId changed;
    LONG option, mode;
    LONG expectedOption, expectedMode;
  } trueTypes[] = {
      {17, 1, 0, 1, 1}, {17, 2, 1, 2, 2}, {17, 3, 0, 3, 0}, {292, 2, 1, 1, 1}, {292, 1, 0, 3, 0}, {292, 1, 2, 3, 2},
  };
  for (const TrueType& t : trueTypes) {
    Put(s, kItemTrueTypeOption, t.option);
    Put(s, kItemTrueTypeMode, t.mode);
    EXPECT_TRUE(SyncTrueTypeOptionItem(s, c, t.changed));
    EXPECT_EQ(Get(s, kItemTrueTypeOption), t.expectedOption);
    EXPECT_EQ(Get(s, kItemTrueTypeMode), t.expectedMode);
  }
  EXPECT_FALSE(SyncTrueTypeOptionItem(s, c, kItemCollate));
  // Field flags that follow private flags.
  Put(s, kItemFields, 0);
  Put(s, kItemScaleFieldFlag, 1);
  Put(s, kItemSizeFieldsFlag, 1);
  EXPECT_TRUE(SyncScaleFieldFlag(s, c));
  EXPECT_TRUE(SyncPaperSizeFieldFlags(s, c));
  EXPECT_EQ(Fields(s), DM_SCALE | DM_PAPERLENGTH | DM_PAPERWIDTH);
  Put(s, kItemScaleFieldFlag, 0);
  Put(s, kItemSizeFieldsFlag, 0);
  EXPECT_TRUE(SyncScaleFieldFlag(s, c));
  EXPECT_TRUE(SyncPaperSizeFieldFlags(s, c));
  EXPECT_EQ(Fields(s), 0u);
  // Colour and ICM.
  for (LONG mono : {0, 1, 2}) {
    Put(s, kItemMonochromeDefault, mono);
    EXPECT_TRUE(SyncColorItem(s, c));
    EXPECT_EQ(Get(s, kItemColor), mono == 1 ? 1 : 2);
  }
  for (LONG icm : {0, 3}) {
    Put(s, kItemIcmChoice, icm);
    EXPECT_TRUE(SyncIcmMethodItem(s, c));
    EXPECT_EQ(Get(s, kItemIcmMethod), icm == 3 ? 2 : 1);
  }
  EXPECT_EQ(Fields(s), DM_COLOR | DM_ICMMETHOD);
  // The two paper sources, only while item 457 is set, and not for the values that keep.
  const struct Source {
    LONG enabled, driver, pub;
    bool fromDefault;
    LONG expectedDriver, expectedPublic;
  } sources[] = {
      {0, 3, 4, true, 3, 4},    {1, 3, 4, true, 4, 4},    {1, 3, 15, true, 3, 15},
      {1, 260, 4, false, 260, 260}, {1, 258, 4, false, 258, 4}, {0, 260, 4, false, 260, 4},
  };
  for (const Source& t : sources) {
    Put(s, kItemSourceFollowsDefault, t.enabled);
    Put(s, kItemPaperSource, t.driver);
    Put(s, kItemDefaultSource, t.pub);
    EXPECT_TRUE(t.fromDefault ? SyncSourceFromDefault(s, c) : SyncDefaultSourceItem(s, c));
    EXPECT_EQ(Get(s, kItemPaperSource), t.expectedDriver);
    EXPECT_EQ(Get(s, kItemDefaultSource), t.expectedPublic);
  }
  EXPECT_FALSE(SyncColorItem(nullptr, c));
}

TEST_F(PublicFieldsTest, FormNameFollowsThePaper) {
  SettingsRecord* s = destination_.get();
  PrinterConfiguration* c = config_.get();
  Put(s, kItemPaperSize, 11);
  PutText(s, kItemFormName, u"Stale");
  EXPECT_TRUE(SyncFormNameItem(store_, printer_, s, c));
  EXPECT_EQ(Text(s, kItemFormName), u"A5");
  EXPECT_EQ(Get(s, kItemPaperWidth), 1480);
  // A user paper takes the name of its slot; no form has it, so the printer's own paper
  // items come in (the printer keeps no device mode here, which fails).
  Put(s, kItemPaperSize, 262);
  PutText(s, kItemUserPaperName, u"Flyer");
  EXPECT_FALSE(SyncFormNameItem(store_, printer_, s, c));
  EXPECT_EQ(Text(s, kItemFormName), u"Flyer");
  // With the printer's device mode its paper items are taken.
  SettingsRecord stored = *destination_;
  Put(&stored, kItemPaperSize, 5);
  Put(&stored, kItemPaperWidth, 2159);
  Put(&stored, kItemPaperLength, 3556);
  PutText(&stored, kItemFormName, u"Legal");
  ASSERT_TRUE(SimSetPrinterDevMode(kPrinter, {stored.bytes, kDriverBytes}));
  Put(s, kItemPaperSize, 262);
  EXPECT_TRUE(SyncFormNameItem(store_, printer_, s, c));
  EXPECT_EQ(Get(s, kItemPaperSize), 5);
  EXPECT_EQ(Text(s, kItemFormName), u"Legal");
  // A paper that is neither a built-in form nor one of the model's.
  Put(s, kItemPaperSize, 4321);
  EXPECT_FALSE(SyncFormNameItem(store_, printer_, s, c));
  // The printer's paper items copied alone.
  Put(s, kItemPaperSize, 9);
  EXPECT_TRUE(CopyPrinterPaperItems(store_, s, c, printer_));
  EXPECT_EQ(Get(s, kItemPaperSize), 5);
  EXPECT_EQ(Get(s, kItemPaperLength), 3556);
}

}  // namespace

// The ItemStore of a printer added for the sample model: defaults, choices, paper queries,
// model facts, settings read and written through the wrappers, and a policy file beside the
// module that forces and locks values.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "core/fonts/font_sub_table.h"
#include "core/runtime/module_state.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "core/store/settings_record.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/fresh_process.h"
#include "tests/support/printer_fixture.h"

namespace {

constexpr const WCHAR* kPrinter = u"QX-4500 on LPT1";

class ItemStoreTest : public printer_test::PrinterTest {
 protected:
  HANDLE printer = nullptr;
  ItemStore* store = nullptr;

  void SetUp() override {
    PrinterTest::SetUp();
    AddPrinter(kPrinter);
    printer = PrinterTest::Open(kPrinter, PRINTER_ACCESS_USE);
  }
  void TearDown() override {
    if (store) {
      EXPECT_TRUE(CloseItemStore(store));
    }
    PrinterTest::TearDown();
  }
  void Open() {
    store = OpenItemStore(printer);
    ASSERT_NE(store, nullptr);
  }
  // Makes a module of the driver directory the module the core library belongs to.
  static void UseDriverModule() {
    HMODULE own = LoadLibraryW(u"qorvexdata.dll");
    ASSERT_NE(own, nullptr);
    SetModuleInstance(own);
  }
  // Writes the policy file of the sample model beside the module.
  static void WritePolicy(const std::string& text) {
    WCHAR directory[MAX_PATH];
    ASSERT_TRUE(GetModuleDirectory(directory, sizeof directory));
    std::u16string path = std::u16string(directory) + u"QX4500.cfg";
    std::ofstream(SimHostPath(path.c_str())) << text;
  }
};

TEST_F(ItemStoreTest, DefaultsChoicesAndModelFacts) {
  Open();
  EXPECT_EQ(store->policy, nullptr) << "no policy file beside the module";
  ULONG_PTR value = 0;
  WORD type = 0;
  WORD status = 9;
  ASSERT_EQ(QueryItemDefault(store, kItemOrientation, &value, &type, &status), 1);
  EXPECT_EQ(status, kQueryOk);
  EXPECT_EQ(type, 2);
  EXPECT_EQ(value, 1u) << "portrait, zero-extended from 16 bits";
  ASSERT_EQ(QueryItemDefault(store, kItemDeviceOptionFirst, &value, &type, &status), 1);
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(QueryItemDefault(store, 999, &value, &type, &status), 0);
  EXPECT_EQ(status, kQueryAbsent);

  BYTE kind = 0;
  WORD count = 0;
  LPCWSTR name = nullptr;
  DatabaseRecord* list = nullptr;
  ASSERT_EQ(QueryChoiceListHeader(store, kItemPaperSize, &kind, &count, &name, &list, &status), 1);
  EXPECT_EQ(count, 37);
  EXPECT_EQ(kind, 1);
  EXPECT_TRUE(ReleaseRecord(list));

  ChoiceValue* choice = nullptr;
  ASSERT_EQ(QueryChoiceEntry(store, kItemPaperSize, 8, &choice, &status), 1);
  void* choiceValue = nullptr;
  DataBlock* block = nullptr;
  ASSERT_EQ(GetChoiceEntryFields(choice, &choiceValue, &name, &type, &block), 1);
  EXPECT_EQ(std::u16string(name), u"A4");
  EXPECT_EQ(type, 2);
  EXPECT_EQ(*static_cast<SHORT*>(choiceValue), 9);
  ReleaseChoiceEntry(choice);
  ASSERT_EQ(QueryChoiceEntry(store, kItemOrientation, 1, &choice, &status), 1);
  GetChoiceEntryFields(choice, nullptr, nullptr, nullptr, &block);
  EXPECT_NE(block, nullptr) << "the orientation choices name data blocks";
  ReleaseChoiceEntry(choice);
  EXPECT_EQ(QueryChoiceEntry(store, kItemPaperSize, 38, &choice, &status), 0);
  EXPECT_EQ(status, kQueryAbsent);

  SHORT a4 = 9, unknown = 2;
  EXPECT_TRUE(IsItemValueListed(store, kItemPaperSize, &a4));
  EXPECT_FALSE(IsItemValueListed(store, kItemPaperSize, &unknown));

  LPWSTR model = GetModelName(store, &status);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(std::u16string(model), u"Qorvex QX-4500");
  GlobalFree(model);
  EXPECT_EQ(GetMaxCopies(store), 999);
  EXPECT_EQ(GetColorCapabilityByte(store), 2);
  EXPECT_EQ(GetColorCapabilityByte(nullptr), 0xFFFF);
  EXPECT_EQ(ReadModelOptionByte(store), 1);
  EXPECT_EQ(GetModelKind(store), 1);
  EXPECT_EQ(TestFlagItemBit(store->main, store->linked, kItemDeviceOptionFirst), 0);
  EXPECT_EQ(TestFlagItemBit(store->main, store->linked, 4106), 1) << "bit 9 of 0x1FF is clear";
  EXPECT_EQ(TestFlagItemBit(store->main, store->linked, 4130), 1) << "no bit";

  WORD recordType, key;
  MapItemToRecord(kItemColorTripleFirst + 2, 0, &recordType, &key);
  EXPECT_EQ(recordType, 4);
  EXPECT_EQ(key, 274);
  MapItemToRecord(kItemPaperRecord, 12, &recordType, &key);
  EXPECT_EQ(recordType, 10);
  EXPECT_EQ(key, 12);
}

TEST_F(ItemStoreTest, PaperQueries) {
  Open();
  WORD status;
  WORD width = 0, length = 0;
  ASSERT_EQ(GetPaperSizeOfValue(store, kItemPaperSize, 1, &width, &length, nullptr, nullptr, &status), 1);
  EXPECT_EQ(width, 2159);
  EXPECT_EQ(length, 2794);

  struct Case {
    const char* name;
    WORD mode;
    PaperSpec query;
    WORD id;  // 0: not found
  } cases[] = {
      {"by id", kFindPaperById, {9, 0, 0, nullptr}, 9},
      {"last by id", kFindPaperById, {263, 0, 0, nullptr}, 263},
      {"by size", kFindPaperBySize, {0, 2100, 2970, nullptr}, 9},
      {"by size rotated", kFindPaperBySize, {0, 2970, 2100, nullptr}, 9},
      {"by size within 10", kFindPaperBySize, {0, 1830, 2560, nullptr}, 13},
      {"11 units longer", kFindPaperBySize, {0, 1480, 2111, nullptr}, 0},
      {"by name", kFindPaperByName, {0, 0, 0, const_cast<LPWSTR>(u"B5 (JIS)")}, 13},
      {"names are case-sensitive", kFindPaperByName, {0, 0, 0, const_cast<LPWSTR>(u"a4")}, 0},
      {"mode 4 matches nothing", 4, {9, 2100, 2970, nullptr}, 0},
  };
  for (const Case& k : cases) {
    WCHAR stale[] = u"stale";
    PaperSpec answer{77, 1, 2, stale};  // what the caller's answer held before
    int found = FindPaper(store, kItemPaperSize, k.mode, &k.query, &answer, &status);
    EXPECT_EQ(found, k.id ? 1 : 0) << k.name;
    EXPECT_EQ(status, k.id ? kQueryOk : kQueryAbsent) << k.name;
    if (found) {
      EXPECT_EQ(answer.id, k.id) << k.name;
      EXPECT_NE(answer.name, nullptr);
      FreePaperSpecName(&answer);
    } else {
      // A failed search leaves nothing a caller might free or use.
      EXPECT_EQ(answer.id, 0) << k.name;
      EXPECT_EQ(answer.width, 0) << k.name;
      EXPECT_EQ(answer.name, nullptr) << k.name;
    }
  }
  // The other queries clear their outputs on failure too.
  width = length = 7;
  WORD width2 = 7, length2 = 7;
  EXPECT_EQ(GetPaperSizeOfValue(store, kItemPaperSize, 999, &width, &length, &width2, &length2, &status), 0);
  EXPECT_EQ(width + length + width2 + length2, 0);
  ULONG_PTR value = 0x1234;
  WORD type = 3;
  EXPECT_EQ(QueryItemDefault(store, 999, &value, &type, &status), 0);
  EXPECT_EQ(value, 0u);
  EXPECT_EQ(type, 0);
  BYTE kind = 5;
  WORD count = 5;
  LPCWSTR listName = u"stale";
  DatabaseRecord* list = reinterpret_cast<DatabaseRecord*>(&kind);
  EXPECT_EQ(QueryChoiceListHeader(store, 999, &kind, &count, &listName, &list, &status), 0);
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(listName, nullptr);
  PaperSpec nameless{0, 0, 0, nullptr}, answer{};
  EXPECT_EQ(FindPaper(store, kItemPaperSize, kFindPaperByName, &nameless, &answer, &status), 0);
  EXPECT_EQ(status, kQueryFailed);

  EXPECT_EQ(LookUpPaperSourceEntry(1, store, 9), 1) << "Tray 1 lists A4 with attribute 1";
  EXPECT_EQ(LookUpPaperSourceEntry(1, store, 5), 0);
  EXPECT_EQ(LookUpPaperSourceEntry(1, store, 3), 3) << "a paper the source does not list";
  EXPECT_EQ(LookUpPaperSourceEntry(0, store, 9), 0);
  EXPECT_EQ(LookUpPaperSourceEntry(1, nullptr, 9), 0);
}

TEST_F(ItemStoreTest, LetterDefaultInInchRegions) {
  // The locale's measurement system is read once per process.
  QV_IN_FRESH_PROCESS({
  SimSetLocaleInfo(LOCALE_ICOUNTRY, u"1");
  Open();
  ULONG_PTR value = 0;
  WORD type;
  WORD status;
  ASSERT_EQ(QueryItemDefault(store, kItemPaperSize, &value, &type, &status), 1);
  EXPECT_EQ(value, 1u) << "letter, whatever the database default";
  LPWSTR name = GetDefaultPaperName(store, kItemPaperSize, &status);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::u16string(name), u"Letter");
  GlobalFree(name);
  });
}

TEST_F(ItemStoreTest, SettingsThroughTheWrappersWithPolicy) {
  // The module directory is found once per process.
  QV_IN_FRESH_PROCESS({
  UseDriverModule();
  WritePolicy("[Qorvex_QX_4500]\nduplex.enforced=1\nColorMode.display=dimout\nMONOCOLOR_PRINT=on\n");
  Open();
  ASSERT_NE(store->policy, nullptr);
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  std::memset(settings.get(), 0, sizeof *settings);
  std::memset(config.get(), 0, sizeof *config);

  // Defaults from the database written through the wrappers.
  ULONG_PTR value = 0;
  WORD type;
  WORD status;
  ASSERT_EQ(QueryItemDefault(store, kItemDuplex, &value, &type, &status), 1);
  EXPECT_EQ(SetItemNumberV(settings.get(), config.get(), kItemDuplex, type, static_cast<DWORD>(value)), 0);
  EXPECT_EQ(GetItemNumber(settings.get(), config.get(), kItemDuplex, type), value);
  EXPECT_EQ(SetItemNumberV(settings.get(), config.get(), kItemColorMode, 3, 2), 0);

  ApplyPolicyList(store->policy, settings.get(), config.get(), kPolicyModeEnforced);
  EXPECT_EQ(reinterpret_cast<DEVMODEW*>(settings->bytes)->dmDuplex, 2);
  EXPECT_EQ(GetItemNumber(settings.get(), config.get(), kItemColorMode, 3), 1u);
  WORD flags = 0;
  EXPECT_EQ(IsItemLockedByPolicy(kItemColorMode, store->policy, &flags), 1);
  EXPECT_EQ(flags, kPolicyEnforced | kPolicyDimOut) << "the switch's preset comes before the entry";
  EXPECT_EQ(IsItemLockedByPolicy(kItemDuplex, store->policy, &flags), 1);
  EXPECT_EQ(flags, kPolicyEnforced);
  EXPECT_TRUE(CloseItemStore(store));
  store = nullptr;
  });
}

TEST_F(ItemStoreTest, FontSubstitutionTableFromTheDeviceFonts) {
  const std::u16string expected(u"Courier New\0Courier\0Courier\0Courier\0Times New Roman\0CG Times\0"
                                u"Arial\0Univers\0Helvetica\0Univers\0Lucida Console\0Letter Gothic\0\0",
                                123);
  LPWSTR loaded = LoadFontSubTable(printer);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(std::u16string(loaded, expected.size()), expected);
  GlobalFree(loaded);

  HANDLE admin = nullptr;
  PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  ASSERT_TRUE(OpenPrinterW(kPrinter, &admin, &all));
  Open();
  ASSERT_EQ(EnsureFontSubTable(admin, store), 1);
  LPWSTR stored = ReadStoredFontSubTable(admin);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(std::u16string(stored, expected.size()), expected);
  GlobalFree(stored);
  // A stored table is kept as it is.
  ASSERT_EQ(StoreFontSubTable(admin, u"Arial\0Courier\0"), 1);
  int writes = SimCallCount("SetPrinterDataW");
  ASSERT_EQ(EnsureFontSubTable(admin, store), 1);
  EXPECT_EQ(SimCallCount("SetPrinterDataW"), writes);
  loaded = LoadFontSubTable(admin);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(std::u16string(loaded), u"Arial");
  GlobalFree(loaded);
  ClosePrinter(admin);
}

TEST_F(ItemStoreTest, BadPrintersAndModels) {
  EXPECT_EQ(OpenItemStore(nullptr), nullptr);
  SimPrinterSetup missing;
  missing.name = u"No model";
  missing.dataFile = u"NOSUCH.DDD";
  ASSERT_TRUE(SimAddPrinter(missing));
  HANDLE other = nullptr;
  ASSERT_TRUE(OpenPrinterW(u"No model", &other, nullptr));
  EXPECT_EQ(OpenItemStore(other), nullptr);
  ClosePrinter(other);
  SimFailCall("GetPrinterDriverW", ERROR_INVALID_HANDLE);
  EXPECT_EQ(OpenItemStore(printer), nullptr);
  HANDLE none = nullptr;
  EXPECT_FALSE(OpenPrinterW(u"Not a printer", &none, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
  EXPECT_FALSE(CloseItemStore(nullptr));
}

}  // namespace

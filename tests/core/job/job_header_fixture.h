// Fixtures of the job header tests: printer "P1" of the sample with its default settings, or a
// model built in-process from a few lines of text (settings all zero); both with the stand-in
// job-attribute library held loaded so that its call log can be read.
#pragma once

#include <cstring>
#include <string>

#include "core/descriptors/item_descriptors.h"
#include "core/job/job_header.h"
#include "core/job/job_header_status.h"
#include "outside/jobattr/jobattr_sim.h"
#include "tests/support/printer_fixture.h"
#include "tools/dddtool/ddd_model.h"

namespace job_test {

// The stand-in library, loaded for the test's whole length.
struct AttrLibrary {
  HMODULE module = nullptr;
  void Load() {
    module = LoadLibraryW(u"qvjobattr.dll");
    ASSERT_NE(module, nullptr);
    reinterpret_cast<SimJobAttrResetProc>(GetProcAddress(module, "SimJobAttrReset"))();
  }
  void Free() {
    if (module != nullptr) FreeLibrary(module);
    module = nullptr;
  }
  void SetAnswer(DWORD entry, int result, const char* text) {
    reinterpret_cast<SimJobAttrSetAnswerProc>(GetProcAddress(module, "SimJobAttrSetAnswer"))(entry, result, text);
  }
  std::vector<SimJobAttrCall> Calls() {
    auto count = reinterpret_cast<SimJobAttrCallCountProc>(GetProcAddress(module, "SimJobAttrCallCount"));
    auto get = reinterpret_cast<SimJobAttrGetCallProc>(GetProcAddress(module, "SimJobAttrGetCall"));
    std::vector<SimJobAttrCall> calls(count());
    for (DWORD i = 0; i < calls.size(); ++i) get(i, &calls[i]);
    return calls;
  }
};

// Writes a number item's field directly, past the rules that keep linked items in step.
inline void PokeItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG value) {
  ItemLocation location{};
  DWORD size = 0;
  ASSERT_EQ(LocateItem(id, settings, config, &location), kItemDone);
  ASSERT_TRUE(GetValueTypeSize(location.row->type, &size));
  std::memcpy(location.address, &value, size);
}

// A header or the code its build answered.
struct HeaderResult {
  int code;
  std::string text;
};

inline HeaderResult BuildHeader(DatabaseStream* main, DatabaseStream* linked, JobHeaderContext* context,
                                int capacity = -1) {
  const int estimate = EstimateJobHeaderSize(main, linked);
  if (estimate < 0) return {estimate, ""};
  std::string buffer(capacity < 0 ? estimate : capacity, '\0');
  const int n = BuildJobHeader(main, linked, context, buffer.data(), static_cast<DWORD>(buffer.size()));
  return {n, n >= 0 ? buffer.substr(0, n) : ""};
}

// Writes a text item from a zero-padded copy (the engine reads the whole field's size).
inline ItemAccessResult PutTextBytes(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id,
                                     const void* bytes, DWORD n) {
  BYTE padded[600] = {};
  std::memcpy(padded, bytes, n);
  const BYTE* text = padded;
  return SetItemValue(id, settings, config, kTypeString, n, &text);
}

inline const std::string kUel = "\x1B%-12345X";

class SampleHeaderTest : public printer_test::SampleSettingsTest {
 protected:
  void SetUp() override {
    SampleSettingsTest::SetUp();
    if (HasFatalFailure()) return;
    library_.Load();
    context_.settings = &settings_;
    context_.config = &config_;
    context_.printer = printer_;
    context_.documentName = u"Report";
    context_.useAttributeLibrary = 1;
  }
  void TearDown() override {
    library_.Free();
    SampleSettingsTest::TearDown();
  }
  HeaderResult Build(int capacity = -1) { return BuildHeader(store_->main, store_->linked, &context_, capacity); }
  // A number item as read (sign-extended for 16-bit signed items).
  LONG Number(SettingItemId id) {
    ItemValueCell cell{};
    ValueTypeCode type = 0;
    DWORD length = 0;
    EXPECT_EQ(GetItemValue(id, &settings_, &config_, &type, &length, &cell), kItemDone) << id;
    return type == kTypeInt16 ? static_cast<SHORT>(cell.word) : length == 2 ? cell.word : length == 1 ? cell.byte
                                                                                                        : LONG(cell.number);
  }

  AttrLibrary library_;
  JobHeaderContext context_{};
};

// A model of a few lines: its header lines (level, sections) and its job template; the
// sections every header needs (base size, library name, feature word) are added unless given.
class ModelHeaderTest : public printer_test::SamplePrinterTest {
 protected:
  void SetUp() override {
    SamplePrinterTest::SetUp();
    if (HasFatalFailure()) return;
    library_.Load();
    context_.settings = &settings_;
    context_.config = &config_;
    context_.printer = printer_;
  }
  void TearDown() override {
    CloseDatabaseStreams(&main_, &linked_);
    library_.Free();
    SamplePrinterTest::TearDown();
  }

  // Opens the model: features is the first feature word; lines holds further statements.
  void Open(DWORD features, const std::string& lines, const std::string& extraHeader = "") {
    CloseDatabaseStreams(&main_, &linked_);
    main_ = {};
    linked_ = {};
    char word[16];
    std::snprintf(word, sizeof word, "0x%X", features);
    std::string text = "model \"J\"\nversion \"T:1.0.0\"\nlevel 0x500\n";
    if (extraHeader.find("section 2 ") == std::string::npos) text += "section 2 512\n";
    if (extraHeader.find("section 20 ") == std::string::npos) text += "section 20 \"qvjobattr.dll\"\n";
    text += std::string("section 26 ") + word + "\n" + extraHeader + lines;
    DddImage image;
    std::string error;
    ASSERT_TRUE(BuildDddImageFromText(text, &image, &error)) << error;
    CreateDirectoryW(u"C:\\models", nullptr);
    HANDLE file = CreateFileW(u"C:\\models\\J.DDD", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, image.main.data(), static_cast<DWORD>(image.main.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(OpenDescriptionDatabase(u"C:\\models\\J.DDD", 0, &main_, &linked_), kDbOk);
  }
  HeaderResult Build(int capacity = -1) { return BuildHeader(&main_, &linked_, &context_, capacity); }
  // Writes a number item in its own type.
  void Put(SettingItemId id, LONG value) {
    ItemLocation location{};
    DWORD size = 0;
    ASSERT_EQ(LocateItem(id, &settings_, &config_, &location), kItemDone);
    ASSERT_TRUE(GetValueTypeSize(location.row->type, &size));
    ASSERT_EQ(SetItemValue(id, &settings_, &config_, location.row->type, size, &value), kItemDone) << id;
  }
  void PutText(SettingItemId id, const std::u16string& text) {
    ASSERT_EQ(PutTextBytes(&settings_, &config_, id, text.c_str(), DWORD(2 * text.size() + 2)), kItemDone) << id;
  }

  AttrLibrary library_;
  JobHeaderContext context_{};
  SettingsRecord settings_{};
  PrinterConfiguration config_{};
  DatabaseStream main_{};
  DatabaseStream linked_{};
};

}  // namespace job_test

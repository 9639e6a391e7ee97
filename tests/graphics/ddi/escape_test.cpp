// The escapes of qorvexgr.dll as the engine host routes them from ExtEscape: the answers to
// QUERYESCSUPPORT, every private SET escape read back by its GET, the user-interface module's
// order of escapes around a document, the applications' direct mode, and malformed escapes
// (short or long sizes, missing buffers, counts beyond the input) refused without reading past
// their buffers or changing what the device holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/system/chunked_printer_data.h"
#include "items/item_ids.h"
#include "platform/spooler/spooler.h"
#include "tests/graphics/ddi/document_fixture.h"
#include "tests/support/model_files.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr ULONG kQuery = 8, kCopyCount = 17, kTechnology = 20;
constexpr ULONG kPageEnd = 0x5001, kGetSettings = 0x5002, kStampMode = 0x5003, kStampPos = 0x5004,
                kSetSettings = 0x5005,
                kGetJobInfo = 0x5006, kSetJobInfo = 0x5007, kQueryFax = 0x5009, kSheetCount = 0x500A,
                kSetConfig = 0x500B, kMargins = 0x5010, kStartDocPre = 0x5020, kBatch = 0x5021,
                kDocName = 0x5023, kFaxList = 0x5024, kHeaders = 0x5025, kGetDirect = 0x5028,
                kSetDirect = 0x5029, kQueryStart = 0x502A, kConfirmed = 0x502B, kExtBlock = 0x502C,
                kSetApp = 0x502D, kGetApp = 0x502E, kAux = 0x502F, kExtValue = 0x5030, kMeasure = 0x5100;
constexpr ULONG kDirect = 4209, kDirectImage = 4210, kDirectPage = 4211, kDirectQuery = 4212, kDirectData = 4216;

template <typename T>
void Put(Bytes& b, size_t at, T v) {
  std::memcpy(b.data() + at, &v, sizeof v);
}
template <typename T>
T Get(const Bytes& b, size_t at) {
  T v;
  std::memcpy(&v, b.data() + at, sizeof v);
  return v;
}
Bytes U16(WORD v) { Bytes b(2); Put(b, 0, v); return b; }
Bytes U32(DWORD v) { Bytes b(4); Put(b, 0, v); return b; }
// The {u32 8, u16 sub-code, u16 argument} record of the direct mode.
Bytes Record(WORD sub, WORD argument) {
  Bytes b(8);
  Put<DWORD>(b, 0, 8);
  Put(b, kItemDevmodeSize, sub);
  Put(b, kItemFields, argument);
  return b;
}

class EscapeTest : public DocumentTest {
 protected:
  // ExtEscape with buffers of exactly the sizes given (so the sanitizer sees any read or write
  // beyond them); a NULL buffer for `nullIn` / `nullOut`.
  LONG Escape(EngineDc* dc, ULONG code, const Bytes& in, Bytes* out = nullptr) {
    Bytes input = in;
    return EngineEscape(dc, code, static_cast<ULONG>(input.size()), input.empty() ? nullptr : input.data(),
                        out != nullptr ? static_cast<ULONG>(out->size()) : 0,
                        out != nullptr && !out->empty() ? out->data() : nullptr);
  }
  LONG Query(EngineDc* dc, WORD code) { return Escape(dc, kQuery, U16(code)); }

  // The printer's configuration with the stream version that offers every direct-mode feature.
  void StoreStreamVersion() {
    Set(kItemStreamVersion, kTypeUInt32, 0x3010000);
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW administer{nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(kPrinter, &printer, &administer));
    EXPECT_EQ(WritePrinterDataValue(printer, config_, sizeof(PrinterConfiguration), kPrinterConfigData), 1);
    ClosePrinter(printer);
  }

  // Everything the GET escapes show of the device, as one block.
  Bytes Observe(EngineDc* dc) {
    Bytes all;
    auto take = [&](ULONG code, const Bytes& in, size_t size) {
      Bytes out(size, 0xEE);
      const LONG result = Escape(dc, code, in, &out);
      all.insert(all.end(), out.begin(), out.end());
      all.push_back(static_cast<BYTE>(result));
    };
    take(kGetSettings, {}, 5364);
    take(kGetDirect, {}, 12);
    take(kGetJobInfo, {}, 768);
    take(kSheetCount, {}, 4);
    take(kGetApp, U16(0), 4);
    Bytes size(4);
    Escape(dc, kGetApp, U16(0), &size);
    take(kGetApp, U16(1), Get<DWORD>(size, 0));
    Bytes copies(4);
    Escape(dc, kCopyCount, U32(0), &copies);  // reads and re-stores the copy count it shows
    return all;
  }
};

TEST_F(EscapeTest, QuerySupportAnswersTheTable) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  struct Case {
    WORD code;
    LONG answer;
  };
  const Case cases[] = {{17, 999},    {20, 4209},   {4209, 1},    {4210, 0},    {4211, 0},    {4212, 0},
                        {4216, 0},    {0x5002, 1},  {0x5005, 1},  {0x5007, 1},  {0x5021, 1},  {0x5025, 1},
                        {0x5029, 1},  {0x5030, 1},  {0x5001, 1},  {0x5004, 1},  {0x5024, 1},  {0x5100, 1},
                        {0x5022, 0},  {0x5031, 0},  {0x5101, 0},  {8, 0},       {0, 0}};
  for (const Case& c : cases) EXPECT_EQ(Query(dc, c.code), c.answer) << c.code;
  // With direct mode on, its other escapes are offered.
  ASSERT_EQ(Escape(dc, kDirect, Record(1, 0)), 1);
  for (WORD code : {4210, 4211, 4212, 4216}) EXPECT_EQ(Query(dc, code), 1) << code;
  // A query without its input, or with a byte of it only.
  EXPECT_EQ(Escape(dc, kQuery, {}), -1);
  EXPECT_EQ(Escape(dc, kQuery, Bytes{17}), -1);
}

TEST_F(EscapeTest, PublicEscapes) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  Bytes out(5);
  EXPECT_EQ(Escape(dc, kTechnology, U32(0), &out), 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out.data())), "VORN");
  Bytes four(4);
  EXPECT_EQ(Escape(dc, kTechnology, U32(0), &four), 0);
  EXPECT_EQ(Escape(dc, kTechnology, {}, &out), 0);
  // The copy count is kept at 1 or more.
  Bytes copies(4);
  EXPECT_EQ(Escape(dc, kCopyCount, U32(0), &copies), 1);
  EXPECT_EQ(Get<DWORD>(copies, 0), 1u);
  EXPECT_EQ(Escape(dc, kCopyCount, {}, &copies), -1);
  // Unknown escapes.
  EXPECT_EQ(Escape(dc, 0x5022, U32(0)), 0);
  EXPECT_EQ(Escape(dc, 12345, U32(0)), 0);
}

TEST_F(EscapeTest, EverySetReadsBackThroughItsGet) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  Bytes settings(5364);
  ASSERT_EQ(Escape(dc, kGetSettings, {}, &settings), 1);
  settings[1600] ^= 0x5A;
  EXPECT_EQ(Escape(dc, kSetSettings, settings), 1);
  Bytes back(5364);
  ASSERT_EQ(Escape(dc, kGetSettings, {}, &back), 1);
  EXPECT_EQ(back, settings);

  Bytes direct(12);
  Put<DWORD>(direct, 0, 1);
  Put<DWORD>(direct, 4, 1);
  Put<WORD>(direct, 8, 2);
  EXPECT_EQ(Escape(dc, kSetDirect, direct), 1);
  Bytes directBack(12);
  ASSERT_EQ(Escape(dc, kGetDirect, {}, &directBack), 1);
  EXPECT_EQ(directBack, direct);

  const Bytes block = {1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(Escape(dc, kSetApp, block), 1);
  Bytes size(4);
  ASSERT_EQ(Escape(dc, kGetApp, U16(0), &size), 1);
  EXPECT_EQ(Get<DWORD>(size, 0), block.size());
  Bytes blockBack(block.size());
  ASSERT_EQ(Escape(dc, kGetApp, U16(1), &blockBack), 1);
  EXPECT_EQ(blockBack, block);
  // The direct mode's data escape shares the block.
  Bytes data(4 + 5);
  Put<DWORD>(data, 0, 5);
  for (int i = 0; i < 5; ++i) data[4 + i] = static_cast<BYTE>(0x40 + i);
  EXPECT_EQ(Escape(dc, kDirectData, data), 1);
  Bytes dataBack(5);
  ASSERT_EQ(Escape(dc, kGetApp, U16(1), &dataBack), 1);
  EXPECT_EQ(dataBack, Bytes(data.begin() + 4, data.end()));
  // A length of 2 leaves no block.
  Bytes two(6);
  Put<DWORD>(two, 0, 2);
  EXPECT_EQ(Escape(dc, kDirectData, two), -1);
  ASSERT_EQ(Escape(dc, kGetApp, U16(0), &size), 1);
  EXPECT_EQ(Get<DWORD>(size, 0), 0u);
}

TEST_F(EscapeTest, UserInterfaceOrderAroundADocument) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  // Before the document starts.
  EXPECT_EQ(Escape(dc, kStartDocPre, {}), 1);
  Bytes settings(5364);
  EXPECT_EQ(Escape(dc, kGetSettings, {}, &settings), 1);
  Bytes direct(12);
  EXPECT_EQ(Escape(dc, kGetDirect, {}, &direct), 1);
  Bytes fax(4, 0xEE);
  EXPECT_EQ(Escape(dc, kQueryFax, {}, &fax), 1);
  EXPECT_EQ(Get<DWORD>(fax, 0), 0u);
  EXPECT_EQ(Escape(dc, kSetSettings, settings), 1);
  Bytes started(4);
  EXPECT_EQ(Escape(dc, kQueryStart, {}, &started), 1);
  EXPECT_EQ(Get<DWORD>(started, 0), 0u) << "not started yet";
  ASSERT_TRUE(EngineStartDoc(dc, u"Escapes"));
  EXPECT_EQ(Escape(dc, kQueryStart, {}, &started), 1);
  EXPECT_EQ(Get<DWORD>(started, 0), 1u) << "started: the start may be confirmed";

  // The batch after the document's start.
  EXPECT_EQ(Escape(dc, kBatch, U16(0)), 1);
  const std::u16string name = u"Quarterly report";
  Bytes nameBytes((name.size() + 1) * 2);
  std::memcpy(nameBytes.data(), name.c_str(), nameBytes.size());
  EXPECT_EQ(Escape(dc, kDocName, nameBytes), 1);
  EXPECT_EQ(Escape(dc, kSetSettings, settings), 1);
  Bytes info(768);
  const std::u16string user = u"alice", date = u"2026-12-11", time = u"08:00";
  std::memcpy(info.data() + 16, user.c_str(), user.size() * 2);
  std::memcpy(info.data() + 732, date.c_str(), date.size() * 2);
  std::memcpy(info.data() + 754, time.c_str(), time.size() * 2);
  EXPECT_EQ(Escape(dc, kSetJobInfo, info), 1);
  EXPECT_EQ(Escape(dc, kSetDirect, direct), 1);
  EXPECT_EQ(Escape(dc, kConfirmed, U32(1)), 1);
  Bytes headers(16 + 2 * (6 + 4));
  Put<DWORD>(headers, 0, 2);
  Put<DWORD>(headers, 4, 6);
  EXPECT_EQ(Escape(dc, kHeaders, headers), 1);
  EXPECT_EQ(Escape(dc, kBatch, U16(1)), 1);

  Bytes infoBack(768);
  EXPECT_EQ(Escape(dc, kGetJobInfo, {}, &infoBack), 1);
  // Fields whose positions are not printed read empty; the page number is the next sheet.
  EXPECT_EQ(Get<WORD>(infoBack, 730), 1);

  // Per page: the margins at its start.
  ASSERT_TRUE(EngineStartPage(dc));
  Bytes margins(10);
  EXPECT_EQ(Escape(dc, kMargins, margins), 1);
  ASSERT_TRUE(EngineEndPage(dc));
  Bytes sheets(4);
  EXPECT_EQ(Escape(dc, kSheetCount, {}, &sheets), 1);
  EXPECT_TRUE(EngineEndDoc(dc));
}

TEST_F(EscapeTest, SettingsUnderTheBatchLockAreIgnored) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  const Bytes before = Observe(dc);
  // A batch outside a started document locks the settings until it ends.
  EXPECT_EQ(Escape(dc, kBatch, U16(0)), 1);
  Bytes settings(5364, 0x11);
  EXPECT_EQ(Escape(dc, kSetSettings, settings), 1);
  EXPECT_EQ(Escape(dc, kSetJobInfo, Bytes(768, 0x22)), 1);
  EXPECT_EQ(Observe(dc), before);
  EXPECT_EQ(Escape(dc, kBatch, U16(1)), 1);
  EXPECT_EQ(Escape(dc, kSetSettings, Bytes(5363)), -1);
}

// Malformed escapes: each answers as the table says, reads nothing beyond its buffers (the
// buffers are exactly the sizes given) and leaves everything the device shows as it was.
TEST_F(EscapeTest, MalformedEscapesAreRefusedAndChangeNothing) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  ASSERT_EQ(Escape(dc, kSetApp, Bytes{9, 8, 7}), 1);
  ASSERT_EQ(Escape(dc, kDirect, Record(1, 0)), 1);
  const Bytes before = Observe(dc);
  Bytes overlong(16);
  Put<DWORD>(overlong, 0, 0x10000);
  Put<DWORD>(overlong, 4, 0x10000);
  Bytes wrapping(16);
  Put<DWORD>(wrapping, 0, 0xFFFFFFFF);
  Put<DWORD>(wrapping, 4, 0xFFFFFFFC);
  Bytes dataBeyond(8);
  Put<DWORD>(dataBeyond, 0, 100);
  Bytes dataTooLong(8);
  Put<DWORD>(dataTooLong, 0, 0xFFFD);
  struct Case {
    const char* name;
    ULONG code;
    Bytes in;
    size_t outSize;  // 0: no output
    LONG answer;
  };
  const Case cases[] = {
      {"settings one short", kSetSettings, Bytes(5363), 0, -1},
      {"settings one long", kSetSettings, Bytes(5365), 0, -1},
      {"settings none", kSetSettings, {}, 0, -1},
      {"get settings short output", kGetSettings, {}, 5363, -1},
      {"printer config short", kSetConfig, Bytes(4491), 0, -1},
      {"job info short", kSetJobInfo, Bytes(767), 0, -1},
      {"job info none", kSetJobInfo, {}, 0, -1},
      {"document name empty", kDocName, {}, 0, -1},
      {"headers short", kHeaders, Bytes(15), 0, -1},
      {"headers count beyond input", kHeaders, overlong, 0, -1},
      {"headers count wrapping", kHeaders, wrapping, 0, -1},
      {"direct mode short", kSetDirect, Bytes(11), 0, -1},
      {"direct mode get short", kGetDirect, {}, 11, -1},
      {"margins short", kMargins, Bytes(9), 0, -1},
      {"confirmed long", kConfirmed, Bytes(5), 0, -1},
      {"ext block short", kExtBlock, Bytes(2111), 0, -1},
      {"ext value short", kExtValue, Bytes(7), 0, -1},
      {"app block get bad selector", kGetApp, U16(2), 4, -1},
      {"app block get wrong size", kGetApp, U16(1), 4, -1},
      {"app block get no output", kGetApp, U16(0), 0, -1},
      {"query start no output", kQueryStart, {}, 0, -1},
      {"query fax no output", kQueryFax, {}, 0, 0},
      {"sheet count no output", kSheetCount, {}, 0, -1},
      {"technology short output", kTechnology, U32(0), 4, 0},
      {"copies no input", kCopyCount, {}, 4, -1},
      {"batch no input", kBatch, {}, 0, 1},
      {"batch other value", kBatch, U16(7), 0, 1},
      {"direct record short", kDirect, Bytes(7), 0, -4},
      {"direct record word", kDirect, Bytes(8), 0, -4},
      {"direct sub-code", kDirect, Record(77, 0), 0, -2},
      {"direct feature no output", kDirect, Record(3, 4353), 0, -1},
      {"direct feature short output", kDirect, Record(3, 4353), 17, -4},
      {"direct feature unknown", kDirect, Record(3, 999), 18, -3},
      {"direct signature short", kDirect, Record(25989, 0), 3, -1},
      {"direct data short", kDirectData, Bytes(3), 0, -4},
      {"direct data beyond input", kDirectData, dataBeyond, 0, -4},
      {"direct data above limit", kDirectData, dataTooLong, 0, -4},
      {"direct query short", kDirectQuery, Bytes(7), 0, -4},
      {"direct query sub-code", kDirectQuery, Record(4000, 0), 0, -3},
      {"direct query argument", kDirectQuery, Record(4868, 3), 0, -5},
      {"direct query duplex argument", kDirectQuery, Record(4866, 1), 0, -5},
      {"direct query no output", kDirectQuery, Record(4865, 0), 0, -4},
      {"direct page none", kDirectPage, {}, 0, -1},
      // The sample model does not offer the page colour override (its feature 4355).
      {"direct page not offered", kDirectPage, U16(4611), 0, 0},
      {"direct page feature", kDirect, Record(3, 4355), 18, -3},
      {"page end short output", kPageEnd, U32(0), 43, -1},
      {"page end no output", kPageEnd, U32(0), 0, -1},
      {"page end other value", kPageEnd, U32(2), 44, -1},
      {"page end outside a job", kPageEnd, U32(0), 44, 1},
      {"stamp position other size", kStampPos, Bytes(7), 0, 1},
      {"stamp position none", kStampPos, {}, 0, 1},
      {"stamp position outside a document", kStampPos, Bytes(8), 0, -1},
      {"fax list none", kFaxList, {}, 0, 0},
      {"fax list on a printer model", kFaxList, Bytes(8), 0, 1},
      {"measure none", kMeasure, {}, 0, -1},
      {"measure short", kMeasure, Bytes{1}, 0, -1},
      {"measure zero", kMeasure, U16(0), 0, -1},
      {"measure out of range", kMeasure, U16(3), 0, -1},
      {"direct image empty header", kDirectImage, Bytes(32), 0, -4},
      {"direct image short header", kDirectImage, Bytes(31), 0, -4},
      {"direct image none", kDirectImage, {}, 0, -1},
  };
  for (const Case& c : cases) {
    Bytes out(c.outSize, 0xEE);
    EXPECT_EQ(Escape(dc, c.code, c.in, c.outSize != 0 ? &out : nullptr), c.answer) << c.name;
    EXPECT_EQ(Observe(dc), before) << c.name;
  }
}

TEST_F(EscapeTest, DirectModeFeaturesAndOverrides) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  // Off: the mode's other escapes are not supported.
  EXPECT_EQ(Escape(dc, kDirectQuery, Record(4867, 0)), 0);
  ASSERT_EQ(Escape(dc, kDirect, Record(1, 0)), 1);
  Bytes signature(4);
  EXPECT_EQ(Escape(dc, kDirect, Record(25989, 0), &signature), 1);
  EXPECT_EQ(std::string(signature.begin(), signature.end()), "EPQV");
  Bytes feature(18);
  EXPECT_EQ(Escape(dc, kDirect, Record(3, 4353), &feature), 1);
  EXPECT_EQ(Get<WORD>(feature, 4), 4209);
  EXPECT_EQ(Get<DWORD>(feature, 6), 15u);
  EXPECT_EQ(Get<DWORD>(feature, 10), 0xFF00u);
  // An output whose first word says 18 is taken whatever its size beyond that.
  Bytes larger(24);
  Put<DWORD>(larger, 0, 18);
  EXPECT_EQ(Escape(dc, kDirect, Record(3, 4356), &larger), 1);
  EXPECT_EQ(Get<WORD>(larger, 4), 4212);
  // Pages per sheet: the override holds for the job; 0 clears it.
  EXPECT_EQ(Escape(dc, kDirectQuery, Record(4868, 4)), 1);
  EXPECT_EQ(Escape(dc, kDirectQuery, Record(4868, 0)), 1);
  Bytes pages(2);
  EXPECT_EQ(Escape(dc, kDirectQuery, Record(4867, 0), &pages), 1);
  EXPECT_EQ(Get<WORD>(pages, 0), 1);
  Bytes duplex(2);
  EXPECT_EQ(Escape(dc, kDirectQuery, Record(4865, 0), &duplex), 1);
  EXPECT_EQ(Get<WORD>(duplex, 0), 4881);
  EXPECT_EQ(Escape(dc, kDirectQuery, Record(4866, 4881)), 1);
  EXPECT_EQ(Escape(dc, kDirectQuery, Record(4866, 4884)), 1);
  // Off again.
  EXPECT_EQ(Escape(dc, kDirect, Record(2, 0)), 1);
  EXPECT_EQ(Query(dc, 4212), 0);
}

// The direct mode checks its features against the job's stream version only when the item that
// says the stream version applies is on; else against the first version, which the colour
// override (4355) needs more than.
TEST_F(EscapeTest, DirectFeaturesFollowTheStreamVersionOnlyWhenAsked) {
  struct Case {
    DWORD versionSet;
    LONG pageFeature;  // the 4209 feature query of 4355
    LONG override;     // 4211 switching the colour override on
  };
  const Case cases[] = {{0, -3, 0}, {1, 1, 1}};
  StoreStreamVersion();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.versionSet);
    Set(kItemStreamVersionSet, kTypeFlag, c.versionSet);
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    ASSERT_EQ(Escape(dc, kDirect, Record(1, 0)), 1);
    Bytes feature(18);
    EXPECT_EQ(Escape(dc, kDirect, Record(3, 4355), &feature), c.pageFeature);
    EXPECT_EQ(Escape(dc, kDirectPage, U16(4609)), c.override);
    DeleteDc(dc);
  }
}

// The application's colour override decides each page's colour at its start: a red fill does not
// make a page that the override keeps monochrome a colour page.
TEST_F(EscapeTest, ColourOverrideDecidesThePageColour) {
  struct Case {
    const char* name;
    WORD mode;           // 4211 sub-code after switching the override on; 0: override off
    const char* colour;  // of the page start
  };
  const Case cases[] = {{"monochrome", 4611, "1"},
                        {"colour", 4612, "2"},
                        {"automatic", 4613, "2"},
                        {"no override, automatic colour", 0, "2"}};
  StoreStreamVersion();
  Set(kItemStreamVersionSet, kTypeFlag, 1);
  Set(kItemColorMode, kTypeUInt8, 0);
  DrawCall red;
  red.kind = DrawKind::FillPath;
  red.path = PathRectangle({100, 100, 300, 200});
  red.brush.kind = BrushKind::Solid;
  red.brush.colour = RGB(220, 0, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_();
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    ASSERT_EQ(Escape(dc, kDirect, Record(1, 0)), 1);
    if (c.mode != 0) {
      ASSERT_EQ(Escape(dc, kDirectPage, U16(4609)), 1);
      ASSERT_EQ(Escape(dc, kDirectPage, U16(c.mode)), 1);
    }
    ASSERT_TRUE(EngineStartDoc(dc, u"Override"));
    ASSERT_TRUE(EngineStartPage(dc));
    EXPECT_EQ(EngineDraw(dc, red), TRUE);
    ASSERT_TRUE(EngineEndPage(dc));
    ASSERT_TRUE(EngineEndDoc(dc));
    const std::vector<std::string> starts = Lines("VR_StartPage");
    ASSERT_EQ(starts.size(), 1u) << Trace();
    const size_t at = starts[0].find(" color=");
    ASSERT_NE(at, std::string::npos) << starts[0];
    EXPECT_EQ(starts[0].substr(at + 7, 1), c.colour) << starts[0];
    EXPECT_EQ(breaches_(), 0u) << Trace();
    DeleteDc(dc);
  }
}

// A reset of the device in mid-document keeps what the escapes left for the job: the job
// information, the direct mode with its overrides, the application's block and the job
// headers; the overridden settings come back at the job's end.
TEST_F(EscapeTest, ResetInMidDocumentKeepsTheEscapesState) {
  StoreStreamVersion();
  Set(kItemStreamVersionSet, kTypeFlag, 1);
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  Bytes settingsBefore(5364);
  ASSERT_EQ(Escape(dc, kGetSettings, {}, &settingsBefore), 1);
  ASSERT_EQ(Escape(dc, kDirect, Record(1, 0)), 1);
  ASSERT_EQ(Escape(dc, kDirectPage, U16(4609)), 1);
  ASSERT_EQ(Escape(dc, kDirectPage, U16(4611)), 1);
  ASSERT_EQ(Escape(dc, kDirectQuery, Record(4868, 2)), 1);
  ASSERT_TRUE(EngineStartDoc(dc, u"Reset"));
  const Bytes block = {9, 8, 7, 6, 5};
  ASSERT_EQ(Escape(dc, kSetApp, block), 1);
  Bytes info(768);
  const std::u16string user = u"alice";
  std::memcpy(info.data() + 16, user.c_str(), user.size() * 2);
  ASSERT_EQ(Escape(dc, kSetJobInfo, info), 1);
  ASSERT_TRUE(EngineStartPage(dc));
  ASSERT_TRUE(EngineEndPage(dc));
  Bytes directBefore(12), infoBefore(768);
  ASSERT_EQ(Escape(dc, kGetDirect, {}, &directBefore), 1);
  ASSERT_EQ(Escape(dc, kGetJobInfo, {}, &infoBefore), 1);
  Bytes blockBefore(block.size());
  ASSERT_EQ(Escape(dc, kGetApp, U16(1), &blockBefore), 1);
  std::vector<BYTE> fresh = DevMode();
  ASSERT_TRUE(EngineResetDC(dc, reinterpret_cast<DEVMODEW*>(fresh.data())));
  Bytes directAfter(12), infoAfter(768), blockAfter(block.size());
  EXPECT_EQ(Escape(dc, kGetDirect, {}, &directAfter), 1);
  EXPECT_EQ(directAfter, directBefore);
  EXPECT_EQ(Escape(dc, kGetJobInfo, {}, &infoAfter), 1);
  EXPECT_EQ(infoAfter, infoBefore);
  EXPECT_EQ(Escape(dc, kGetApp, U16(1), &blockAfter), 1);
  EXPECT_EQ(blockAfter, block);
  // The pages after the reset follow the override too.
  ASSERT_TRUE(EngineStartPage(dc));
  ASSERT_TRUE(EngineEndPage(dc));
  EXPECT_TRUE(EngineEndDoc(dc));
  for (const std::string& page : Lines("VR_StartPage")) EXPECT_NE(page.find(" color=1"), std::string::npos) << page;
  Bytes settingsAfter(5364);
  ASSERT_EQ(Escape(dc, kGetSettings, {}, &settingsAfter), 1);
  EXPECT_EQ(settingsAfter, settingsBefore) << "the overridden settings are restored";
  EXPECT_EQ(breaches_(), 0u) << Trace();
}

// The job headers the user-interface module sends (one entry per pass: the text's length, the
// text in a slot of the entry's length, then a u32 per pass) are what the job starts with; an
// entry whose text runs past its slot fails the job instead of sending it.
TEST_F(EscapeTest, JobHeadersFromTheUserInterfaceStartTheJob) {
  struct Case {
    const char* name;
    DWORD textLength;  // the entry's length word
    bool printed;
  };
  const std::string text = "\x1B%-12345X@PJL SET JOBATTR=\"@JOID=4711\"\n";
  const DWORD slot = 64;
  const Case cases[] = {{"the text", static_cast<DWORD>(text.size()), true},
                        {"the whole slot", slot, true},
                        {"past the slot", slot + 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_();
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(EngineStartDoc(dc, u"Headers"));
    const DWORD entry = slot + 4, count = 2;
    Bytes headers(16 + (entry + 4) * count);
    Put<DWORD>(headers, 0, count);
    Put<DWORD>(headers, 4, entry);
    for (DWORD pass = 0; pass < count; ++pass) {
      Put<DWORD>(headers, 16 + entry * pass, c.textLength);
      std::memcpy(headers.data() + 16 + entry * pass + 4, text.data(), text.size());
    }
    ASSERT_EQ(Escape(dc, kHeaders, headers), 1);
    const BOOL started = EngineStartPage(dc);
    if (started) EngineEndPage(dc);
    EXPECT_EQ(EngineEndDoc(dc), c.printed ? TRUE : FALSE);
    const std::vector<std::string> sent = Lines("VR_SendJobHeader");
    ASSERT_EQ(sent.size(), c.printed ? 1u : 0u) << Trace();
    if (c.printed) {
      EXPECT_NE(sent[0].find("len=" + std::to_string(c.textLength) + ","), std::string::npos) << sent[0];
      EXPECT_NE(sent[0].find("\"<ESC>%-12345X@PJL SET JOBATTR=\"@JOID=4711\"<LF>"), std::string::npos) << sent[0];
      EXPECT_EQ(breaches_(), 0u) << Trace();
    }
    DeleteDc(dc);
  }
}

// The page-end answers of a document whose settings ask for stamps, as the user-interface module
// sends them at the end of every page and before the document's end.
class PageEndTest : public EscapeTest {
 protected:
  void PutText(SettingItemId id, const std::u16string& text) {
    BYTE padded[600] = {};
    std::memcpy(padded, text.c_str(), 2 * text.size());
    const BYTE* p = padded;
    ASSERT_EQ(SetItemValue(id, settings_, config_, kTypeString, DWORD(2 * text.size() + 2), &p), kItemDone);
  }
  // A DC whose whole settings record (sent as the user-interface module sends it) asks for a
  // stamp per sheet or per page at N-up `nUp`.
  EngineDc* StampDc(WORD nUp, bool perSheet, bool firstOnly) {
    Set(kItemPagesPerSheet, kTypeUInt16, nUp);
    PutText(kItemStampName, u"CONFIDENTIAL");
    PutText(kItemStampText, u"Arial");
    Set(kItemStampRepeat, kTypeFlag, perSheet ? 1 : 0);
    Set(kItemStampFirstPageOnly, kTypeFlag, firstOnly ? 1 : 0);
    EngineDc* dc = CreateDc();
    if (dc == nullptr) return nullptr;
    EXPECT_EQ(Escape(dc, kSetSettings, Bytes(settings_->bytes, settings_->bytes + sizeof(SettingsRecord))), 1);
    return dc;
  }
  // One page with a drawing in it; the answer at its end.
  Bytes DrawnPage(EngineDc* dc) {
    EXPECT_TRUE(EngineStartPage(dc));
    DrawCall call;
    call.kind = DrawKind::FillPath;
    call.path = PathRectangle({100, 100, 400, 300});
    call.brush.kind = BrushKind::Solid;
    EXPECT_EQ(EngineDraw(dc, call), TRUE);
    Bytes answer = PageEnd(dc, 0);
    EXPECT_TRUE(EngineEndPage(dc));
    return answer;
  }
  Bytes PageEnd(EngineDc* dc, DWORD end) {
    Bytes answer(44, 0xEE);
    EXPECT_EQ(Escape(dc, kPageEnd, U32(end), &answer), 1);
    return answer;
  }
  // Words 0 to 2: sheet stamp, page stamp, job information.
  static std::vector<DWORD> Words(const Bytes& answer) {
    return {Get<DWORD>(answer, 0), Get<DWORD>(answer, 4), Get<DWORD>(answer, 8)};
  }
  static std::vector<float> Rectangle(const Bytes& answer, size_t at) {
    return {Get<float>(answer, at), Get<float>(answer, at + 4), Get<float>(answer, at + 8), Get<float>(answer, at + 12)};
  }
};

TEST_F(PageEndTest, SheetStampWhenTheSheetEnds) {
  EngineDc* dc = StampDc(2, true, false);
  ASSERT_NE(dc, nullptr);
  // Before the document's output begins there is nothing to place.
  EXPECT_EQ(PageEnd(dc, 0), Bytes(44, 0));
  ASSERT_TRUE(EngineStartDoc(dc, u"Stamps"));
  EXPECT_EQ(Words(DrawnPage(dc)), (std::vector<DWORD>{0, 0, 0})) << "first of two pages";
  EXPECT_EQ(Words(DrawnPage(dc)), (std::vector<DWORD>{1, 0, 0})) << "the sheet is full";
  EXPECT_EQ(Words(DrawnPage(dc)), (std::vector<DWORD>{0, 0, 0}));
  // The document ends on a half-filled sheet.
  const Bytes end = PageEnd(dc, 1);
  EXPECT_EQ(Words(end), (std::vector<DWORD>{1, 0, 0}));
  // Both areas lie on the A4 sheet at 600 dpi (turned for the two landscape cells of N-up 2):
  // left < right, top < bottom.
  for (size_t at : {12u, 28u}) {
    const std::vector<float> r = Rectangle(end, at);
    EXPECT_GE(r[0], 0);
    EXPECT_LT(r[0], r[2]);
    EXPECT_GE(r[1], 0);
    EXPECT_LT(r[1], r[3]);
    EXPECT_LE(r[2], 7016);
    EXPECT_LE(r[3], 7016);
  }
  EXPECT_TRUE(EngineEndDoc(dc));
  // After the job the answer is empty again.
  EXPECT_EQ(PageEnd(dc, 1), Bytes(44, 0));
}

TEST_F(PageEndTest, PageStampOnEveryPageOrTheFirstOnly) {
  struct Case {
    bool firstOnly;
    std::vector<DWORD> pageStamps;
  };
  const Case cases[] = {{false, {1, 1, 1}}, {true, {1, 0, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.firstOnly);
    EngineDc* dc = StampDc(1, false, c.firstOnly);
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(EngineStartDoc(dc, u"Stamps"));
    std::vector<DWORD> stamps;
    for (int i = 0; i < 3; ++i) {
      const Bytes answer = DrawnPage(dc);
      stamps.push_back(Words(answer)[1]);
      EXPECT_EQ(Words(answer)[0], 0u) << "no sheet stamp";
    }
    EXPECT_EQ(stamps, c.pageStamps);
    // No page stamp at the end of the document.
    EXPECT_EQ(Words(PageEnd(dc, 1))[1], 0u);
    EXPECT_TRUE(EngineEndDoc(dc));
    DeleteDc(dc);
  }
}

// With a page stamp the page area is the page inside its margins: the margins the page-margins
// escape stored (item 387) where they lie beyond the printable area's own offsets.
TEST_F(PageEndTest, PageAreaKeepsToThePageMargins) {
  Set(kItemPerPaperMargins, kTypeUInt8, 1);
  EngineDc* dc = StampDc(1, false, false);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Margins"));
  ASSERT_TRUE(EngineStartPage(dc));
  // Paper id, then left, right, top and bottom margins of 30 mm.
  Bytes margins(10);
  Put<WORD>(margins, 0, 9);
  for (int i = 0; i < 4; ++i) Put<WORD>(margins, 2 + 2 * i, 300);
  ASSERT_EQ(Escape(dc, kMargins, margins), 1);
  DrawCall call;
  call.kind = DrawKind::FillPath;
  call.path = PathRectangle({100, 100, 400, 300});
  call.brush.kind = BrushKind::Solid;
  ASSERT_EQ(EngineDraw(dc, call), TRUE);
  const Bytes answer = PageEnd(dc, 0);
  EXPECT_EQ(Words(answer), (std::vector<DWORD>{0, 1, 0}));
  const std::vector<float> page = Rectangle(answer, 12), sheet = Rectangle(answer, 28);
  // 30 mm at 600 dpi is 708.7 pixels from each edge of the A4 sheet (4960.6 x 7015.7).
  EXPECT_NEAR(page[0], 708, 2);
  EXPECT_NEAR(page[1], 708, 2);
  EXPECT_NEAR(page[2], 4960 - 708, 3);
  EXPECT_NEAR(page[3], 7015 - 708, 3);
  // The sheet area is the sheet's printable area, which the margins lie inside.
  EXPECT_LT(sheet[0], page[0]);
  EXPECT_GT(sheet[2], page[2]);
  EXPECT_TRUE(EngineEndPage(dc));
  EXPECT_TRUE(EngineEndDoc(dc));
}

TEST_F(PageEndTest, StampPositionMovesWhatIsDrawnNext) {
  EngineDc* dc = StampDc(1, false, false);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Stamps"));
  ASSERT_TRUE(EngineStartPage(dc));
  // Outside a stamp's drawing the page is begun by the escape itself.
  const size_t mark = Lines().size();
  Bytes at(8);
  EXPECT_EQ(Escape(dc, kStampPos, at), 1);
  Put<LONG>(at, 0, 100);
  Put<LONG>(at, 4, -50);
  EXPECT_EQ(Escape(dc, kStampPos, at), 1);
  std::vector<std::array<float, 6>> axes;
  std::vector<std::string> calls;
  const std::vector<std::string> lines = Lines();
  for (size_t i = mark; i < lines.size(); ++i) {
    calls.push_back(lines[i].substr(0, lines[i].find('(')));
    std::array<float, 6> v;
    if (std::sscanf(lines[i].c_str(), "VR_SetAxis(%*[^,], v=[%f,%f,%f,%f,%f,%f]", &v[0], &v[1], &v[2], &v[3], &v[4],
                    &v[5]) == 6)
      axes.push_back(v);
  }
  ASSERT_EQ(axes.size(), 2u) << Trace();
  // The portrait page's stamp axis only moves; the offset moves it further by (100, -50).
  EXPECT_EQ(axes[0][0], 1);
  EXPECT_EQ(axes[0][3], 1);
  EXPECT_FLOAT_EQ(axes[1][4] - axes[0][4], 100);
  EXPECT_FLOAT_EQ(axes[1][5] - axes[0][5], -50);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "VR_InitClip"), 2) << Trace();
  EXPECT_TRUE(EngineEndPage(dc));
  EXPECT_TRUE(EngineEndDoc(dc));
  EXPECT_EQ(breaches_(), 0u) << Trace();
}

TEST_F(EscapeTest, MeasurementSystem) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  const Bytes before = Observe(dc);
  EXPECT_EQ(Escape(dc, kMeasure, U16(1)), 1);
  EXPECT_EQ(Escape(dc, kMeasure, U16(2)), 1);
  EXPECT_EQ(Observe(dc), before);
}

// A fax model: the destination list arrives in the job data batch as one "DFAX001" record.
TEST_F(EscapeTest, FaxListOfAFaxModel) {
  SimPrinterSetup setup;
  setup.name = u"FAX";
  setup.dataFile = InstallSampleVariant({{"section 23 0 ", "section 23 1 "}});
  ASSERT_TRUE(SimAddPrinter(setup));
  std::vector<BYTE> devMode = DevMode();
  EngineDc* dc = EngineCreateDC(driver_, u"FAX", reinterpret_cast<DEVMODEW*>(devMode.data()));
  ASSERT_NE(dc, nullptr);
  dcs_.push_back(dc);
  Bytes fax(4);
  ASSERT_EQ(Escape(dc, kQueryFax, {}, &fax), 1);
  EXPECT_EQ(Get<DWORD>(fax, 0), 1u);
  auto record = [](WORD count, size_t entries) {
    Bytes r(1442 + 742 * entries);
    const std::u16string tag = u"DFAX001";
    std::memcpy(r.data(), tag.c_str(), 2 * tag.size());
    Put<WORD>(r, 16, count);
    return r;
  };
  EXPECT_EQ(Escape(dc, kFaxList, record(2, 2)), 1);
  EXPECT_EQ(Escape(dc, kFaxList, record(1, 1)), 1) << "a new list replaces the old";
  EXPECT_EQ(Escape(dc, kFaxList, record(3, 2)), -1) << "more entries counted than given";
  EXPECT_EQ(Escape(dc, kFaxList, record(1, 2)), -1) << "bytes beyond the entries";
  Bytes badTag = record(1, 1);
  badTag[0] = 'X';
  EXPECT_EQ(Escape(dc, kFaxList, badTag), -1);
  EXPECT_EQ(Escape(dc, kFaxList, Bytes(100)), -1) << "shorter than the header";
  EXPECT_EQ(Escape(dc, kFaxList, {}), 0);
  // Under the batch lock the record is not read at all.
  EXPECT_EQ(Escape(dc, kBatch, U16(0)), 1);
  EXPECT_EQ(Escape(dc, kFaxList, Bytes(100)), 1);
  EXPECT_EQ(Escape(dc, kBatch, U16(1)), 1);
}

}  // namespace

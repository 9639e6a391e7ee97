// Jobs that leave the graphics module more than once, printed through the engine host: copies
// the driver collates itself, each with the sheets inserted before and after the document and
// in reverse order, and a direct-fax job sent once per destination, each pass its own spool
// job with its own header, header sheet and trailer. The printed sheets are compared with the
// engine host's reference rendering of the pages; a failure at each step fails the job and
// leaves nothing allocated or open.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <functional>
#include <string>
#include <vector>

#include "core/job/fax_list.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/registry/registry_sim.h"
#include "tests/graphics/ddi/document_fixture.h"
#include "tests/support/model_files.h"
#include "tools/spoolview/spool_render.h"

namespace {

using Strings = std::vector<std::string>;

constexpr double kScale = 0.25;
constexpr char kUel[] = "\x1B%-12345X";
constexpr char kTrailer[] = "\x1B%-12345X@PJL EOJ\n";
constexpr ULONG kSetSettingsEscape = 0x5005;
constexpr ULONG kFaxListEscape = 0x5024;
constexpr int kBlankSheet = -1;

// The sample model with the driver's own collation (first feature word 0x10000) and inserted
// sheets (second feature word 0x40).
const std::vector<ModelTextEdit> kCopierModel = {
    {"section 26 0x00440010", "section 26 0x00450010"},
    {"section 39 [0x1]", "section 39 [0x41]"},
};
// The sample model as a fax model (section 23 value 1: model kind 2).
const std::vector<ModelTextEdit> kFaxModel = {{"section 23 0 ", "section 23 1 "}};

DrawCall Block(COLORREF colour, RECTL rect) {
  DrawCall call;
  call.kind = DrawKind::FillPath;
  call.path = PathRectangle(rect);
  call.brush.kind = BrushKind::Solid;
  call.brush.colour = colour;
  return call;
}

// Two pages that tell themselves apart: a red block high on the first, a blue one low on the
// second.
const std::vector<std::vector<DrawCall>> kPages = {
    {Block(RGB(210, 30, 30), {300, 300, 1500, 900})},
    {Block(RGB(30, 30, 210), {600, 2000, 2200, 3000})},
};

size_t Count(const Strings& calls, const std::string& name) {
  return static_cast<size_t>(std::count(calls.begin(), calls.end(), name));
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// One job's frame in its spool bytes: one header before its first page and one trailer after
// its last (the universal exit opens both).
void ExpectFramedJob(const std::string& spool) {
  const std::string startPage = std::string("\x1BVR") + char(32);
  EXPECT_EQ(Occurrences(spool, kUel), 2u);
  EXPECT_EQ(Occurrences(spool, kTrailer), 1u);
  const size_t header = spool.find(kUel);
  const size_t trailer = spool.find(kTrailer);
  EXPECT_LT(header, spool.find(startPage));
  EXPECT_GT(trailer, spool.rfind(startPage));
  EXPECT_NE(header, trailer);
}

template <size_t N>
void SetText(WCHAR (&field)[N], const std::u16string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1) * sizeof(WCHAR));
}

// A "DFAX001" send list of the numbers, in blob order.
std::vector<BYTE> FaxList(const std::vector<std::u16string>& numbers) {
  std::vector<BYTE> blob(GetFaxRecordSize(DWORD(numbers.size())));
  FaxListHeader header{};
  std::memcpy(header.tag, kFaxRecordTag, sizeof kFaxRecordTag);
  header.count = WORD(numbers.size());
  SetText(header.firstText, u"Figures");
  std::memcpy(blob.data(), &header, sizeof header);
  for (size_t i = 0; i < numbers.size(); ++i) {
    FaxDestination d{};
    SetText(d.number, numbers[i]);
    SetText(d.name, u"Branch " + std::u16string(1, char16_t(u'A' + i)));
    std::memcpy(blob.data() + GetFaxRecordSize(DWORD(i)), &d, sizeof d);
  }
  return blob;
}

class CopiesAndPassesTest : public DocumentTest {
 protected:
  // Writes a number into the item in its own type.
  void Put(SettingItemId id, LONG value) {
    ItemLocation location{};
    DWORD size = 0;
    ASSERT_EQ(LocateItem(id, settings_, config_, &location), kItemDone) << id;
    ASSERT_TRUE(GetValueTypeSize(location.row->type, &size));
    ASSERT_EQ(SetItemValue(id, settings_, config_, location.row->type, size, &value), kItemDone) << id;
  }

  // A DC on printer "V1" of the sample model with the edits, with the current settings.
  EngineDc* CreateModelDc(const std::vector<ModelTextEdit>& edits) {
    SimPrinterSetup setup;
    setup.name = u"V1";
    setup.dataFile = InstallSampleVariant(edits);
    if (!SimPrinterExists()) {
      EXPECT_TRUE(SimAddPrinter(setup));
    }
    modelDevMode_ = DevMode();
    EngineDc* dc = EngineCreateDC(driver_, u"V1", reinterpret_cast<DEVMODEW*>(modelDevMode_.data()));
    if (dc != nullptr) dcs_.push_back(dc);
    return dc;
  }
  bool SimPrinterExists() {
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(u"V1"), &printer, nullptr)) return false;
    ClosePrinter(printer);
    return true;
  }

  // The document's pages drawn between the start and the end; `afterStart` runs once the
  // document has started (as the user-interface module's escapes do). Every step's answer.
  bool Print(EngineDc* dc, LPCWSTR name, const std::function<void()>& afterStart = nullptr) {
    if (!EngineStartDoc(dc, name)) return false;
    if (afterStart) afterStart();
    bool ok = true;
    for (const std::vector<DrawCall>& page : kPages) {
      ok = EngineStartPage(dc) && ok;
      for (const DrawCall& call : page) EngineDraw(dc, call);
      ok = EngineEndPage(dc) && ok;
    }
    return EngineEndDoc(dc) && ok;
  }

  // The job's sheets against the reference rendering of the pages they should carry
  // (kBlankSheet for a sheet with nothing drawn on it).
  void ExpectSheets(EngineDc* dc, const std::vector<BYTE>& job, const std::vector<int>& pages) {
    const std::vector<ReferenceImage> printed = RenderSpoolPages(ScanSpoolStream(job), SpoolRenderOptions{kScale});
    ASSERT_EQ(printed.size(), pages.size());
    const GDIINFO* info = EngineDcGdiInfo(dc);
    const SIZEL surface = EngineDcSurface(dc)->sizlBitmap;
    for (size_t i = 0; i < pages.size(); ++i) {
      SCOPED_TRACE("sheet " + std::to_string(i));
      const std::vector<DrawCall> drawn = pages[i] == kBlankSheet ? std::vector<DrawCall>{} : EngineDcPage(dc, pages[i]);
      const ReferenceImage expected = RenderReferencePage(drawn, surface, kScale);
      const ReferenceImage area =
          CropSheet(printed[i], std::lround(info->ptlPhysOffset.x * kScale), std::lround(info->ptlPhysOffset.y * kScale),
                    expected.width, expected.height);
      const double difference = CompareReferenceImages(area, expected, 8);
      EXPECT_LT(difference, 0.002);
      if (difference >= 0.002) {
        SaveReferencePng(area, "copies-sheet-" + std::to_string(i) + "-printed.png");
        SaveReferencePng(expected, "copies-sheet-" + std::to_string(i) + "-expected.png");
      }
    }
  }

  std::vector<BYTE> modelDevMode_;
};

// The spool job's bytes as text.
std::string Text(const std::vector<BYTE>& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct CopiesCase {
  const char* name;
  LONG collate;           // item 18: 1 collated
  int runs;               // how often the stored pages are output
  const char* quantity;   // the copies the header asks the device for; NULL: not checked here
};

// The case by its name in test listings (GoogleTest would print its bytes, pointers included).
void PrintTo(const CopiesCase& c, std::ostream* out) { *out << c.name; }

class CopiesTest : public CopiesAndPassesTest, public testing::WithParamInterface<CopiesCase> {};

// Three copies of a reverse-order document with a sheet inserted before it and one at its end:
// every run gives the end sheet, page 2, page 1 and the front sheet (in reverse order the end
// sheet comes out first); collated copies are three runs in one job, uncollated copies one run
// whose header asks the device for three.
TEST_P(CopiesTest, ReverseOrderCopiesWithInsertedSheets) {
  const CopiesCase& c = GetParam();
  Put(kItemCopies, 3);
  Put(kItemCollate, c.collate);
  Put(kItemReverseOrder, 1);
  Put(kItemSheetBeforeDocument, 1);  // a sheet before the document
  Put(kItemSheetBeforePaper, 2);
  Put(kItemSheetAtEnd, 1);  // a sheet at its end
  Put(kItemSheetAtEndPaper, 3);
  EngineDc* dc = CreateModelDc(kCopierModel);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(Print(dc, u"Copies")) << Trace();
  EXPECT_EQ(breaches_(), 0u) << Trace();
  const Strings calls = Calls();
  EXPECT_EQ(Count(calls, "VR_StartJob"), 1u);
  EXPECT_EQ(Count(calls, "VR_SendJobHeader"), 1u);
  EXPECT_EQ(Count(calls, "VR_SendJobTrailer"), 1u);
  EXPECT_EQ(Count(calls, "VR_StartPage"), size_t(4 * c.runs)) << Trace();

  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 1u);
  const std::string spool = Text(SimReadSpoolJob(jobs[0].id));
  ExpectFramedJob(spool);
  if (c.quantity != nullptr) {
    EXPECT_EQ(Occurrences(spool, std::string("@PJL SET QTY=") + c.quantity + "\n"), 1u)
        << spool.substr(spool.find(kUel), 400);
  }
  std::vector<int> sheets;
  for (int run = 0; run < c.runs; ++run) sheets.insert(sheets.end(), {kBlankSheet, 1, 0, kBlankSheet});
  ExpectSheets(dc, SimReadSpoolJob(jobs[0].id), sheets);
}

// A job the driver collates asks the device for one copy: the three runs are the copies.
const CopiesCase kCopiesCases[] = {{"Collated", 1, 3, "1"}, {"Uncollated", 2, 1, "3"}};
INSTANTIATE_TEST_SUITE_P(Each, CopiesTest, testing::ValuesIn(kCopiesCases),
                         [](const testing::TestParamInfo<CopiesCase>& info) { return std::string(info.param.name); });

// The cover block's first records: "AR", "AK" mode 2, "AL" code 1.
const std::string kCoverPreamble = std::string("ARAK") + char(2) + "AL" + char(1);

// The driver data file of the model (section 28) as it lies in the driver directory.
std::string DriverDataFile() {
  std::ifstream in(SimHostPath((std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD").c_str()), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The record naming the overlay "letterhead": "Eg" and the name's length.
std::string OverlayRecord() { return std::string("Eg") + char(0) + char(10) + "letterhead"; }

struct FaxCase {
  const char* name;
  LONG overlaySheet;  // item 377: the header sheet names an overlay, else carries the driver file
  std::string (*sheetBlock)();  // what the header sheet carries
};

// The case by its name in test listings (GoogleTest would print its bytes, pointers included).
void PrintTo(const FaxCase& c, std::ostream* out) { *out << c.name; }

class FaxJobTest : public CopiesAndPassesTest {
 protected:
  // A fax job of three destinations, each with its header sheet and its own pass.
  void SetUpFaxJob(LONG overlaySheet) {
    Put(kItemFaxHeaderSheet, 1);
    Put(kItemFaxHeaderOverlay, overlaySheet);
    Put(kItemFaxOneJob, 0);
    Put(kItemFaxDestinations, 3);
    Put(kItemFaxHeaderOnly, 0);
    LPCWSTR overlay = u"C:\\Forms\\letterhead.frm";
    ASSERT_EQ(SetItemValue(kItemOverlayPath, settings_, config_, kTypeString, (lstrlenW(overlay) + 1) * sizeof(WCHAR),
                           &overlay),
              kItemDone);
  }
  // The job's escapes after its start, as the user-interface module sends them: the whole
  // settings (the device mode carries only their first part) and the send list of the three
  // numbers.
  std::function<void()> SendList(EngineDc* dc) {
    return [this, dc] {
      EXPECT_EQ(EngineEscape(dc, kSetSettingsEscape, sizeof(SettingsRecord), settings_, 0, nullptr), 1);
      EXPECT_EQ(EngineEscape(dc, kFaxListEscape, ULONG(list_.size()), list_.data(), 0, nullptr), 1);
    };
  }
  const std::vector<std::u16string> numbers_ = {u"5550101", u"5550202", u"5550303"};
  std::vector<BYTE> list_ = FaxList(numbers_);
};

class FaxPassTest : public FaxJobTest, public testing::WithParamInterface<FaxCase> {};

// Three passes: the document's own spool job and two "RAW" jobs named after the document, each
// framed by its own header (naming its destination only) and trailer, each with the header
// sheet and then the document's pages.
TEST_P(FaxPassTest, EachDestinationIsAJobOfItsOwn) {
  SetUpFaxJob(GetParam().overlaySheet);
  EngineDc* dc = CreateModelDc(kFaxModel);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(Print(dc, u"Fax", SendList(dc))) << Trace();
  EXPECT_EQ(breaches_(), 0u) << Trace();
  const Strings calls = Calls();
  EXPECT_EQ(Count(calls, "VR_Initialize"), 1u);
  EXPECT_EQ(Count(calls, "VR_StartJob"), 3u);
  EXPECT_EQ(Count(calls, "VR_SendJobHeader"), 3u);
  EXPECT_EQ(Count(calls, "VR_SendJobTrailer"), 3u);
  EXPECT_EQ(Count(calls, "VR_EndJob"), 3u);

  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 3u);
  for (size_t pass = 0; pass < jobs.size(); ++pass) {
    SCOPED_TRACE("pass " + std::to_string(pass));
    EXPECT_EQ(jobs[pass].document, u"Fax");
    EXPECT_NE(jobs[pass].state, SimJobState::Open);
    if (pass > 0) {
      EXPECT_EQ(jobs[pass].datatype, u"RAW");
    }
    const std::string spool = Text(SimReadSpoolJob(jobs[pass].id));
    ExpectFramedJob(spool);
    // The destination's number: in its header's fax line and in its cover texts.
    for (size_t other = 0; other < numbers_.size(); ++other) {
      const std::string number(numbers_[other].begin(), numbers_[other].end());
      EXPECT_EQ(Occurrences(spool, "@FANU=" + number), other == pass ? 1u : 0u) << number;
      EXPECT_EQ(Occurrences(spool, number), other == pass ? 2u : 0u) << number;
    }
    // The header sheet's blocks lie on its page, before the document's first page.
    const std::string startPage = std::string("\x1BVR") + char(32);
    const size_t sheet = spool.find(startPage);
    const size_t firstPage = spool.find(startPage, sheet + 1);
    const size_t block = spool.find(GetParam().sheetBlock(), sheet);
    EXPECT_GT(block, sheet);
    EXPECT_LT(block, firstPage);
    EXPECT_EQ(Occurrences(spool, kCoverPreamble), 1u);
    EXPECT_GT(spool.find(kCoverPreamble, sheet), block);
    EXPECT_LT(spool.find(kCoverPreamble, sheet), firstPage);
    ExpectSheets(dc, SimReadSpoolJob(jobs[pass].id), {kBlankSheet, 0, 1});
  }
  EXPECT_EQ(SimOpenPrinterHandleCount(), 1u) << "only the engine's own handle is left";
}

const FaxCase kFaxCases[] = {{"OverlaySheet", 1, OverlayRecord}, {"DriverFileSheet", 0, DriverDataFile}};
INSTANTIATE_TEST_SUITE_P(Each, FaxPassTest, testing::ValuesIn(kFaxCases),
                         [](const testing::TestParamInfo<FaxCase>& info) { return std::string(info.param.name); });

// A step of the fax job that fails: the nth call of a library entry point or of a spooler call.
// A failed pass does not stop the next one, unless its header sheet fails: that aborts the job
// (a pass without its spool job cannot write its header sheet either).
struct PassFailure {
  const char* name;
  const char* call;
  int nth;
  bool spooler;
  size_t jobs;  // spool jobs made
};

const PassFailure kPassFailures[] = {
    {"SecondJobStart", "VR_StartJob", 2, false, 3},
    {"SecondHeader", "VR_SendJobHeader", 2, false, 3},
    {"SecondHeaderSheet", "VR_StartPage", 4, false, 2},
    {"ReplayedPage", "VR_EndPage", 5, false, 3},
    {"LastTrailer", "VR_SendJobTrailer", 3, false, 3},
    {"FirstPassEnd", "VR_EndJob", 1, false, 3},
    {"SecondSpoolJob", "StartDocPrinterW", 2, true, 1},
    {"PassJobClose", "EndDocPrinter", 1, true, 3},
};

using FaxFailureTest = FaxJobTest;

TEST_F(FaxFailureTest, AFailedStepFailsTheJobAndLeavesNothingOpen) {
  for (const PassFailure& f : kPassFailures) {
    SCOPED_TRACE(f.name);
    reset_();
    SetUpFaxJob(1);
    EngineDc* dc = CreateModelDc(kFaxModel);
    ASSERT_NE(dc, nullptr);
    const size_t before = SimListSpoolJobs().size();
    if (f.spooler)
      SimFailCall(f.call, ERROR_NOT_ENOUGH_MEMORY, f.nth);
    else
      fail_(f.call, DWORD(f.nth), -1);
    EXPECT_FALSE(Print(dc, u"Fax", SendList(dc))) << "the failed job is reported";
    EXPECT_EQ(liveSessions_(), 0u);
    const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
    EXPECT_EQ(jobs.size() - before, f.jobs);
    for (size_t i = before; i < jobs.size(); ++i) EXPECT_NE(jobs[i].state, SimJobState::Open) << i;
    DeleteDc(dc);
    EXPECT_EQ(SimOpenPrinterHandleCount(), 0u);
    EXPECT_EQ(SimEngineOutstanding(), driverOnly_) << testing::PrintToString(SimEngineOutstandingList());
  }
}

// One job for every destination: with a header sheet alone, or with the destinations in one
// job (item 379 on), the document is one job whose header names every destination the job
// sends to.
struct SingleJobCase {
  const char* name;
  LONG headerOnly;            // item 381: the header sheet alone
  LONG oneJob;                // item 379
  std::vector<int> sheets;    // what the job prints
  size_t faxLines;            // "@FANU=" lines of its header
};

// The case by its name in test listings (GoogleTest would print its bytes, pointers included).
void PrintTo(const SingleJobCase& c, std::ostream* out) { *out << c.name; }

class SingleFaxJobTest : public FaxJobTest, public testing::WithParamInterface<SingleJobCase> {};

TEST_P(SingleFaxJobTest, OneJobForAllDestinations) {
  const SingleJobCase& c = GetParam();
  SetUpFaxJob(1);
  Put(kItemFaxHeaderOnly, c.headerOnly);
  Put(kItemFaxOneJob, c.oneJob);
  EngineDc* dc = CreateModelDc(kFaxModel);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(Print(dc, u"Fax", SendList(dc))) << Trace();
  EXPECT_EQ(breaches_(), 0u) << Trace();
  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 1u);
  const std::string spool = Text(SimReadSpoolJob(jobs[0].id));
  ExpectFramedJob(spool);
  EXPECT_EQ(Occurrences(spool, "@FANU="), c.faxLines);
  ExpectSheets(dc, SimReadSpoolJob(jobs[0].id), c.sheets);
}

const SingleJobCase kSingleJobCases[] = {
    {"HeaderSheetAlone", 1, 0, {kBlankSheet}, 0},
    {"DestinationsInOneJob", 0, 1, {kBlankSheet, 0, 1}, 3},
};
INSTANTIATE_TEST_SUITE_P(Each, SingleFaxJobTest, testing::ValuesIn(kSingleJobCases),
                         [](const testing::TestParamInfo<SingleJobCase>& info) { return std::string(info.param.name); });

// A send list that is not a whole "DFAX001" record is refused and changes nothing: a job that
// never got a list cannot make the header sheet of its destinations, and fails.
TEST_F(FaxFailureTest, ABrokenSendListIsRefused) {
  SetUpFaxJob(1);
  EngineDc* dc = CreateModelDc(kFaxModel);
  ASSERT_NE(dc, nullptr);
  std::vector<BYTE> broken = list_;
  broken.pop_back();
  EXPECT_FALSE(Print(dc, u"Fax", [&] {
    EXPECT_EQ(EngineEscape(dc, kFaxListEscape, ULONG(broken.size()), broken.data(), 0, nullptr), -1);
  }));
  EXPECT_EQ(liveSessions_(), 0u);
  for (const SimSpoolJob& job : SimListSpoolJobs()) EXPECT_NE(job.state, SimJobState::Open);
}

// The fax data file that item 375 names is deleted at the job's end only when the
// user-interface module registered it as its own temporary file for this user; any other file
// the settings name is left alone.
TEST_F(FaxFailureTest, OnlyARegisteredFaxDataFileIsDeleted) {
  struct Case {
    const char* name;
    bool registered;
    bool deleted;
  };
  constexpr Case kCases[] = {{"registered", true, true}, {"not registered", false, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    reset_();
    const std::u16string file = u"C:\\Windows\\Temp\\VQF" + std::u16string(c.registered ? u"1" : u"2") + u".tmp";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (c.registered) {
      BYTE record[532] = {};
      std::memcpy(record, file.c_str(), (file.size() + 1) * sizeof(WCHAR));
      SimRegistrySeedValue(HKEY_CURRENT_USER, u"Software\\Qorvex\\QX-4500\\Users\\TempFile", u"DFaxInfo_1",
                           REG_BINARY, record, sizeof record);
    }
    SetUpFaxJob(1);
    LPCWSTR name = file.c_str();
    ASSERT_EQ(
        SetItemValue(kItemFaxDataFile, settings_, config_, kTypeString, DWORD(file.size() + 1) * sizeof(WCHAR), &name),
        kItemDone);
    EngineDc* dc = CreateModelDc(kFaxModel);
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(Print(dc, u"Fax", SendList(dc))) << Trace();
    EXPECT_EQ(GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES, c.deleted);
    DeleteDc(dc);
  }
}

}  // namespace

namespace {

constexpr ULONG kConfirmedEscape = 0x502B;
constexpr char16_t kSaveFolder[] = u"C:\\Saved\\Jobs";
constexpr char16_t kSaveFile[] = u"C:\\Saved\\Jobs\\Report.kmr";

// The bytes of a file of the sandbox; empty when there is none.
std::string ReadSandboxFile(LPCWSTR path) {
  std::ifstream in(SimHostPath(path), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool SandboxFileExists(LPCWSTR path) { return std::ifstream(SimHostPath(path), std::ios::binary).good(); }

// The display-list bytes of each page's block: its colour as the list writes it (RGB space).
const std::string kRedBlockColour = std::string("\x04") + char(210) + char(30) + char(30);
const std::string kBlueBlockColour = std::string("\x04") + char(30) + char(30) + char(210);

}  // namespace

// A document saved as a file: the pages are kept while it is drawn, and at its end only the
// first one is printed; unless the job was confirmed, the same job also goes into the save
// file named by the save folder and file name.
class SavedJobTest : public CopiesAndPassesTest {
 protected:
  void SetUpSavedJob() {
    Put(kItemSaveToFile, 1);
    for (const auto& [id, text] : {std::pair<SettingItemId, LPCWSTR>{1829, kSaveFolder}, {338, u"Report"}}) {
      LPCWSTR value = text;
      ASSERT_EQ(SetItemValue(id, settings_, config_, kTypeString, (lstrlenW(text) + 1) * sizeof(WCHAR), &value),
                kItemDone);
    }
  }
  // After the start: the whole settings and, for a confirmed job, the confirmed marker.
  std::function<void()> JobEscapes(EngineDc* dc, DWORD confirmed) {
    return [this, dc, confirmed]() mutable {
      EXPECT_EQ(EngineEscape(dc, kSetSettingsEscape, sizeof(SettingsRecord), settings_, 0, nullptr), 1);
      EXPECT_EQ(EngineEscape(dc, kConfirmedEscape, sizeof confirmed, &confirmed, 0, nullptr), 1);
    };
  }
};

struct SavedJobCase {
  const char* name;
  DWORD confirmed;
  bool savesFile;
};

// The case by its name in test listings (GoogleTest would print its bytes, pointers included).
void PrintTo(const SavedJobCase& c, std::ostream* out) { *out << c.name; }

class SavedJobOutputTest : public SavedJobTest, public testing::WithParamInterface<SavedJobCase> {};

// The spool job holds the library's job with the first page only; the save file (when the job
// is not confirmed) holds the job header, the first page's drawing and the job trailer, and
// nothing of the second page. Nothing stays open.
TEST_P(SavedJobOutputTest, FirstPagePrintedAndSaved) {
  const SavedJobCase& c = GetParam();
  SetUpSavedJob();
  EngineDc* dc = CreateModelDc({});
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(Print(dc, u"Quarterly", JobEscapes(dc, c.confirmed))) << Trace();
  EXPECT_EQ(breaches_(), 0u) << Trace();
  const Strings calls = Calls();
  EXPECT_EQ(Count(calls, "VR_StartJob"), 1u);
  EXPECT_EQ(Count(calls, "VR_SendJobHeader"), 1u);
  EXPECT_EQ(Count(calls, "VR_StartPage"), 1u) << Trace();
  EXPECT_EQ(Count(calls, "VR_SendJobTrailer"), 1u);
  EXPECT_EQ(Count(calls, "VR_EndJob"), 1u);

  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 1u);
  const std::string spool = Text(SimReadSpoolJob(jobs[0].id));
  if (!c.savesFile) ExpectFramedJob(spool);
  ExpectSheets(dc, SimReadSpoolJob(jobs[0].id), {0});
  EXPECT_EQ(SimOpenFiles(), 0);

  ASSERT_EQ(SandboxFileExists(kSaveFile), c.savesFile);
  if (!c.savesFile) return;
  const std::string saved = ReadSandboxFile(kSaveFile);
  EXPECT_EQ(Occurrences(saved, kUel), 2u) << "the job header and the trailer";
  EXPECT_LT(saved.find("@PJL SET QTY=1\n"), saved.find(kTrailer));
  EXPECT_EQ(saved.rfind(kTrailer), saved.find(kTrailer));
  const size_t red = saved.find(kRedBlockColour);
  EXPECT_NE(red, std::string::npos) << "the first page's drawing is saved";
  EXPECT_LT(red, saved.find(kTrailer));
  EXPECT_EQ(Occurrences(saved, kBlueBlockColour), 0u) << "the second page is not";
}

const SavedJobCase kSavedJobCases[] = {{"Unconfirmed", 0, true}, {"Confirmed", 1, false}};
INSTANTIATE_TEST_SUITE_P(Each, SavedJobOutputTest, testing::ValuesIn(kSavedJobCases),
                         [](const testing::TestParamInfo<SavedJobCase>& info) { return std::string(info.param.name); });

// Documents printed by an application on a printer of the sample model: CreateDCW loads both
// printer modules by the printer's driver info, GDI tells qorvexui.dll each step through its
// document events, qorvexui.dll hands the job's data to qorvexgr.dll by private escapes, and the
// application's drawing reaches qorvexgr.dll through the engine host into the spool job.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/database/database.h"
#include "core/job/job_header.h"
#include "core/rules/paper_margins.h"
#include "core/store/printer_forms.h"
#include "items/item_ids.h"
#include "platform/engine/printer_dc.h"
#include "platform/engine/reference_renderer.h"
#include "tests/support/sample_fixture.h"
#include "tools/spoolview/spool_render.h"

namespace {

constexpr const WCHAR* kPrinter = u"P1";

// Escapes the user-interface module sends.
enum Escape : int {
  kPageEnd = 0x5001, kGetSettings = 0x5002, kSetSettings = 0x5005, kSetJobInfo = 0x5007, kQueryFax = 0x5009,
  kSetConfig = 0x500B, kSetMargins = 0x5010, kStartDocPre = 0x5020, kBatch = 0x5021, kSetDocName = 0x5023,
  kSetJobHeaders = 0x5025, kGetDirectMode = 0x5028, kSetDirectMode = 0x5029, kQueryStartDoc = 0x502A,
  kSetConfirmed = 0x502B, kSetMeasure = 0x5100,
};

struct EscapeShape {
  int escape;
  size_t inputSize;
  int outputSize;
  bool operator==(const EscapeShape&) const = default;
};

std::ostream& operator<<(std::ostream& out, const EscapeShape& e) {
  return out << std::hex << "0x" << e.escape << std::dec << " in " << e.inputSize << " out " << e.outputSize;
}

// Job-information switches (items 1296 .. 1301: user, owner, document, page, date, time).
constexpr SettingItemId kJobInfoItems[] = {kItemJobInfoUser,       kItemJobInfoOwner, kItemJobInfoDocumentName,
                                           kItemJobInfoPageNumber, kItemJobInfoDate,  kItemJobInfoTime};

class PrintingTest : public SampleStoreTest {
 protected:
  void SetUp() override {
    SampleStoreTest::SetUp();
    ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, kPrinter));
    SimSetUserName(u"alice");
    SimSetComputerName(u"HOST1");
    SimSetClock(SYSTEMTIME{2026, 3, 4, 5, 6, 7, 8, 0});
    for (SettingItemId id : kJobInfoItems) Set(id, kTypeUInt8, 0);
    Set(kItemJournal, kTypeFlag, 0);
  }

  void AddPrinter(DWORD attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED) {
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    setup.attributes = attributes;
    setup.devMode = DevMode();  // an installed printer has the model's defaults as its own
    ASSERT_TRUE(SimAddPrinter(setup));
  }

  std::vector<BYTE> DevMode() const { return std::vector<BYTE>(settings_->bytes, settings_->bytes + kSettingsRecordShortSize); }

  HDC CreatePrinterDc() {
    devMode_ = DevMode();
    return CreateDCW(nullptr, kPrinter, nullptr, reinterpret_cast<const DEVMODEW*>(devMode_.data()));
  }

  // A page of the application: text, lines, shapes and an image.
  static void DrawPage(HDC dc, int page) {
    const std::u16string title = u"Quarterly report, page " + std::u16string(1, char16_t(u'1' + page));
    LOGFONTW font{};
    font.lfHeight = -100;
    font.lfWeight = 700;
    std::memcpy(font.lfFaceName, u"Arial", 12);
    HFONT f = CreateFontIndirectW(&font);
    HGDIOBJ oldFont = SelectObject(dc, f);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x20, 0x20, 0x80));
    TextOutW(dc, 300, 300, title.c_str(), static_cast<int>(title.size()));
    HPEN pen = CreatePen(PS_SOLID, 8, RGB(0xC0, 0x20, 0x20));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, 300, 500, nullptr);
    LineTo(dc, 3000, 500);
    HBRUSH brush = CreateSolidBrush(RGB(0x30, 0x90, 0x40));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, 300, 700, 1300, 1500);
    Ellipse(dc, 1600, 700, 2600, 1500);
    const POINT triangle[3] = {{300, 2600}, {1300, 1800}, {2300, 2600}};
    Polygon(dc, triangle, 3);
    const POINT zigzag[4] = {{2600, 1800}, {2900, 2600}, {3200, 1800}, {3500, 2600}};
    Polyline(dc, zigzag, 4);
    // A 4 x 2 image (24 bits, bottom-up) stretched to 800 x 400.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const BYTE bits[24] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255, 0, 0, 128};
    StretchDIBits(dc, 300, 2900, 800, 400, 0, 0, 4, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(f);
    DeleteObject(pen);
    DeleteObject(brush);
  }

  // Prints `pages` pages; the DC stays for the caller.
  void PrintDocument(HDC dc, int pages) {
    DOCINFOW info{sizeof(DOCINFOW), u"Quarterly report", nullptr, nullptr, 0};
    ASSERT_GT(StartDocW(dc, &info), 0);
    for (int page = 0; page < pages; ++page) {
      ASSERT_GT(StartPage(dc), 0);
      DrawPage(dc, page);
      ASSERT_GT(EndPage(dc), 0);
    }
    ASSERT_GT(EndDoc(dc), 0);
  }

  static std::vector<EscapeShape> Shapes(const std::vector<SimPrinterEscape>& escapes) {
    std::vector<EscapeShape> shapes;
    for (const SimPrinterEscape& e : escapes) shapes.push_back({e.escape, e.input.size(), e.outputSize});
    return shapes;
  }

  // The input of the last escape of that code.
  static std::vector<BYTE> LastInput(int escape) {
    std::vector<BYTE> input;
    for (const SimPrinterEscape& e : SimPrinterEscapes())
      if (e.escape == escape) input = e.input;
    return input;
  }

  std::vector<BYTE> devMode_;
};

TEST_F(PrintingTest, DocumentEventsComeInThePlatformsOrder) {
  AddPrinter();
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  PrintDocument(dc, 2);
  ASSERT_TRUE(DeleteDC(dc));
  const std::vector<SimDocumentEvent> expected = {
      {DOCUMENTEVENT_CREATEDCPRE, 1}, {DOCUMENTEVENT_CREATEDCPOST, 1}, {DOCUMENTEVENT_STARTDOCPRE, 1},
      {DOCUMENTEVENT_STARTDOCPOST, 1}, {DOCUMENTEVENT_STARTPAGE, 1},   {DOCUMENTEVENT_ENDPAGE, 1},
      {DOCUMENTEVENT_STARTPAGE, 1},    {DOCUMENTEVENT_ENDPAGE, 1},      {DOCUMENTEVENT_ENDDOCPRE, 1},
      {DOCUMENTEVENT_ENDDOCPOST, 0},   {DOCUMENTEVENT_DELETEDC, 1},
  };
  EXPECT_EQ(SimDocumentEvents(), expected);
}

TEST_F(PrintingTest, EscapeBatchesReachTheGraphicsModuleInOrderAndSize) {
  AddPrinter();
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  PrintDocument(dc, 1);
  ASSERT_TRUE(DeleteDC(dc));
  const std::vector<EscapeShape> expected = {
      // STARTDOCPRE
      {kStartDocPre, 4, 0}, {kGetSettings, 0, 5364}, {kGetDirectMode, 0, 12}, {kQueryFax, 0, 4}, {kSetSettings, 5364, 0},
      // STARTDOCPOST: the start confirmed, then the batch
      {kQueryStartDoc, 0, 4}, {kGetSettings, 0, 5364}, {kBatch, 2, 0}, {kSetMeasure, 2, 0}, {kSetDocName, 522, 0},
      {kSetSettings, 5364, 0}, {kSetConfig, 4492, 0}, {kSetJobInfo, 768, 0}, {kSetDirectMode, 12, 0}, {kBatch, 2, 0},
      // STARTPAGE and ENDPAGE
      {kGetSettings, 0, 5364}, {kSetMargins, 10, 0}, {kPageEnd, 4, 44},
      // ENDDOCPRE
      {kPageEnd, 4, 44},
  };
  const std::vector<SimPrinterEscape> escapes = SimPrinterEscapes();
  EXPECT_EQ(Shapes(escapes), expected);
  for (const SimPrinterEscape& e : escapes) {
    if (e.escape != kPageEnd) {
      EXPECT_GT(e.result, 0) << std::hex << e.escape;
    }
  }
  // The batch opens with 0 and closes with 1.
  std::vector<WORD> batch;
  for (const SimPrinterEscape& e : escapes)
    if (e.escape == kBatch) batch.push_back(static_cast<WORD>(e.input[0] | (e.input[1] << 8)));
  EXPECT_EQ(batch, (std::vector<WORD>{0, 1}));
  // The document name, 261 characters in all.
  const std::vector<BYTE> name = LastInput(kSetDocName);
  EXPECT_EQ(std::u16string(reinterpret_cast<const WCHAR*>(name.data())), u"Quarterly report");
}

TEST_F(PrintingTest, StartDocEscapesComeBeforeTheEngineStartsTheDocument) {
  AddPrinter();
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  SimEngineLogReset();
  PrintDocument(dc, 1);
  ASSERT_TRUE(DeleteDC(dc));
  std::vector<std::string> order;
  for (const SimEngineCall& call : SimEngineLog()) {
    if (call.kind != SimEngineCallKind::Ddi) continue;
    if (call.name == "DrvEscape") {
      const std::string code = call.args.substr(5, call.args.find(' ') - 5);
      if (code == "0x5020" || code == "0x502A" || code == "0x5010") order.push_back(code);
    } else if (call.name == "DrvStartDoc" || call.name == "DrvStartPage" || call.name == "DrvSendPage" ||
               call.name == "DrvEndDoc") {
      order.push_back(call.name);
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"0x5020", "DrvStartDoc", "0x502A", "0x5010", "DrvStartPage", "DrvSendPage",
                                             "DrvEndDoc"}));
}

TEST_F(PrintingTest, PinnedModuleIsReleasedAtDeleteDc) {
  AddPrinter();
  const int loads = SimModuleLoadCount(u"qorvexui.dll"), frees = SimModuleFreeCount(u"qorvexui.dll");
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  // GDI's load and the module's own pin.
  EXPECT_EQ(SimModuleLoadCount(u"qorvexui.dll") - loads, 2);
  EXPECT_EQ(SimModuleFreeCount(u"qorvexui.dll") - frees, 0);
  PrintDocument(dc, 1);
  EXPECT_EQ(SimModuleFreeCount(u"qorvexui.dll") - frees, 0);
  ASSERT_TRUE(DeleteDC(dc));
  EXPECT_EQ(SimModuleFreeCount(u"qorvexui.dll") - frees, 2);
}

// The job information block as the user-interface module hands it over: the user and owner
// texts fitted to 63 and 31 bytes of the ANSI code page, the date in the locale's order.
struct JobInfoCase {
  const char* name;
  std::u16string user;
  const WCHAR* defaultUser;  // Winlogon's DefaultUserName, NULL for none
  UINT codePage;
  LCID locale;
  std::u16string expectedUser;
  std::u16string expectedOwner;
  std::u16string expectedDate;
};

TEST_F(PrintingTest, JobInformationBlockIsByteExact) {
  const std::u16string wide(40, u'\u65E5');  // 40 characters of two bytes each in code page 932
  const JobInfoCase cases[] = {
      {"plain user", u"alice", nullptr, 1252, 0x0409, u"alice", u"alice\\HOST1", u"03/05/2026"},
      {"service without a default user", u"SYSTEM", nullptr, 1252, 0x0409, u"UnknownUser", u"UnknownUser\\HOST1",
       u"03/05/2026"},
      {"service with a default user", u"SYSTEM", u"bob", 1252, 0x0409, u"bob", u"bob\\HOST1", u"03/05/2026"},
      {"blank name", u"  \u3000 ", nullptr, 1252, 0x0407, u"UnknownUser", u"UnknownUser\\HOST1", u"05.03.2026"},
      {"owner of exactly 31 bytes", u"abcdefghijklmnopqrstuvwxy", nullptr, 1252, 0x0411, u"abcdefghijklmnopqrstuvwxy",
       u"abcdefghijklmnopqrstuvwxy\\HOST1", u"2026-03-05"},
      {"owner one byte too long", u"abcdefghijklmnopqrstuvwxyz", nullptr, 1252, 0x0409, u"abcdefghijklmnopqrstuvwxyz",
       u"", u"03/05/2026"},
      {"double-byte name too long", wide, nullptr, 932, 0x0411, u"", u"", u"2026-03-05"},
      {"double-byte name that fits", wide.substr(0, 31), nullptr, 932, 0x0411, wide.substr(0, 31), u"", u"2026-03-05"},
  };
  for (SettingItemId id : kJobInfoItems) Set(id, kTypeUInt8, 1);
  AddPrinter();
  for (const JobInfoCase& c : cases) {
    SCOPED_TRACE(c.name);
    SimSetUserName(c.user);
    SimSetAnsiCodePage(c.codePage);
    SimSetUserLocale(c.locale);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", &key),
              ERROR_SUCCESS);
    if (c.defaultUser != nullptr)
      RegSetValueExW(key, u"DefaultUserName", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.defaultUser),
                     static_cast<DWORD>((lstrlenW(c.defaultUser) + 1) * sizeof(WCHAR)));
    else
      RegDeleteValueW(key, u"DefaultUserName");
    RegCloseKey(key);
    HDC dc = CreatePrinterDc();
    ASSERT_NE(dc, nullptr);
    // The block goes over when the document starts; no page is needed.
    DOCINFOW info{sizeof(DOCINFOW), u"Quarterly report", nullptr, nullptr, 0};
    EXPECT_GT(StartDocW(dc, &info), 0);
    EXPECT_GT(AbortDoc(dc), 0);
    ASSERT_TRUE(DeleteDC(dc));

    std::vector<BYTE> expected(768, 0);
    const DWORD used = 1;
    std::memcpy(expected.data(), &used, 4);
    auto put = [&](size_t offset, const std::u16string& text) {
      std::memcpy(expected.data() + offset, text.data(), text.size() * sizeof(WCHAR));
    };
    put(16, c.expectedUser);
    put(144, c.expectedOwner);
    put(208, u"Quarterly report");
    put(732, c.expectedDate);
    put(754, u"06:07");
    EXPECT_EQ(LastInput(kSetJobInfo), expected);
  }
}

// With job headers on, the batch carries one header of the model's job template: a slot of the
// estimated size after its length word, entry length = slot + 4, the values after the entries.
TEST_F(PrintingTest, JobHeaderBlockHoldsTheBuiltHeader) {
  AddPrinter();
  Set(kItemJournal, kTypeFlag, 1);
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  PrintDocument(dc, 1);
  ASSERT_TRUE(DeleteDC(dc));
  const std::vector<BYTE> block = LastInput(kSetJobHeaders);
  const int slot = EstimateJobHeaderSize(store_->main, store_->linked);
  ASSERT_GT(slot, 0);
  const DWORD entry = static_cast<DWORD>(slot) + 4;
  ASSERT_EQ(block.size(), 16 + entry + 4);

  const DWORD head[4] = {1, entry, 0, 0};
  EXPECT_EQ(std::memcmp(block.data(), head, sizeof head), 0);
  DWORD length = 0, value = 0;
  std::memcpy(&length, block.data() + 16, 4);
  std::memcpy(&value, block.data() + 16 + entry, 4);
  ASSERT_GT(length, 0u);
  ASSERT_LE(length, static_cast<DWORD>(slot));
  const std::string text(reinterpret_cast<const char*>(block.data()) + 20, length);
  EXPECT_EQ(text.rfind("\x1B%-12345X", 0), 0u) << text;
  EXPECT_LE(value, length);
  // The rest of the slot is empty.
  for (DWORD i = 20 + length; i < 16 + entry; ++i) ASSERT_EQ(block[i], 0) << i;
  // The graphics module opened the job with exactly this header.
  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  ASSERT_FALSE(jobs.empty());
  const std::vector<BYTE> spool = SimReadSpoolJob(jobs.back().id);
  EXPECT_NE(std::search(spool.begin(), spool.end(), text.begin(), text.end()), spool.end());
}

// What cannot become a printer DC leaves nothing open; the document calls refuse other DCs.
TEST_F(PrintingTest, PrinterDcFailuresLeaveNothingOpen) {
  AddPrinter();
  EXPECT_EQ(CreateDCW(nullptr, u"No such printer", nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
  SimModuleFailLoad(u"qorvexgr.dll", ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(CreatePrinterDc(), nullptr);
  // The user-interface module was told about the DC that never came to be.
  const std::vector<SimDocumentEvent> told = {{DOCUMENTEVENT_CREATEDCPRE, 1}, {DOCUMENTEVENT_CREATEDCPOST, 1},
                                              {DOCUMENTEVENT_DELETEDC, 1}};
  EXPECT_EQ(SimDocumentEvents(), told);
  EXPECT_EQ(SimOpenPrinterHandleCount(), 0u);
  HDC memory = CreateCompatibleDC(nullptr);
  DOCINFOW info{sizeof(DOCINFOW), u"Not a printer", nullptr, nullptr, 0};
  EXPECT_EQ(StartDocW(memory, &info), SP_ERROR);
  EXPECT_EQ(StartPage(memory), 0);
  EXPECT_EQ(EndDoc(memory), 0);
  DeleteDC(memory);
}

// A reset before the document starts sends the graphics module nothing.
TEST_F(PrintingTest, ResetBeforeTheDocumentSendsNoBatch) {
  AddPrinter();
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  const std::vector<BYTE> mode = DevMode();
  EXPECT_EQ(ResetDCW(dc, reinterpret_cast<const DEVMODEW*>(mode.data())), dc);
  EXPECT_TRUE(SimPrinterEscapes().empty());
  const std::vector<SimDocumentEvent> events = SimDocumentEvents();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], (SimDocumentEvent{DOCUMENTEVENT_RESETDCPRE, 1}));
  EXPECT_EQ(events.back(), (SimDocumentEvent{DOCUMENTEVENT_RESETDCPOST, 1}));
  ASSERT_TRUE(DeleteDC(dc));
}

// The printed pages look like the application's drawing: the spool job rendered page by page
// against the engine's own rendering of the drawing calls that reached the graphics module.
TEST_F(PrintingTest, PagesRenderAsDrawn) {
  constexpr double kScale = 0.25;
  AddPrinter();
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  EngineDc* engine = SimPrinterDcEngine(dc);
  ASSERT_NE(engine, nullptr);
  PrintDocument(dc, 2);
  const GDIINFO info = *EngineDcGdiInfo(engine);
  const SIZEL surface = EngineDcSurface(engine)->sizlBitmap;
  std::vector<std::vector<DrawCall>> drawn;
  for (size_t i = 0; i < EngineDcPageCount(engine); ++i) drawn.push_back(EngineDcPage(engine, i));
  ASSERT_TRUE(DeleteDC(dc));
  ASSERT_EQ(drawn.size(), 2u);
  // Text, a line, a rectangle, an ellipse, a polygon, a polyline and an image.
  EXPECT_EQ(drawn[0].size(), 7u);

  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  ASSERT_FALSE(jobs.empty());
  SpoolRenderOptions options;
  options.scale = kScale;
  const std::vector<ReferenceImage> printed = RenderSpoolPages(ScanSpoolStream(SimReadSpoolJob(jobs.back().id)), options);
  ASSERT_EQ(printed.size(), drawn.size());
  for (size_t i = 0; i < drawn.size(); ++i) {
    SCOPED_TRACE(i);
    const ReferenceImage expected = RenderReferencePage(drawn[i], surface, kScale);
    const LONG left = std::lround(info.ptlPhysOffset.x * kScale), top = std::lround(info.ptlPhysOffset.y * kScale);
    ReferenceImage area;
    area.width = expected.width;
    area.height = expected.height;
    area.pixels.assign(static_cast<size_t>(area.width) * static_cast<size_t>(area.height), 0xFFFFFF);
    for (LONG y = 0; y < area.height && top + y < printed[i].height; ++y)
      for (LONG x = 0; x < area.width && left + x < printed[i].width; ++x)
        area.pixels[static_cast<size_t>(y * area.width + x)] =
            printed[i].pixels[static_cast<size_t>((top + y) * printed[i].width + left + x)];
    const double difference = CompareReferenceImages(area, expected, 8);
    EXPECT_LT(difference, 0.01);
    if (difference >= 0.01) {
      SaveReferencePng(area, "printing-page-" + std::to_string(i) + "-printed.png");
      SaveReferencePng(expected, "printing-page-" + std::to_string(i) + "-expected.png");
    }
  }
}

// A stamp and the job information in the settings: at each page end the graphics module asks
// for them, and the user-interface module draws them into the page between the overlay modes.
TEST_F(PrintingTest, StampAndJobInformationAreDrawnAtEachPageEnd) {
  constexpr int kStampMode = 0x5003, kStampPos = 0x5004, kGetJobInfo = 0x5006, kJobInfoMode = 0x5008;
  const WCHAR* name = u"Confidential";
  const WCHAR* text = u"CONFIDENTIAL";
  ASSERT_EQ(SetItemValue(kItemStampName, settings_, config_, kTypeString, 26, &name), kItemDone);
  ASSERT_EQ(SetItemValue(kItemStampText, settings_, config_, kTypeString, 26, &text), kItemDone);
  Set(kItemStampPosition, kTypeUInt16, 0x202);        // centred
  Set(kItemJobInfoUser, kTypeUInt8, 1);               // the user's name
  Set(kItemJobInfoUserPosition, kTypeUInt16, 0x303);  // at the bottom right
  AddPrinter();
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  EngineDc* engine = SimPrinterDcEngine(dc);
  PrintDocument(dc, 1);
  std::vector<std::u16string> texts;
  for (size_t i = 0; i < EngineDcPageCount(engine); ++i)
    for (const DrawCall& call : EngineDcPage(engine, i))
      if (call.kind == DrawKind::TextOut) texts.push_back(call.text.text);
  ASSERT_TRUE(DeleteDC(dc));
  // One page: the application's title, the stamp and the user's name.
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"Quarterly report, page 1", u"CONFIDENTIAL", u"alice"}));
  std::vector<int> overlay;
  for (const SimPrinterEscape& e : SimPrinterEscapes())
    if (e.escape == kStampMode || e.escape == kStampPos || e.escape == kGetJobInfo || e.escape == kJobInfoMode) {
      overlay.push_back(e.escape);
      EXPECT_GT(e.result, 0) << std::hex << e.escape;
    }
  EXPECT_EQ(overlay, (std::vector<int>{kStampMode, kStampMode, kGetJobInfo, kJobInfoMode, kStampPos, kJobInfoMode}));
}

// A shared network printer whose job is marked to be saved (kItemSaveToFile = 1): when the
// document has started in the graphics module, the user confirms it once per document; OK
// sends the batch with the confirmation, Cancel fails the start and no batch goes out.
TEST_F(PrintingTest, SharedNetworkPrinterAsksOncePerDocument) {
  constexpr DWORD kSharedNetwork = PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK;
  const struct Case {
    const char* what;
    DWORD attributes;
    DWORD confirm;
    int answer;
    size_t boxes;  // per document
    bool printed;
  } cases[] = {
      {"shared network printer, OK", kSharedNetwork, 1, IDOK, 1, true},
      {"shared network printer, Cancel", kSharedNetwork, 1, IDCANCEL, 1, false},
      {"a local printer is not asked about", PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED, 1, IDOK, 0, true},
      {"only shared, not a network printer", PRINTER_ATTRIBUTE_SHARED, 1, IDOK, 0, true},
      {"the settings do not ask", kSharedNetwork, 0, IDOK, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Set(kItemSaveToFile, kTypeUInt8, c.confirm);
    AddPrinter(c.attributes);
    HDC dc = CreatePrinterDc();
    ASSERT_NE(dc, nullptr);
    SimMessageBoxReset();
    for (int document = 1; document <= 2; ++document) {
      SimMessageBoxAnswer(c.answer);
      const size_t earlier = SimPrinterEscapes().size();
      DOCINFOW info{sizeof(DOCINFOW), u"Quarterly report", nullptr, nullptr, 0};
      const int job = StartDocW(dc, &info);
      EXPECT_EQ(job > 0, c.printed) << "document " << document;
      if (job > 0) {
        ASSERT_GT(StartPage(dc), 0);
        DrawPage(dc, 0);
        ASSERT_GT(EndPage(dc), 0);
        ASSERT_GT(EndDoc(dc), 0);
      }
      EXPECT_EQ(SimMessageBoxLog().size(), c.boxes * document) << "one box per document";
      std::vector<int> sent;
      std::vector<BYTE> confirmed;
      const std::vector<SimPrinterEscape> escapes = SimPrinterEscapes();
      for (size_t i = earlier; i < escapes.size(); ++i) {
        sent.push_back(escapes[i].escape);
        if (escapes[i].escape == kSetConfirmed) confirmed = escapes[i].input;
      }
      const bool batch = std::find(sent.begin(), sent.end(), int{kBatch}) != sent.end();
      EXPECT_EQ(batch, c.printed) << "document " << document;
      if (c.printed && c.boxes != 0) {
        EXPECT_EQ(confirmed, (std::vector<BYTE>{1, 0, 0, 0})) << "document " << document;
      } else {
        EXPECT_TRUE(confirmed.empty()) << "document " << document;
      }
    }
    for (const SimMessageBox& box : SimMessageBoxLog()) {
      EXPECT_EQ(box.caption, kPrinter) << "the device name";
      EXPECT_EQ(box.type, UINT{MB_OKCANCEL | MB_ICONWARNING});
    }
    ASSERT_TRUE(DeleteDC(dc));
    ASSERT_TRUE(SimRemovePrinter(kPrinter));
  }
}

// Where the ink of a turned stamp lies, in the stamp's own axes: along its text and across it.
struct StampInk {
  double alongLow = 1e9, alongHigh = -1e9, acrossLow = 1e9, acrossHigh = -1e9;
  std::vector<std::pair<double, double>> points;  // {along, across}
};

// The pixels of the stamp's colour in a picture (each channel within the tolerance, so that the
// page's own red pen does not count), turned back by the stamp's angle.
constexpr int kInkTolerance = 24;
StampInk FindStampInk(const ReferenceImage& picture, COLORREF colour, double degrees) {
  const double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
  StampInk ink;
  for (LONG y = 0; y < picture.height; ++y)
    for (LONG x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[static_cast<size_t>(y * picture.width + x)];
      const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
      if (std::abs(r - int(GetRValue(colour))) > kInkTolerance || std::abs(g - int(GetGValue(colour))) > kInkTolerance ||
          std::abs(b - int(GetBValue(colour))) > kInkTolerance)
        continue;
      const double along = x * c - y * s, across = x * s + y * c;
      ink.points.push_back({along, across});
      ink.alongLow = std::min(ink.alongLow, along), ink.alongHigh = std::max(ink.alongHigh, along);
      ink.acrossLow = std::min(ink.acrossLow, across), ink.acrossHigh = std::max(ink.acrossHigh, across);
    }
  return ink;
}

// The frame encloses the text: each outermost band of the ink (as wide as the frame's line) is
// a whole side of the frame, not letters that stick out; and the text inside the frame's lines
// sits in their middle.
void ExpectFrameEnclosesText(const StampInk& ink, double line, const char* what) {
  SCOPED_TRACE(what);
  ASSERT_GT(ink.points.size(), 1000u) << "the stamp is on the page";
  const double length = ink.alongHigh - ink.alongLow, height = ink.acrossHigh - ink.acrossLow;
  struct Side {
    const char* name;
    bool alongSide;  // a long side (across extreme) or a short side (along extreme)
    double edge;
  } sides[] = {{"upper long side", true, ink.acrossLow}, {"lower long side", true, ink.acrossHigh},
               {"left short side", false, ink.alongLow}, {"right short side", false, ink.alongHigh}};
  for (const Side& side : sides) {
    double low = 1e9, high = -1e9;
    for (const auto& [along, across] : ink.points) {
      const double at = side.alongSide ? across : along, spread = side.alongSide ? along : across;
      if (std::fabs(at - side.edge) > line) continue;
      low = std::min(low, spread), high = std::max(high, spread);
    }
    EXPECT_GT(high - low, 0.9 * (side.alongSide ? length : height)) << side.name << " is not a side of the frame";
  }
  // The text: the ink clear of the frame's lines.
  double alongLow = 1e9, alongHigh = -1e9, acrossLow = 1e9, acrossHigh = -1e9;
  for (const auto& [along, across] : ink.points) {
    if (along < ink.alongLow + 2 * line || along > ink.alongHigh - 2 * line || across < ink.acrossLow + 2 * line ||
        across > ink.acrossHigh - 2 * line)
      continue;
    alongLow = std::min(alongLow, along), alongHigh = std::max(alongHigh, along);
    acrossLow = std::min(acrossLow, across), acrossHigh = std::max(acrossHigh, across);
  }
  ASSERT_LT(alongLow, alongHigh) << "the text is inside the frame";
  EXPECT_NEAR(alongLow - ink.alongLow, ink.alongHigh - alongHigh, 0.03 * length) << "centred along the text";
  EXPECT_NEAR(acrossLow - ink.acrossLow, ink.acrossHigh - acrossHigh, 0.15 * height) << "centred across the text";
}

// A turned, framed stamp printed through both modules: on the printed page, as in the engine's
// own drawing of the page, the frame the user-interface module draws around the text encloses
// it with the text in its middle, and the printed stamp keeps its kept picture.
TEST_F(PrintingTest, TurnedFramedStampEnclosesItsText) {
  constexpr double kScale = 0.25;
  constexpr double kAngle = 30;
  constexpr COLORREF kColour = RGB(0xD0, 0x40, 0x40);
  AddPrinter();  // the printer's own device mode has the model's defaults, no stamp
  const WCHAR* name = u"Confidential";
  const WCHAR* text = u"CONFIDENTIAL";
  ASSERT_EQ(SetItemValue(kItemStampName, settings_, config_, kTypeString, 26, &name), kItemDone);
  ASSERT_EQ(SetItemValue(kItemStampText, settings_, config_, kTypeString, 26, &text), kItemDone);
  Set(kItemStampColor, kTypeUInt32, kColour);
  Set(kItemStampFrame, kTypeUInt8, 1);             // in a box
  Set(kItemStampPosition, kTypeUInt16, 0x202);     // centred
  Set(kItemStampFontSize, kTypeFontField, 40);     // 40 points
  Set(kItemStampFontWeight, kTypeFontField, 700);  // bold
  Set(kItemStampEscapement, kTypeFontField, LONG(kAngle * 10));
  HDC dc = CreatePrinterDc();
  ASSERT_NE(dc, nullptr);
  EngineDc* engine = SimPrinterDcEngine(dc);
  DOCINFOW info{sizeof(DOCINFOW), u"Stamped", nullptr, nullptr, 0};
  ASSERT_GT(StartDocW(dc, &info), 0);
  ASSERT_GT(StartPage(dc), 0);
  // The application's page: its title (so that the stamp's text is not the page's first) and a
  // rule, in colours of their own.
  SetTextColor(dc, RGB(0x20, 0x20, 0x80));
  TextOutW(dc, 300, 300, u"Quarterly report", 16);
  MoveToEx(dc, 300, 500, nullptr);
  LineTo(dc, 3000, 500);
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);
  const GDIINFO gdi = *EngineDcGdiInfo(engine);
  const SIZEL surface = EngineDcSurface(engine)->sizlBitmap;
  const std::vector<DrawCall> drawn = EngineDcPage(engine, 0);
  ASSERT_TRUE(DeleteDC(dc));
  SpoolRenderOptions options;
  options.scale = kScale;
  const std::vector<ReferenceImage> printed =
      RenderSpoolPages(ScanSpoolStream(SimReadSpoolJob(SimListSpoolJobs().back().id)), options);
  ASSERT_EQ(printed.size(), 1u);
  const ReferenceImage expected = RenderReferencePage(drawn, surface, kScale);
  // The frame's line: 7 % of the 40-point bold text's pixel height, at the picture's scale.
  const double line = MulDiv(40, gdi.ulLogPixelsX, 72) * 0.07 * kScale + 2;
  ExpectFrameEnclosesText(FindStampInk(printed[0], kColour, kAngle), line, "the printed page");
  ExpectFrameEnclosesText(FindStampInk(expected, kColour, kAngle), line, "the engine's drawing");

  // The stamp's part of the printed page, kept; rewrite it after an intended change with
  //   QV_UPDATE_FIXTURES=1 build/rel/tests/test_ui_printing --gtest_filter='*TurnedFramedStamp*'
  const StampInk ink = FindStampInk(printed[0], kColour, 0);
  ReferenceImage stamp;
  const LONG left = std::max<LONG>(0, LONG(ink.alongLow) - 8), top = std::max<LONG>(0, LONG(ink.acrossLow) - 8);
  stamp.width = std::min<LONG>(printed[0].width, LONG(ink.alongHigh) + 9) - left;
  stamp.height = std::min<LONG>(printed[0].height, LONG(ink.acrossHigh) + 9) - top;
  for (LONG y = 0; y < stamp.height; ++y)
    for (LONG x = 0; x < stamp.width; ++x)
      stamp.pixels.push_back(printed[0].pixels[static_cast<size_t>((top + y) * printed[0].width + left + x)]);
  const std::string fixture = std::string(QV_SOURCE_DIR) + "/tests/ui/module/data/turned_framed_stamp.png";
  if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(SaveReferencePng(stamp, fixture));
  }
  ReferenceImage kept;
  ASSERT_TRUE(LoadReferencePng(fixture, kept)) << fixture;
  const double difference = CompareReferenceImages(stamp, kept, 48);
  EXPECT_LT(difference, 0.01);
  if (difference >= 0.01) SaveReferencePng(stamp, "turned-framed-stamp-printed.png");
}

// The export called directly as GDI calls it.
class DocumentEventExportTest : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    AddPrinter();
    module_ = LoadLibraryW(u"qorvexui.dll");
    ASSERT_NE(module_, nullptr);
    event_ = reinterpret_cast<DrvDocumentEventProc>(GetProcAddress(module_, "DrvDocumentEvent"));
    ASSERT_NE(event_, nullptr);
    ASSERT_TRUE(OpenPrinterW(kPrinter, &printer_, nullptr));
  }
  void TearDown() override {
    if (printer_ != nullptr) ClosePrinter(printer_);
    if (module_ != nullptr) FreeLibrary(module_);
    PrintingTest::TearDown();
  }
  HMODULE module_ = nullptr;
  DrvDocumentEventProc event_ = nullptr;
  HANDLE printer_ = nullptr;
};

TEST_F(DocumentEventExportTest, EventsWithoutWhatTheyNeedAnswerAsTheyShould) {
  EXPECT_EQ(event_(nullptr, nullptr, DOCUMENTEVENT_STARTPAGE, 0, nullptr, 0, nullptr), -1);
  EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_ESCAPE, 0, nullptr, 0, nullptr), 0);
  EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_ENDPAGE, 0, nullptr, 0, nullptr), -1);
  EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_ENDDOCPRE, 0, nullptr, 0, nullptr), -1);
  EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_STARTDOCPOST, 0, nullptr, 0, nullptr), -1);
  // No record: nothing to delete, still done.
  EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_DELETEDC, 0, nullptr, 0, nullptr), 1);
}

// The devmode handed out at CREATEDCPRE: the record alone, or with item 387 the paper's margins
// appended (46 on every side when none are stored) and dmDriverExtra raised by 10.
TEST_F(DocumentEventExportTest, CreateDcHandsOutTheDevModeWithOrWithoutMargins) {
  const struct {
    DWORD appendMargins;
    size_t size;
  } cases[] = {{0, 1548}, {1, 1558}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.appendMargins);
    Set(kItemPerPaperMargins, kTypeUInt8, c.appendMargins);
    std::vector<BYTE> mode = DevMode();
    DOCEVENT_CREATEDCPRE pre{nullptr, const_cast<LPWSTR>(kPrinter), reinterpret_cast<DEVMODEW*>(mode.data()), FALSE};
    DEVMODEW* handed = nullptr;
    ASSERT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_CREATEDCPRE, sizeof pre, &pre, sizeof handed, &handed), 1);
    ASSERT_NE(handed, nullptr);
    EXPECT_EQ(GlobalSize(handed), c.size);
    const auto* bytes = reinterpret_cast<const BYTE*>(handed);
    const WORD extra = handed->dmDriverExtra;
    if (c.appendMargins != 0) {
      EXPECT_EQ(extra, 1338);
      WORD tail[5];
      std::memcpy(tail, bytes + 1548, sizeof tail);
      EXPECT_EQ(tail[0], static_cast<WORD>(Number(kItemPaperSize)));
      for (int i = 1; i < 5; ++i) EXPECT_EQ(tail[i], 46);
    } else {
      EXPECT_EQ(extra, 1328);
    }
    EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_CREATEDCPOST, sizeof handed, &handed, 0, nullptr), 1);
    EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_DELETEDC, 0, nullptr, 0, nullptr), 1);
  }
}


// The margins of the job's paper: with per-user margins on, the user's own for the paper, else
// the printer's table, else the defaults; without them, the table, else the defaults. Both
// ends see the same: the device mode handed out at device-context creation (with the margins
// appended) and the margins sent to the graphics module at each page's start.
TEST_F(DocumentEventExportTest, JobMarginsComeFromTheUserThenThePrintersTableThenTheDefaults) {
  WORD paperId = 0;
  ASSERT_EQ(MapFormToPaperId(printer_, Number(kItemPaperSize), &paperId), 1);
  LPWSTR base = ReadSectionStringOrNull(store_->main, DDD_SECTION_DRIVER_BASE, 0);
  ASSERT_NE(base, nullptr);
  // The table and the user's values are stored as the sheets store them, with full access.
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE admin = nullptr;
  ASSERT_TRUE(OpenPrinterW(kPrinter, &admin, &access));
  const PaperMargins table{{10, 20, 30, 40}}, user{{50, 60, 70, 80}};
  // The order the job gets them in: third, fourth, first, second.
  const std::vector<WORD> fromTable{30, 40, 10, 20}, fromUser{70, 80, 50, 60}, defaults{46, 46, 46, 46};
  const struct Case {
    const char* what;
    DWORD perUser;
    bool storeTable;
    bool storeUser;
    std::vector<WORD> margins;
  } cases[] = {
      {"nothing stored", 1, false, false, defaults},
      {"the printer's table", 0, true, false, fromTable},
      {"per user, but the user has none for the paper", 1, false, false, fromTable},
      {"per user, the user's own", 1, false, true, fromUser},
      {"the user's own are not used when per-user margins are off", 0, false, false, fromTable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.storeTable) {
      PaperMarginTable* stored = LoadPaperMarginTable(admin);
      ASSERT_NE(stored, nullptr);
      ASSERT_EQ(SetPaperMargin(stored, paperId, &table), kMarginDone);
      EXPECT_EQ(StorePaperMarginTable(admin, stored), kMarginDone);
      FreePaperMarginTable(stored);
    }
    if (c.storeUser) {
      EXPECT_EQ(WriteUserPaperMargin(admin, base, paperId, &user), kMarginDone);
    }
    Set(kItemPerPaperMargins, kTypeUInt8, 1);  // the margins go into the device context's device mode
    Set(kItemPerUserMargins, kTypeUInt8, c.perUser);
    std::vector<BYTE> mode = DevMode();
    DOCEVENT_CREATEDCPRE pre{nullptr, const_cast<LPWSTR>(kPrinter), reinterpret_cast<DEVMODEW*>(mode.data()), FALSE};
    DEVMODEW* handed = nullptr;
    ASSERT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_CREATEDCPRE, sizeof pre, &pre, sizeof handed, &handed), 1);
    ASSERT_NE(handed, nullptr);
    ASSERT_EQ(GlobalSize(handed), 1558u);
    std::vector<WORD> appended(4);
    std::memcpy(appended.data(), reinterpret_cast<const BYTE*>(handed) + 1550, 8);
    EXPECT_EQ(appended, c.margins) << "at device-context creation";
    EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_CREATEDCPOST, sizeof handed, &handed, 0, nullptr), 1);
    EXPECT_EQ(event_(printer_, nullptr, DOCUMENTEVENT_DELETEDC, 0, nullptr, 0, nullptr), 1);

    const size_t earlier = SimPrinterEscapes().size();
    HDC dc = CreatePrinterDc();
    ASSERT_NE(dc, nullptr);
    PrintDocument(dc, 1);
    ASSERT_TRUE(DeleteDC(dc));
    const std::vector<SimPrinterEscape> escapes = SimPrinterEscapes();
    std::vector<BYTE> sent;
    for (size_t i = earlier; i < escapes.size(); ++i)
      if (escapes[i].escape == kSetMargins) sent = escapes[i].input;
    ASSERT_EQ(sent.size(), 10u);
    std::vector<WORD> payload(5);
    std::memcpy(payload.data(), sent.data(), 10);
    EXPECT_EQ(payload[0], paperId);
    EXPECT_EQ(std::vector<WORD>(payload.begin() + 1, payload.end()), c.margins) << "at the page's start";
  }
  ClosePrinter(admin);
  GlobalFree(base);
}

}  // namespace

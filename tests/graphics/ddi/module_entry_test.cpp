// qorvexgr.dll as the engine loads it: its exported entry points and function table, printer
// DCs created and deleted through the table on the sample model, the device described in
// GDIINFO and DEVINFO, and every failure of a DC's creation leaving nothing behind.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "items/item_ids.h"
#include "platform/engine/ddi_functions.h"
#include "tests/graphics/ddi/module_fixture.h"

namespace {

// The table rows in the order the engine receives them.
constexpr ULONG kTableOrder[] = {0, 7, 1, 2, 3, 4, 18, 20, 19, 23, 26, 27, 28, 53, 32, 14, 15, 16, 12, 33, 35, 24, 34, 37, 69};

// The module loaded as data of the test itself (not through the host), for the exports.
class ModuleExports : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    module_ = LoadLibraryW(u"qorvexgr.dll");
    ASSERT_NE(module_, nullptr);
    enable_ = reinterpret_cast<PFN_DrvEnableDriver>(GetProcAddress(module_, "DrvEnableDriver"));
    disable_ = reinterpret_cast<PFN_DrvDisableDriver>(GetProcAddress(module_, "DrvDisableDriver"));
    query_ = reinterpret_cast<PFN_DrvQueryDriverInfo>(GetProcAddress(module_, "DrvQueryDriverInfo"));
    ASSERT_TRUE(enable_ && disable_ && query_);
  }
  void TearDown() override {
    FreeLibrary(module_);
    SandboxTest::TearDown();
  }
  HMODULE module_ = nullptr;
  PFN_DrvEnableDriver enable_ = nullptr;
  PFN_DrvDisableDriver disable_ = nullptr;
  PFN_DrvQueryDriverInfo query_ = nullptr;
};

TEST_F(ModuleExports, EnableDriverAnswersTheTableInOrder) {
  DRVENABLEDATA data{};
  const int outstanding = SimEngineOutstanding();
  ASSERT_TRUE(enable_(DDI_DRIVER_VERSION_NT4, sizeof data, &data));
  EXPECT_EQ(data.iDriverVersion, static_cast<ULONG>(DDI_DRIVER_VERSION_NT4));
  ASSERT_EQ(data.c, std::size(kTableOrder));
  for (size_t row = 0; row < std::size(kTableOrder); ++row) {
    EXPECT_EQ(data.pdrvfn[row].iFunc, kTableOrder[row]) << "row " << row + 1;
    EXPECT_NE(data.pdrvfn[row].pfn, nullptr) << "row " << row + 1;
  }
  // The default glyph set is the one engine allocation the driver keeps until it is disabled.
  EXPECT_EQ(SimEngineOutstanding(), outstanding + 1);
  disable_();
  EXPECT_EQ(SimEngineOutstanding(), outstanding);
}

TEST_F(ModuleExports, EnableDriverRefusesOldEnginesAndShortData) {
  struct Case {
    ULONG version;
    ULONG size;
  };
  for (const Case& c : {Case{0x1FFFF, 16}, Case{DDI_DRIVER_VERSION_NT4, 15}, Case{0, 0}}) {
    DRVENABLEDATA data{};
    SetLastError(0);
    EXPECT_FALSE(enable_(c.version, c.size, &data)) << std::hex << c.version << " " << c.size;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_DRIVER_LEVEL));
    EXPECT_EQ(data.c, 0u);
  }
  EXPECT_EQ(SimEngineOutstanding(), 0);
}

TEST_F(ModuleExports, QueryDriverInfoAnswersUserModeOnly) {
  DWORD value = 0, needed = 0;
  ASSERT_TRUE(query_(DRVQUERY_USERMODE, &value, sizeof value, &needed));
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(needed, 4u);
  needed = 0;
  SetLastError(0);
  EXPECT_FALSE(query_(DRVQUERY_USERMODE, &value, 3, &needed));
  EXPECT_EQ(needed, 4u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  SetLastError(0);
  EXPECT_FALSE(query_(2, &value, sizeof value, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(EngineModuleTest, HostFindsEveryTableFunction) {
  for (ULONG index : kTableOrder) EXPECT_NE(EngineDriverFunction(driver_, index), nullptr) << index;
  EXPECT_EQ(EngineDriverFunction(driver_, INDEX_DrvDestroyFont), nullptr);
}

TEST_F(EngineModuleTest, DcIsCreatedAndDeletedThroughTheTable) {
  SimEngineLogReset();
  const int heaps = SimLiveHeaps();
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SimLiveHeaps(), heaps + 1);  // the device's private heap
  SURFOBJ* surface = EngineDcSurface(dc);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->dhpdev, EngineDcDevice(dc));
  EXPECT_EQ(surface->iType, STYPE_DEVICE);
  // The page's imageable area in pixels at 600 dpi: A4 less 4.2 mm on every side.
  EXPECT_EQ(surface->sizlBitmap.cx, 4762);
  EXPECT_EQ(surface->sizlBitmap.cy, 6817);
  DeleteDc(dc);
  EXPECT_EQ(SimLiveHeaps(), heaps);
  const std::vector<std::string> calls = SimEngineCallNames(SimEngineCallKind::Ddi);
  EXPECT_EQ(calls, (std::vector<std::string>{"DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface",
                                             "DrvDisableSurface", "DrvDisablePDEV"}));
  bool associated = false;
  for (const SimEngineCall& call : SimEngineLog())
    if (call.name == "EngAssociateSurface") associated = call.args.find("0x24eb") != std::string::npos ||
                                                          call.args.find("0x24EB") != std::string::npos;
  EXPECT_TRUE(associated);
}

TEST_F(EngineModuleTest, TwoDcsShareTheDataModuleUntilTheLastIsDeleted) {
  EngineDc* first = CreateDc();
  EngineDc* second = CreateDc();
  ASSERT_TRUE(first && second);
  EXPECT_NE(GetModuleHandleW(u"qorvexdata.dll"), nullptr);
  DeleteDc(first);
  EXPECT_NE(GetModuleHandleW(u"qorvexdata.dll"), nullptr);
  DeleteDc(second);
  EXPECT_EQ(GetModuleHandleW(u"qorvexdata.dll"), nullptr);
}

// ---- The device described -----------------------------------------------------------------

struct DeviceCase {
  const char* name;
  std::function<void(EngineModuleTest&)> setup;
  // Expected GDIINFO fields.
  ULONG horzSize, vertSize, horzRes, vertRes, bitsPixel, numColors, logPixels, aspectXY;
  LONG denStyleStep;
  POINTL physOffset;
  SIZEL physSize;
  ULONG htPatternSize, htOutputFormat;
};

class DeviceDescription : public EngineModuleTest {
 public:
  using EngineModuleTest::Set;
  void SetFormName(const WCHAR* name) {
    LPCWSTR text = name;  // a text is handed by its address
    ASSERT_EQ(SetItemValue(kItemFormName, settings_, config_, kTypeString, (lstrlenW(name) + 1) * sizeof(WCHAR), &text),
              kItemDone);
  }
  // dmFields without the form name: the paper size fields decide.
  void UsePaperFields(DWORD fields) {
    Set(kItemFields, kTypeUInt32, (Number(kItemFields) & ~0x1000Eu & ~0x10000u) | fields);
  }
};

constexpr DWORD kDmPaperSize = 0x2, kDmPaperLength = 0x4, kDmPaperWidth = 0x8;

// A4 2100 x 2970 with 4.2 mm margins; Letter 2159 x 2794.
const DeviceCase kDeviceCases[] = {
    {"A4 colour 600 dpi",
     [](EngineModuleTest&) {},
     201,
     288,
     4762,
     6817,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {4960, 7015},
     7,
     HT_FORMAT_4BPP},
    {"A4 monochrome 600 dpi",
     [](EngineModuleTest& t) { static_cast<DeviceDescription&>(t).Set(kItemColor, kTypeInt16, 1); },
     201,
     288,
     4762,
     6817,
     1,
     2,
     600,
     848,
     24,
     {99, 99},
     {4960, 7015},
     7,
     HT_FORMAT_1BPP},
    {"colour device printing grey",
     [](EngineModuleTest& t) { static_cast<DeviceDescription&>(t).Set(kItemColorMode, kTypeUInt8, 1); },
     201,
     288,
     4762,
     6817,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {4960, 7015},
     7,
     HT_FORMAT_1BPP},
    {"A4 at 300 dpi",
     [](EngineModuleTest& t) { static_cast<DeviceDescription&>(t).Set(kItemResolution, kTypeInt16, 300); },
     201,
     288,
     2381,
     3408,
     24,
     16,
     300,
     424,
     12,
     {49, 49},
     {2480, 3507},
     5,
     HT_FORMAT_4BPP},
    {"A4 at 1200 dpi",
     [](EngineModuleTest& t) { static_cast<DeviceDescription&>(t).Set(kItemResolution, kTypeInt16, 1200); },
     201,
     288,
     9524,
     13634,
     24,
     16,
     1200,
     1696,
     48,
     {198, 198},
     {9921, 14031},
     11,
     HT_FORMAT_4BPP},
    {"a negative quality level prints at 600 dpi",
     [](EngineModuleTest& t) {
       static_cast<DeviceDescription&>(t).Set(kItemResolution, kTypeInt16, static_cast<DWORD>(-4));
     },
     201,
     288,
     4762,
     6817,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {4960, 7015},
     7,
     HT_FORMAT_4BPP},
    {"scale 50 %",
     [](EngineModuleTest& t) { static_cast<DeviceDescription&>(t).Set(kItemScale, kTypeInt16, 50); },
     403,
     577,
     4762,
     6817,
     24,
     16,
     300,
     848,
     24,
     {99, 99},
     {4960, 7015},
     7,
     HT_FORMAT_4BPP},
    {"A4 landscape",
     [](EngineModuleTest& t) { static_cast<DeviceDescription&>(t).Set(kItemOrientation, kTypeInt16, 2); },
     288,
     201,
     6817,
     4762,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {7015, 4960},
     7,
     HT_FORMAT_4BPP},
    {"Letter by form name",
     [](EngineModuleTest& t) { static_cast<DeviceDescription&>(t).SetFormName(u"Letter"); },
     207,
     271,
     4901,
     6401,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {5100, 6600},
     7,
     HT_FORMAT_4BPP},
    {"Letter by paper number",
     [](EngineModuleTest& t) {
       auto& d = static_cast<DeviceDescription&>(t);
       d.UsePaperFields(kDmPaperSize);
       d.Set(kItemPaperSize, kTypeInt16, 1);
     },
     207,
     271,
     4901,
     6401,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {5100, 6600},
     7,
     HT_FORMAT_4BPP},
    {"an unknown form falls back to the paper number",
     [](EngineModuleTest& t) {
       auto& d = static_cast<DeviceDescription&>(t);
       d.SetFormName(u"No Such Form");
       d.Set(kItemPaperSize, kTypeInt16, 1);
     },
     207,
     271,
     4901,
     6401,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {5100, 6600},
     7,
     HT_FORMAT_4BPP},
    {"custom 2101 x 2971 is the database's A4",
     [](EngineModuleTest& t) {
       auto& d = static_cast<DeviceDescription&>(t);
       d.UsePaperFields(kDmPaperLength | kDmPaperWidth);
       d.Set(kItemPaperWidth, kTypeInt16, 2101);
       d.Set(kItemPaperLength, kTypeInt16, 2971);
     },
     201,
     288,
     4762,
     6817,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {4960, 7015},
     7,
     HT_FORMAT_4BPP},
    {"custom 1500 x 2000 takes the custom paper's margins, centred",
     [](EngineModuleTest& t) {
       auto& d = static_cast<DeviceDescription&>(t);
       d.UsePaperFields(kDmPaperLength | kDmPaperWidth);
       d.Set(kItemPaperWidth, kTypeInt16, 1500);
       d.Set(kItemPaperLength, kTypeInt16, 2000);
     },
     // The right and bottom margins grow to the model's alignment of 4 tenths (1500 % 4 = 0,
     // 2000 % 4 = 0): 4.2 mm everywhere.
     141,
     191,
     3344,
     4525,
     24,
     16,
     600,
     848,
     24,
     {99, 99},
     {3543, 4724},
     7,
     HT_FORMAT_4BPP},
    {"borderless A4",
     [](EngineModuleTest& t) { static_cast<DeviceDescription&>(t).Set(kItemWholePaper, kTypeUInt8, 1); },
     210,
     297,
     4960,
     7015,
     24,
     16,
     600,
     848,
     24,
     {0, 0},
     {4960, 7015},
     7,
     HT_FORMAT_4BPP},
};

TEST_F(DeviceDescription, GdiInfoForEachCase) {
  for (const DeviceCase& c : kDeviceCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, kPrinter));
    c.setup(*this);
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    const GDIINFO& g = *EngineDcGdiInfo(dc);
    EXPECT_EQ(g.ulVersion, 0x400u);
    EXPECT_EQ(g.ulTechnology, static_cast<ULONG>(DT_RASPRINTER));
    EXPECT_EQ(g.ulHorzSize, c.horzSize);
    EXPECT_EQ(g.ulVertSize, c.vertSize);
    EXPECT_EQ(g.ulHorzRes, c.horzRes);
    EXPECT_EQ(g.ulVertRes, c.vertRes);
    EXPECT_EQ(g.cBitsPixel, c.bitsPixel);
    EXPECT_EQ(g.cPlanes, 1u);
    EXPECT_EQ(g.ulNumColors, c.numColors);
    EXPECT_EQ(g.ulLogPixelsX, c.logPixels);
    EXPECT_EQ(g.ulLogPixelsY, c.logPixels);
    EXPECT_EQ(g.flTextCaps, 0x19F7u);
    EXPECT_EQ(g.ulAspectXY, c.aspectXY);
    EXPECT_EQ(g.denStyleStep, c.denStyleStep);
    EXPECT_EQ(g.xStyleStep, 1);
    EXPECT_EQ(g.ptlPhysOffset.x, c.physOffset.x);
    EXPECT_EQ(g.ptlPhysOffset.y, c.physOffset.y);
    EXPECT_EQ(g.szlPhysSize.cx, c.physSize.cx);
    EXPECT_EQ(g.szlPhysSize.cy, c.physSize.cy);
    EXPECT_EQ(g.ulHTPatternSize, c.htPatternSize);
    EXPECT_EQ(g.ulHTOutputFormat, c.htOutputFormat);
    EXPECT_EQ(g.flHTFlags, static_cast<ULONG>(HT_FLAG_HAS_BLACK_DYE));
    EXPECT_EQ(g.ciDevice.Red.x, 6380);
    EXPECT_EQ(g.ciDevice.AlignmentWhite.y, 3290);
    EXPECT_EQ(g.ciDevice.BlueGamma, 12500);
    EXPECT_EQ(g.ciDevice.MagentaInCyanDye, 585);
    EXPECT_EQ(g.ciDevice.YellowInCyanDye, 120);
    EXPECT_EQ(g.ciDevice.MagentaInYellowDye, 10000);
    DeleteDc(dc);
  }
}

TEST_F(DeviceDescription, DevInfoNamesTheDefaultFontsAndPalette) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  const DEVINFO& d = *EngineDcDevInfo(dc);
  EXPECT_EQ(d.flGraphicsCaps, 0x211Fu);
  EXPECT_EQ(d.lfDefaultFont.lfHeight, -83);  // 10 points at 600 dpi
  EXPECT_EQ(d.lfDefaultFont.lfCharSet, 1);
  EXPECT_EQ(d.lfDefaultFont.lfFaceName[0], 0);
  EXPECT_EQ(Utf16ToUtf8(d.lfAnsiVarFont.lfFaceName), "Helvetica");
  EXPECT_EQ(d.lfAnsiVarFont.lfPitchAndFamily, 0x22);
  EXPECT_EQ(d.lfAnsiVarFont.lfCharSet, 0);
  EXPECT_EQ(Utf16ToUtf8(d.lfAnsiFixFont.lfFaceName), "Courier");
  EXPECT_EQ(d.lfAnsiFixFont.lfPitchAndFamily, 0x31);
  EXPECT_EQ(d.lfAnsiFixFont.lfHeight, -83);
  EXPECT_EQ(d.cFonts, 0u);
  EXPECT_EQ(d.iDitherFormat, static_cast<ULONG>(BMF_24BPP));
  EXPECT_NE(d.hpalDefault, nullptr);
}

TEST_F(DeviceDescription, MarginBlockOfTheDeviceModeIsApplied) {
  Set(kItemPerPaperMargins, kTypeUInt8, 1);
  // Paper 9 (A4): left 10 mm, right 20 mm, top 30 mm, bottom 40 mm.
  const WORD block[5] = {9, 100, 200, 300, 400};
  std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(block), reinterpret_cast<const BYTE*>(block) + 10);
  EngineDc* dc = CreateDc(DevMode(bytes));
  ASSERT_NE(dc, nullptr);
  const GDIINFO& g = *EngineDcGdiInfo(dc);
  EXPECT_EQ(g.ptlPhysOffset.x, 100 * 600 / 254);
  EXPECT_EQ(g.ptlPhysOffset.y, 300 * 600 / 254);
  EXPECT_EQ(g.ulHorzRes, static_cast<ULONG>((2100 - 300) * 600 / 254));
  EXPECT_EQ(g.ulVertRes, static_cast<ULONG>((2970 - 700) * 600 / 254));
}

TEST_F(DeviceDescription, MarginBlockThatLeavesNoPageIsIgnored) {
  Set(kItemPerPaperMargins, kTypeUInt8, 1);
  const WORD block[5] = {9, 1500, 1500, 100, 100};
  std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(block), reinterpret_cast<const BYTE*>(block) + 10);
  EngineDc* dc = CreateDc(DevMode(bytes));
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(EngineDcGdiInfo(dc)->ulHorzRes, 4762u);
}

// ---- Failures -------------------------------------------------------------------------------

TEST_F(EngineModuleTest, UnreadableDeviceModesFailTheDc) {
  struct Case {
    const char* name;
    std::function<void(std::vector<BYTE>&)> spoil;
  };
  const Case cases[] = {
      {"public part of another size", [](std::vector<BYTE>& b) { reinterpret_cast<DEVMODEW*>(b.data())->dmSize = 156; }},
      {"no private part", [](std::vector<BYTE>& b) {
         reinterpret_cast<DEVMODEW*>(b.data())->dmDriverExtra = 0;
         b.resize(sizeof(DEVMODEW));
       }},
      {"private part too short", [](std::vector<BYTE>& b) {
         reinterpret_cast<DEVMODEW*>(b.data())->dmDriverExtra = 1000;
         b.resize(sizeof(DEVMODEW) + 1000);
       }},
      {"another driver's private part", [](std::vector<BYTE>& b) { std::memset(b.data() + sizeof(DEVMODEW), 0x5A, 64); }},
  };
  const int heaps = SimLiveHeaps();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<BYTE> bytes = DevMode();
    c.spoil(bytes);
    EXPECT_EQ(CreateDc(bytes), nullptr);
    EXPECT_EQ(SimLiveHeaps(), heaps);
    EXPECT_EQ(GetModuleHandleW(u"qorvexdata.dll"), nullptr);
  }
}

TEST_F(EngineModuleTest, MissingDatabaseFailsTheDc) {
  SimPrinterSetup setup;
  setup.name = u"Bare";
  setup.dataFile = u"MISSING.DDD";
  ASSERT_TRUE(SimAddPrinter(setup));
  std::vector<BYTE> bytes = DevMode();
  EXPECT_EQ(EngineCreateDC(driver_, u"Bare", reinterpret_cast<DEVMODEW*>(bytes.data())), nullptr);
  EXPECT_EQ(GetModuleHandleW(u"qorvexdata.dll"), nullptr);
}

TEST_F(EngineModuleTest, MissingDataModuleFailsTheDc) {
  const int heaps = SimLiveHeaps();
  SimModuleFailLoad(u"qorvexdata.dll", ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(CreateDc(), nullptr);
  EXPECT_EQ(SimLiveHeaps(), heaps);
}

TEST_F(EngineModuleTest, FailedAllocationAtEveryStepLeavesNothing) {
  const int heaps = SimLiveHeaps();
  const int outstanding = SimEngineOutstanding();
  const int globals = SimLiveGlobalBlocks();
  // Every allocation of the first steps (heap, record, data module, database streams), then
  // every 23rd through the database, configuration and settings reads that follow.
  int step = 1;
  for (;; step += step < 60 ? 1 : 23) {
    SCOPED_TRACE(step);
    std::vector<BYTE> bytes = DevMode();
    SimFailNthAllocation(step);
    EngineDc* dc = EngineCreateDC(driver_, kPrinter, reinterpret_cast<DEVMODEW*>(bytes.data()));
    const bool failed = !SimAllocationFailurePending();
    SimFailNthAllocation(0);
    if (dc != nullptr) {
      EXPECT_TRUE(EngineDeleteDC(dc));
      if (!failed) break;
      continue;
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(SimLiveHeaps(), heaps);
    EXPECT_EQ(SimEngineOutstanding(), outstanding);
    EXPECT_EQ(SimLiveGlobalBlocks(), globals);
    EXPECT_EQ(GetModuleHandleW(u"qorvexdata.dll"), nullptr);
  }
  EXPECT_GT(step, 10);
}

// ---- Trace ----------------------------------------------------------------------------------

TEST_F(EngineModuleTest, TraceSwitchWrittenAfterLoadingTakesEffectAtTheNextDc) {
  std::ofstream(std::filesystem::path(Host(SimDriverDirectory())) / "qorvex.cfg") << "[DEFAULT]\r\nLog=0x80000003\r\n";
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  DeleteDc(dc);
  std::vector<std::string> lines;
  for (const std::u16string& line : SimDebugOutput()) lines.push_back(Utf16ToUtf8(line));
  auto has = [&](const std::string& prefix) {
    for (const std::string& line : lines)
      if (line.rfind(prefix, 0) == 0) return true;
    return false;
  };
  EXPECT_TRUE(has("IN <<DrvEnablePDEV"));
  EXPECT_TRUE(has("OUT>>DrvEnablePDEV RetValue = 0x"));
  EXPECT_TRUE(has("OUT>>DrvCompletePDEV"));
  EXPECT_TRUE(has("OUT>>DrvEnableSurface RetValue = 0x"));
  EXPECT_TRUE(has("OUT>>DrvDisableSurface"));
  EXPECT_TRUE(has("OUT>>DrvDisablePDEV"));
}

// ---- Documents ------------------------------------------------------------------------------

// A document without pages starts and ends: its job never begins, so no job header reaches the
// spool job.
TEST_F(EngineModuleTest, DocumentWithoutPagesStartsAndEnds) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(EngineStartDoc(dc, u"Report"));
  EXPECT_TRUE(EngineEndDoc(dc));
  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 1u);
  const std::vector<BYTE> bytes = SimReadSpoolJob(jobs[0].id);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("@PJL"), std::string::npos);
}

}  // namespace

// The engine host driving the test graphics driver: load and enable, device contexts,
// documents and pages in the platform's order, every kind of drawing call with its objects,
// ResetDC, the driver's misuse of objects refused, and nothing left when all is done.
#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/platform/engine/sample_page.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr const char16_t* kPrinter = u"Engine Test Printer";
constexpr ULONG kEscapeMisuse = 0x7100;

DEVMODEW DevMode(SHORT orientation) {
  DEVMODEW dm{};
  dm.dmSize = sizeof dm;
  dm.dmFields = 0x1 | 0x400;  // orientation and print quality
  dm.dmOrientation = orientation;
  dm.dmPrintQuality = 100;
  return dm;
}

bool IsDrawing(const std::string& name) {
  static const char* const kDrawing[] = {"DrvBitBlt",      "DrvCopyBits",     "DrvStretchBlt",   "DrvStretchBltROP",
                                         "DrvStrokePath",  "DrvFillPath",     "DrvStrokeAndFillPath", "DrvTextOut",
                                         "DrvRealizeBrush", "DrvGetGlyphMode", "DrvDestroyFont",  "DrvEscape"};
  return std::any_of(std::begin(kDrawing), std::end(kDrawing), [&](const char* d) { return name == d; });
}

class EngineHostTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
  }

  std::string SpoolText(DWORD job) {
    std::vector<BYTE> bytes = SimReadSpoolJob(job);
    return std::string(bytes.begin(), bytes.end());
  }

  int Refusals(const std::string& name) {
    int n = 0;
    for (const SimEngineCall& call : SimEngineLog())
      if (call.name == name && call.result.rfind("refused", 0) == 0) ++n;
    return n;
  }
};

TEST_F(EngineHostTest, DrivesATwoPageDocumentWithResetInThePlatformsOrder) {
  EngineDriver* driver = EngineLoadDriver(u"qvtestgr.dll");
  ASSERT_NE(driver, nullptr);
  DEVMODEW portrait = DevMode(1), landscape = DevMode(2);
  EngineDc* dc = EngineCreateDC(driver, kPrinter, &portrait);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(EngineDcGdiInfo(dc)->ulHorzRes, 826u);
  ASSERT_TRUE(EngineStartDoc(dc, u"Two pages"));
  const DWORD job = EngineDcJobId(dc);
  ASSERT_NE(job, 0u);
  const std::vector<DrawCall> page = SamplePage();
  ASSERT_TRUE(EngineStartPage(dc));
  for (const DrawCall& call : page) EXPECT_EQ(EngineDraw(dc, call), TRUE);
  ASSERT_TRUE(EngineEndPage(dc));
  ASSERT_TRUE(EngineResetDC(dc, &landscape));
  EXPECT_EQ(EngineDcSurface(dc)->sizlBitmap.cx, 1169);
  ASSERT_TRUE(EngineStartPage(dc));
  for (const DrawCall& call : page) EXPECT_EQ(EngineDraw(dc, call), TRUE);
  ASSERT_TRUE(EngineEndPage(dc));
  ASSERT_TRUE(EngineEndDoc(dc));
  EXPECT_EQ(EngineDcPageCount(dc), 2u);
  ASSERT_TRUE(EngineDeleteDC(dc));
  ASSERT_TRUE(EngineUnloadDriver(driver));

  std::vector<std::string> order;
  for (const std::string& name : SimEngineCallNames(SimEngineCallKind::Ddi))
    if (!IsDrawing(name)) order.push_back(name);
  const std::vector<std::string> expected = {
      "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface", "DrvStartDoc", "DrvStartPage",
      "DrvSendPage", "DrvEnablePDEV", "DrvCompletePDEV", "DrvResetPDEV", "DrvEnableSurface", "DrvDisableSurface",
      "DrvDisablePDEV", "DrvStartDoc", "DrvStartPage", "DrvSendPage", "DrvEndDoc", "DrvDisableSurface",
      "DrvDisablePDEV", "DrvDisableDriver"};
  EXPECT_EQ(order, expected);

  // Every drawing call of a page reaches the driver between its start and its end.
  std::vector<std::string> firstPage;
  bool inPage = false;
  for (const std::string& name : SimEngineCallNames(SimEngineCallKind::Ddi)) {
    if (name == "DrvSendPage") break;
    if (inPage && name != "DrvRealizeBrush" && name != "DrvGetGlyphMode") firstPage.push_back(name);
    if (name == "DrvStartPage") inPage = true;
  }
  EXPECT_EQ(firstPage, (std::vector<std::string>{"DrvStrokePath", "DrvStrokePath", "DrvStrokePath",
                                                  "DrvStrokeAndFillPath", "DrvFillPath", "DrvFillPath",
                                                  "DrvStrokeAndFillPath", "DrvTextOut", "DrvTextOut", "DrvCopyBits",
                                                  "DrvStretchBlt", "DrvStretchBltROP", "DrvBitBlt"}));

  // What the driver read through the engine's callbacks.
  const std::string text = SpoolText(job);
  for (const char* line :
       {"StartDoc job=", "StrokePath batches=1 points=9 curves=8 beziers=0 ellipse=0 closed=0",
        "StrokePath batches=1 points=4 curves=1 beziers=1", "FillPath batches=1 points=4 curves=3 beziers=0 ellipse=0 closed=1 bounds=60,330,440,520 clip=3",
        "FillPath batches=1 points=13 curves=4 beziers=1 ellipse=1 closed=1", "outline=1", "fill=realised",
        "clip=1 rects=1", "RealizeBrush hatch=5 size=8x8", "RealizeBrush hatch=6 size=8x8 first=0xFFFFFF",
        "TextOut face=DejaVu Sans em=72 glyphs=6 batches=1 enumerated=0", "em=20 glyphs=44 batches=3 enumerated=1",
        "CopyBits format=5 size=160x120 delta=480", "StretchBlt mode=3", "StretchBltROP rop4=0x8888",
        "BitBlt rop4=0xF0F0 source=no brush=realised", "ResetPDEV size=1169x826", "StartDoc continued job=",
        "EndDoc flags=0"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  EXPECT_EQ(text.find("outlinePoints=0"), std::string::npos) << text;
  EXPECT_EQ(SimEngineOutstanding(), 0) << ::testing::PrintToString(SimEngineOutstandingList());
}

TEST_F(EngineHostTest, RealisesABrushOnceWhenTheDriverFirstAsks) {
  EngineDriver* driver = EngineLoadDriver(u"qvtestgr.dll");
  ASSERT_NE(driver, nullptr);
  EngineDc* dc = EngineCreateDC(driver, kPrinter, nullptr);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Brushes"));
  ASSERT_TRUE(EngineStartPage(dc));
  DrawCall fill;
  fill.kind = DrawKind::FillPath;
  fill.path = PathRectangle({10, 10, 100, 100});
  fill.brush.kind = BrushKind::Hatch;
  fill.brush.hatch = HS_HORIZONTAL;
  EXPECT_EQ(SimEngineCallNames(SimEngineCallKind::Ddi).back(), "DrvStartPage");
  EXPECT_EQ(EngineDraw(dc, fill), TRUE);
  EXPECT_EQ(EngineDraw(dc, fill), TRUE);
  const auto names = SimEngineCallNames(SimEngineCallKind::Ddi);
  EXPECT_EQ(std::count(names.begin(), names.end(), "DrvRealizeBrush"), 1);
  ASSERT_TRUE(EngineEndDoc(dc));
  ASSERT_TRUE(EngineDeleteDC(dc));
  ASSERT_TRUE(EngineUnloadDriver(driver));
}

TEST_F(EngineHostTest, RefusesTheDriversMisuseOfItsObjects) {
  EngineDriver* driver = EngineLoadDriver(u"qvtestgr.dll");
  ASSERT_NE(driver, nullptr);
  EngineDc* dc = EngineCreateDC(driver, kPrinter, nullptr);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Misuse"));
  const DWORD job = EngineDcJobId(dc);
  EXPECT_EQ(EngineEscape(dc, kEscapeMisuse, 0, nullptr, 0, nullptr), 1);
  ASSERT_TRUE(EngineStartPage(dc));
  const std::vector<DrawCall> page = SamplePage();
  EXPECT_EQ(EngineDraw(dc, page[4]), TRUE);  // a fill under the complex clip
  EXPECT_EQ(EngineDraw(dc, page[8]), TRUE);  // a line of text
  ASSERT_TRUE(EngineEndDoc(dc));
  const std::string text = SpoolText(job);
  EXPECT_NE(text.find("Misuse pastEnd=0 count=0 shortEnum=0 c=0 foreign=0 fcount=0 zeroBlock=0"), std::string::npos) << text;
  EXPECT_NE(text.find("Misuse glyphOutOfRange=0 twoGlyphs=0 pastEnd=0 count=0"), std::string::npos) << text;
  for (const char* name : {"PATHOBJ_bEnum", "CLIPOBJ_bEnum", "EngDeletePath", "EngFreeMem", "BRUSHOBJ_pvAllocRbrush",
                           "FONTOBJ_cGetGlyphs", "STROBJ_bEnum"})
    EXPECT_GE(Refusals(name), 1) << name;
  ASSERT_TRUE(EngineDeleteDC(dc));
  ASSERT_TRUE(EngineUnloadDriver(driver));
}

TEST_F(EngineHostTest, DrawsWhatTheDriverHandsBackIntoThePageBitmap) {
  EngineDriver* driver = EngineLoadDriver(u"qvtestgr.dll");
  ASSERT_NE(driver, nullptr);
  EngineDc* dc = EngineCreateDC(driver, kPrinter, nullptr);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Punts"));
  ASSERT_TRUE(EngineStartPage(dc));
  for (const DrawCall& call : SamplePage()) EngineDraw(dc, call);
  const std::string png = (root_ / "page.png").string();
  ASSERT_TRUE(EngineSavePageBitmap(dc, png));
  ReferenceImage image;
  ASSERT_TRUE(LoadReferencePng(png, image));
  auto at = [&](LONG x, LONG y) { return image.pixels[static_cast<size_t>(y) * image.width + x]; };
  EXPECT_EQ(at(80, 930), 0xFF0000u);   // the gradient's first pixel: red
  EXPECT_EQ(at(604, 681), 0x008C46u);  // on the cross hatch's vertical line
  EXPECT_EQ(at(603, 681), 0xFFFFFFu);  // beside it
  EXPECT_EQ(at(5, 5), 0xFFFFFFu);      // untouched paper
  // The large text's glyphs are inked in its colour.
  int inked = 0;
  for (LONG y = 770; y < 830; ++y)
    for (LONG x = 80; x < 330; ++x) inked += at(x, y) == 0x141478u;
  EXPECT_GT(inked, 1000);
  ASSERT_TRUE(EngineEndDoc(dc));
  ASSERT_TRUE(EngineDeleteDC(dc));
  ASSERT_TRUE(EngineUnloadDriver(driver));
}

TEST_F(EngineHostTest, RefusesAModuleThatIsNoGraphicsDriver) {
  EXPECT_EQ(EngineLoadDriver(u"qvtestmod.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(EngineLoadDriver(u"nosuchdriver.dll"), nullptr);
  EXPECT_EQ(SimModuleLoadCount(u"qvtestmod.dll"), SimModuleFreeCount(u"qvtestmod.dll"));
}

TEST_F(EngineHostTest, FailsTheContextWhenTheDriverCannotMakeItsSurface) {
  EngineDriver* driver = EngineLoadDriver(u"qvtestgr.dll");
  ASSERT_NE(driver, nullptr);
  SimFailCall("EngCreateDeviceSurface", 0);
  EXPECT_EQ(EngineCreateDC(driver, kPrinter, nullptr), nullptr);
  EXPECT_EQ(EngineCreateDC(driver, u"No Such Printer", nullptr), nullptr);
  const auto names = SimEngineCallNames(SimEngineCallKind::Ddi);
  EXPECT_EQ(names, (std::vector<std::string>{"DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface",
                                             "DrvDisableSurface", "DrvDisablePDEV"}));
  ASSERT_TRUE(EngineUnloadDriver(driver));
}

void SetSwitch(LPCWSTR name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\QvTestGr", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

TEST_F(EngineHostTest, RefusesATableItCannotTrust) {
  for (DWORD fault : {1u, 2u, 3u}) {
    SetSwitch(u"Table", fault);
    SimEngineLogReset();
    EXPECT_EQ(EngineLoadDriver(u"qvtestgr.dll"), nullptr) << fault;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_DRIVER_LEVEL));
    // The driver enabled itself: it is disabled again before it is unloaded.
    EXPECT_EQ(SimEngineCallNames(SimEngineCallKind::Ddi),
              (std::vector<std::string>{"DrvEnableDriver", "DrvEnableDriver", "DrvDisableDriver"}));
    EXPECT_EQ(SimModuleLoadCount(u"qvtestgr.dll"), SimModuleFreeCount(u"qvtestgr.dll"));
  }
}

TEST_F(EngineHostTest, CallsOnlyWhatTheSurfaceHooksAndResetsOnlyBetweenPages) {
  SetSwitch(u"Hooks", HOOK_BITBLT);
  EngineDriver* driver = EngineLoadDriver(u"qvtestgr.dll");
  ASSERT_NE(driver, nullptr);
  EngineDc* dc = EngineCreateDC(driver, kPrinter, nullptr);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Hooks"));
  ASSERT_TRUE(EngineStartPage(dc));
  const std::vector<DrawCall> page = SamplePage();
  EXPECT_EQ(EngineDraw(dc, page[0]), FALSE);     // a stroke: not hooked, not called
  EXPECT_EQ(EngineDraw(dc, page.back()), TRUE);  // the blt
  DEVMODEW landscape = DevMode(2);
  EXPECT_FALSE(EngineResetDC(dc, &landscape));
  ASSERT_TRUE(EngineEndDoc(dc));
  const auto names = SimEngineCallNames(SimEngineCallKind::Ddi);
  EXPECT_EQ(std::count(names.begin(), names.end(), "DrvStrokePath"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "DrvBitBlt"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "DrvResetPDEV"), 0);
  ASSERT_TRUE(EngineDeleteDC(dc));
  ASSERT_TRUE(EngineUnloadDriver(driver));
}

TEST_F(EngineHostTest, AbortsTheSpoolJobOfADocumentTheDriverRefuses) {
  SetSwitch(u"FailStartDoc", 1);
  EngineDriver* driver = EngineLoadDriver(u"qvtestgr.dll");
  ASSERT_NE(driver, nullptr);
  EngineDc* dc = EngineCreateDC(driver, kPrinter, nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(EngineStartDoc(dc, u"Refused"));
  EXPECT_FALSE(EngineStartPage(dc));
  const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].state, SimJobState::Aborted);
  const auto names = SimEngineCallNames(SimEngineCallKind::Ddi);
  EXPECT_EQ(names.back(), "DrvEndDoc");
  EXPECT_NE(SimEngineLog().back().args.find("ED_ABORTDOC"), std::string::npos);
  ASSERT_TRUE(EngineDeleteDC(dc));
  ASSERT_TRUE(EngineUnloadDriver(driver));
}

TEST_F(EngineHostTest, FindsAResourceOfALoadedResourceFile) {
  HMODULE file = LoadLibraryExW(u"qvtest.qrs", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(file, nullptr);
  ULONG size = 99;
  const BYTE* glyphs = static_cast<const BYTE*>(EngFindResource(file, 6, 260, &size));
  ASSERT_NE(glyphs, nullptr);
  EXPECT_EQ(size, std::filesystem::file_size(std::filesystem::path(QV_SOURCE_DIR) / "tests/platform/kernel/data/glyphs.bin"));
  EXPECT_EQ(EngFindResource(file, 7, 260, &size), nullptr);
  EXPECT_EQ(size, 0u);
  FreeLibrary(file);
}

TEST(EngineGlyphSet, MapsTheAnsiCodePageAndIsFreedByTheDriver) {
  FD_GLYPHSET* set = EngComputeGlyphSet(0, 0, 256);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->cGlyphsSupported, 256u);
  HGLYPH euro = 0, a = 0;
  for (ULONG r = 0; r < set->cRuns; ++r) {
    const WCRUN& run = set->awcrun[r];
    if (run.wcLow <= u'A' && u'A' < run.wcLow + run.cGlyphs) a = run.phg[u'A' - run.wcLow];
    if (run.wcLow <= 0x20AC && 0x20AC < run.wcLow + run.cGlyphs) euro = run.phg[0x20AC - run.wcLow];
  }
  EXPECT_EQ(a, 0x41u);
  EXPECT_EQ(euro, 0x80u);
  EXPECT_EQ(SimEngineOutstanding(), 1);
  EngFreeMem(set);
  EXPECT_EQ(SimEngineOutstanding(), 0);
  EXPECT_EQ(EngComputeGlyphSet(0, 200, 100), nullptr);
}

}  // namespace

// The property-sheet exports as the spooler, applications and the property-sheet component
// call them: the merge without a window, the device-path side file, the sheet's INIT under
// every allocation failure, and the device sheet's store.
#include <gtest/gtest.h>

#include "items/item_ids.h"
#include "tests/support/sheet_fixture.h"

namespace {

using sheet_test::OpenedBy;
using sheet_test::kDevModeSize;
using DocumentPropertiesProc = LONG (*)(HWND, HANDLE, LPWSTR, DEVMODEW*, DEVMODEW*, DWORD);
using AdvancedPropertiesProc = LONG (*)(HWND, HANDLE, LPWSTR, DEVMODEW*, DEVMODEW*);

class SheetHostingTest : public sheet_test::SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    printer_ = Open(kPrinter, PRINTER_ACCESS_USE);
    documentProperties_ = reinterpret_cast<DocumentPropertiesProc>(GetProcAddress(ui_, "DrvDocumentProperties"));
    advanced_ = reinterpret_cast<AdvancedPropertiesProc>(GetProcAddress(ui_, "DrvAdvancedDocumentProperties"));
    sheets_ = reinterpret_cast<PFNPROPSHEETUI>(GetProcAddress(ui_, "DrvDocumentPropertySheets"));
    deviceSheets_ = reinterpret_cast<PFNPROPSHEETUI>(GetProcAddress(ui_, "DrvDevicePropertySheets"));
    ASSERT_TRUE(documentProperties_ && advanced_ && sheets_ && deviceSheets_);
  }

  // An application's devmode: the printer's default with a side file named in it.
  std::vector<BYTE> ApplicationDevMode(const std::u16string& sideFile) {
    std::vector<BYTE> devMode = defaults_;
    SettingsRecord record{};
    std::memcpy(record.bytes, devMode.data(), devMode.size());
    LPCWSTR text = sideFile.c_str();
    EXPECT_EQ(SetItemValue(kItemSideFile, &record, nullptr, kTypeString, DWORD(sideFile.size() + 1) * 2, &text),
              kItemDone);
    std::memcpy(devMode.data(), record.bytes, devMode.size());
    return devMode;
  }

  HANDLE printer_ = nullptr;
  DocumentPropertiesProc documentProperties_ = nullptr;
  AdvancedPropertiesProc advanced_ = nullptr;
  PFNPROPSHEETUI sheets_ = nullptr;
  PFNPROPSHEETUI deviceSheets_ = nullptr;
};

TEST_F(SheetHostingTest, MergesWithoutAWindow) {
  std::vector<BYTE> out(kDevModeSize, 0xCD);
  auto* output = reinterpret_cast<DEVMODEW*>(out.data());
  LPWSTR name = const_cast<LPWSTR>(kPrinter);
  // No mode: the size, nothing written.
  EXPECT_EQ(documentProperties_(nullptr, printer_, name, output, nullptr, 0), LONG(kDevModeSize));
  EXPECT_EQ(out, std::vector<BYTE>(kDevModeSize, 0xCD));
  EXPECT_EQ(advanced_(nullptr, printer_, name, nullptr, nullptr), 1);
  // The printer's settings in full.
  EXPECT_EQ(documentProperties_(nullptr, printer_, name, output, nullptr, DM_COPY), IDOK);
  EXPECT_EQ(out, defaults_);
  // An application's devmode without a private part: only the public part comes back.
  std::vector<BYTE> in = defaults_;
  auto* input = reinterpret_cast<DEVMODEW*>(in.data());
  input->dmDriverExtra = 0;
  input->dmCopies = 4;
  out.assign(kDevModeSize, 0xCD);
  EXPECT_EQ(documentProperties_(nullptr, printer_, name, output, input, DM_COPY), IDOK);
  EXPECT_EQ(output->dmCopies, 4);
  EXPECT_EQ(output->dmDriverExtra, 0);
  EXPECT_EQ(std::vector<BYTE>(out.begin() + 220, out.end()), std::vector<BYTE>(kDevModeSize - 220, 0xCD));
}

TEST_F(SheetHostingTest, MergeRefusesAnOutputBufferTooSmall) {
  for (DWORD room : {DWORD(0), DWORD(220), kDevModeSize - 1}) {
    SCOPED_TRACE(room);
    std::vector<BYTE> out(kDevModeSize, 0xCD);
    DOCUMENTPROPERTYHEADER header{sizeof header, 0, printer_, const_cast<LPWSTR>(kPrinter), nullptr,
                                  reinterpret_cast<DEVMODEW*>(out.data()), room, DM_COPY};
    EXPECT_EQ(sheets_(nullptr, reinterpret_cast<LPARAM>(&header)), -1);
    EXPECT_EQ(out, std::vector<BYTE>(kDevModeSize, 0xCD));
  }
  EXPECT_EQ(sheets_(nullptr, 0), -1);
}

// A devmode naming a device as its side file: the sheet opens from the printer's store and
// OK gives the settings a file of their own.
TEST_F(SheetHostingTest, DevicePathSideFilesAreNeverOpened) {
  for (const std::u16string path : {u"\\\\.\\pipe\\settings", u"\\\\?\\C:\\settings.dat"}) {
    SCOPED_TRACE(Utf8(path));
    std::vector<BYTE> in = ApplicationDevMode(path);
    SimFailOpen(path.c_str());
    DWORD result = 0;
    const LONG answer = OpenDocumentSheet(OpenedBy::kApplication, [](HWND sheet) {
      ShowTab(sheet, 0);
      SimSheetPress(sheet, PSBTN_OK);
    }, reinterpret_cast<DEVMODEW*>(in.data()), 0, &result);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(result, DWORD(CPSUI_OK));
    const std::u16string sideFile = DevModeText(output_, kItemSideFile);
    EXPECT_NE(sideFile, path);
    EXPECT_NE(GetFileAttributesW(sideFile.c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

// A user whose language reads right to left gets the mirrored layout before the sheet is made;
// others keep the process's layout.
TEST_F(SheetHostingTest, RightToLeftUserLanguagesMirrorTheProcessLayout) {
  const struct {
    LANGID language;
    DWORD layout;
  } cases[] = {{0x0409, 0}, {0x040D, LAYOUT_RTL}, {0x0401, LAYOUT_RTL}, {0x0407, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    SetProcessDefaultLayout(0);
    SimSetUserUILanguage(c.language);
    DWORD shown = 0xFFFFFFFF;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      GetProcessDefaultLayout(&shown);
      SimSheetPress(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(shown, c.layout);
  }
}

// Allocations of the sheet's opening fail one at a time, spread over all it makes: the sheet
// either opens or does not, and nothing is left behind.
TEST_F(SheetHostingTest, InitFailuresLeakNothing) {
  auto open = [&](int failing) {
    SimFailNthAllocation(failing);
    int shown = 0;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      ++shown;
      SimSheetPress(sheet, PSBTN_CANCEL);
    });
    const bool reached = !SimAllocationFailurePending();
    SimFailNthAllocation(0);
    return std::pair{reached, shown};
  };
  open(0);  // the first opening fills what the process keeps (the model's cache)
  const int windows = SimLiveWindows();
  const int blocks = SimLiveGlobalBlocks();
  // How many allocations a whole opening makes.
  int made = 1;
  while (open(made * 2).first) made *= 2;
  for (int step = made / 2; step > 0; step /= 2) {
    if (open(made + step).first) made += step;
  }
  constexpr int kSamples = 80;
  int opened = 0;
  for (int k = 1; k <= kSamples; ++k) {
    const int n = std::max(1, made * k / kSamples);
    const auto [reached, shown] = open(n);
    EXPECT_TRUE(reached) << n;
    opened += shown;
    EXPECT_EQ(SimLivePropertySheetPages(), 0) << n;
    EXPECT_EQ(SimLiveWindows(), windows) << n;
    EXPECT_EQ(SimLiveGlobalBlocks(), blocks) << n;
    EXPECT_EQ(SimModuleLoadCount(u"qorvexstr.qrs"), SimModuleFreeCount(u"qorvexstr.qrs")) << n;
  }
  // The late failures come after the sheet was shown.
  EXPECT_GT(opened, 0);
}

// The device sheet as the property-sheet component drives its provider: INIT, SET_RESULT with
// OK, DESTROY. The configuration is stored; a store that fails is reported.
class DeviceSheetTest : public SheetHostingTest {
 protected:
  static LONG_PTR AcceptPages(HANDLE, UINT function, LPARAM page, LPARAM) {
    return function == CPSFUNC_ADD_HPROPSHEETPAGE ? page : 0;
  }
  LONG RunDeviceSheet() {
    DEVICEPROPERTYHEADER header{sizeof header, 0, printer_, const_cast<LPWSTR>(kPrinter)};
    PROPSHEETUI_INFO info{sizeof info, PROPSHEETUI_INFO_VERSION, 0, PROPSHEETUI_REASON_INIT, HANDLE(1), AcceptPages,
                          reinterpret_cast<LPARAM>(&header), 0, 0};
    EXPECT_EQ(deviceSheets_(&info, 0), 1);
    SETRESULT_INFO ok{sizeof ok, 0, nullptr, CPSUI_OK};
    info.Reason = PROPSHEETUI_REASON_SET_RESULT;
    const LONG answer = deviceSheets_(&info, reinterpret_cast<LPARAM>(&ok));
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(deviceSheets_(&info, 0), 1);
    return answer;
  }
};

TEST_F(DeviceSheetTest, OkStoresTheConfigurationAndAFailedStoreIsReported) {
  const int writes = SimCallCount("SetPrinterDataW");
  EXPECT_EQ(RunDeviceSheet(), 1);
  EXPECT_GT(SimCallCount("SetPrinterDataW"), writes);
  SimFailCall("SetPrinterDataW", 5 /* ERROR_ACCESS_DENIED */, 1, 1000);
  EXPECT_EQ(RunDeviceSheet(), -1);
}

}  // namespace

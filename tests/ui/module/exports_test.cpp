// The exports of qorvexui.dll called as the spooler and GDI call them, on printers of the
// sample model: every call runs its bracket and leaves no resource module reference behind.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/persist/devmode_worker.h"
#include "core/rules/device_capabilities.h"
#include "core/store/printer_id.h"
#include "tests/support/model_files.h"
#include "tests/ui/module/ui_module.h"

namespace {

constexpr LONG kDevModeBytes = 1548;

// A device-mode buffer of exactly `bytes` bytes (so that a read beyond it is caught).
std::vector<BYTE> DevModeBytes(WORD size, WORD extra, DWORD bytes) {
  std::vector<BYTE> mode(bytes, 0);
  if (bytes >= kDevModeLengthFields) {
    std::memcpy(mode.data() + offsetof(DEVMODEW, dmSize), &size, 2);
    std::memcpy(mode.data() + offsetof(DEVMODEW, dmDriverExtra), &extra, 2);
  }
  return mode;
}

DEVMODEW* AsDevMode(std::vector<BYTE>& bytes) { return reinterpret_cast<DEVMODEW*>(bytes.data()); }

class UiExportsTest : public UiModuleTest {
 protected:
  // The model's default device mode through the conversion export.
  std::vector<BYTE> DriverDefaults() {
    std::vector<BYTE> out(kDevModeBytes, 0);
    LONG size = kDevModeBytes;
    EXPECT_TRUE(ui_.convertDevMode(const_cast<LPWSTR>(kPrinter), nullptr, AsDevMode(out), &size, CDM_DRIVER_DEFAULT));
    return out;
  }

  // Gives "P1" the model's defaults as its own device mode, as an installed printer has.
  void GiveDefaultDevMode() {
    std::vector<BYTE> defaults = DriverDefaults();
    ASSERT_TRUE(SimSetPrinterDevMode(kPrinter, defaults));
  }

  DWORD Capability(HANDLE printer, WORD index, DEVMODEW* mode = nullptr) {
    return ui_.deviceCapabilities(printer, const_cast<LPWSTR>(kPrinter), index, nullptr, mode);
  }
};

TEST_F(UiExportsTest, DeviceCapabilitiesFollowWhatCouldBeLoaded) {
  GiveDefaultDevMode();
  std::vector<BYTE> defaults = DriverDefaults();
  DWORD defaultFields = 0;
  std::memcpy(&defaultFields, defaults.data() + offsetof(DEVMODEW, dmFields), 4);

  SimPrinterSetup bare;
  bare.name = u"Bare Printer";
  bare.dataFile = u"MISSING.DDD";
  ASSERT_TRUE(SimAddPrinter(bare));
  HANDLE barePrinter = Open(u"Bare Printer");

  const struct Case {
    const char* what;
    HANDLE printer;
    DEVMODEW* mode;
    WORD index;
    DWORD answer;
  } cases[] = {
      // Store, settings and configuration (flags 7).
      {"all: fields", printer_, nullptr, DC_FIELDS, defaultFields},
      {"all: duplex", printer_, nullptr, DC_DUPLEX, 1},
      {"all: copies", printer_, nullptr, DC_COPIES, 999},
      {"all with the defaults as the job's", printer_, AsDevMode(defaults), DC_DUPLEX, 1},
      // No model (flags 0): the answerer's fall-backs.
      {"none: fields", barePrinter, nullptr, DC_FIELDS, 0x1FF13},
      {"none: duplex", barePrinter, nullptr, DC_DUPLEX, 0xFFFFFFFF},
      {"none: copies", barePrinter, nullptr, DC_COPIES, 999},
      {"unknown index", printer_, nullptr, 999, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Capability(c.printer, c.index, c.mode), c.answer) << c.what;
    ExpectResourceModuleReleased();
  }
}

TEST_F(UiExportsTest, ColourProfileNameWithShortAndFullBuffers) {
  std::vector<BYTE> mode = DriverDefaults();
  // "QX4500.icm": 10 characters and the terminator.
  const ULONG needed = 22;
  BYTE data[64] = {};
  ULONG flags = 0;
  ULONG size = 10;
  SetLastError(0);
  EXPECT_FALSE(ui_.queryColorProfile(printer_, AsDevMode(mode), QCP_DEVICEPROFILE, data, &size, &flags));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER});
  EXPECT_EQ(size, needed);
  EXPECT_EQ(data[0], 0);

  size = 1;
  EXPECT_FALSE(ui_.queryColorProfile(printer_, AsDevMode(mode), 1, data, &size, &flags));
  EXPECT_EQ(size, 1u);  // another query mode leaves the count alone
  EXPECT_FALSE(ui_.queryColorProfile(printer_, nullptr, QCP_DEVICEPROFILE, data, &size, &flags));

  size = needed;
  EXPECT_TRUE(ui_.queryColorProfile(printer_, AsDevMode(mode), QCP_DEVICEPROFILE, data, &size, &flags));
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(data)), u"QX4500.icm");
  EXPECT_EQ(flags, QCP_PROFILEDISK);
  ExpectResourceModuleReleased();
}

TEST_F(UiExportsTest, QueryPrintTellsAForeignDeviceModeInTheCallersBuffer) {
  std::vector<BYTE> good = DriverDefaults();
  std::vector<BYTE> bad = good;
  const WORD oldSpec = 0x0100;
  std::memcpy(bad.data() + offsetof(DEVMODEW, dmSpecVersion), &oldSpec, 2);
  // A device mode shorter than the driver's: read within its own bytes.
  std::vector<BYTE> shortMode = DevModeBytes(156, 0, 156);

  EXPECT_FALSE(ui_.devQueryPrintEx(nullptr));
  DEVQUERYPRINT_INFO info{sizeof(DEVQUERYPRINT_INFO), 1, printer_, nullptr, nullptr, 0, 0};
  EXPECT_TRUE(ui_.devQueryPrintEx(&info));
  info.pDevMode = AsDevMode(good);
  EXPECT_TRUE(ui_.devQueryPrintEx(&info));

  struct Case {
    std::vector<BYTE>* mode;
    DWORD chars;
    std::u16string text;
  } cases[] = {
      {&bad, 10, u"Invalid D"},
      {&bad, 40, u"Invalid DEVMODE structure."},
      {&bad, 1, u""},
      {&shortMode, 27, u"Invalid DEVMODE structure."},
  };
  for (Case& c : cases) {
    std::vector<WCHAR> text(c.chars, u'#');
    info = {sizeof(DEVQUERYPRINT_INFO), 1, printer_, AsDevMode(*c.mode), text.data(), c.chars, 0};
    EXPECT_FALSE(ui_.devQueryPrintEx(&info)) << c.chars;
    EXPECT_EQ(std::u16string(text.data()), c.text);
    EXPECT_EQ(info.cchNeeded, 27u);
  }
  // Without a buffer only the count is reported.
  info = {sizeof(DEVQUERYPRINT_INFO), 1, printer_, AsDevMode(bad), nullptr, 0, 0};
  EXPECT_FALSE(ui_.devQueryPrintEx(&info));
  EXPECT_EQ(info.cchNeeded, 27u);
  ExpectResourceModuleReleased();
}

TEST_F(UiExportsTest, PrinterInitialisationAddsTheMissingFormsOnce) {
  const std::string before = SimDumpPrinterData(kPrinter);
  EXPECT_TRUE(ui_.printerEvent(const_cast<LPWSTR>(kPrinter), PRINTER_EVENT_DELETE_CONNECTION, 0, 0));
  EXPECT_EQ(SimDumpPrinterData(kPrinter), before);
  EXPECT_EQ(SimCallCount("AddFormW"), 0);

  EXPECT_TRUE(ui_.printerEvent(const_cast<LPWSTR>(kPrinter), PRINTER_EVENT_INITIALIZE, 0, 0));
  ExpectResourceModuleReleased();
  const int added = SimCallCount("AddFormW");
  EXPECT_GT(added, 0);
  DWORD type = 0;
  std::vector<BYTE> data;
  EXPECT_TRUE(SimReadPrinterData(kPrinter, nullptr, u"SPLUserModePrinterDriver", type, data));
  EXPECT_TRUE(SimReadPrinterData(kPrinter, nullptr, u"PrinterDataSize", type, data));

  // A user paper's form: A4, imageable area inside its margins.
  BYTE buffer[512] = {};
  DWORD needed = 0;
  ASSERT_TRUE(GetFormW(printer_, u"User Paper 1", 1, buffer, sizeof buffer, &needed));
  const auto* form = reinterpret_cast<const FORM_INFO_1W*>(buffer);
  EXPECT_EQ(form->Size.cx, 210000);
  EXPECT_EQ(form->Size.cy, 297000);
  EXPECT_GT(form->ImageableArea.right, form->ImageableArea.left);
  EXPECT_LT(form->ImageableArea.right, 210000);

  // Every form exists now: a second initialisation adds none.
  EXPECT_TRUE(ui_.printerEvent(const_cast<LPWSTR>(kPrinter), PRINTER_EVENT_INITIALIZE, 0, 0));
  EXPECT_EQ(SimCallCount("AddFormW"), added);
  // An unknown printer: nothing happens, and the answer is still TRUE.
  EXPECT_TRUE(ui_.printerEvent(const_cast<LPWSTR>(u"No Such Printer"), PRINTER_EVENT_INITIALIZE, 0, 0));
  ExpectResourceModuleReleased();
}

TEST_F(UiExportsTest, DeviceModeConversionInEveryMode) {
  std::vector<BYTE> defaults = DriverDefaults();
  // Form name of the default paper.
  EXPECT_NE(reinterpret_cast<const DEVMODEW*>(defaults.data())->dmFormName[0], 0);
  std::vector<BYTE> shortInput = DevModeBytes(72, 0, 72);
  std::vector<BYTE> olderPublic = DevModeBytes(156, 0, 156);
  std::vector<BYTE> oversized(60000, 0xA5);
  std::memcpy(oversized.data(), defaults.data(), kDevModeBytes);
  const WORD hugeExtra = 60000 - 220;
  std::memcpy(oversized.data() + offsetof(DEVMODEW, dmDriverExtra), &hugeExtra, 2);

  const struct Case {
    const char* what;
    const WCHAR* printer;
    std::vector<BYTE>* input;
    bool withOutput;
    LONG size;
    DWORD mode;
    BOOL answer;
    LONG sizeAfter;
    DWORD error;  // 0: not looked at
  } cases[] = {
      {"convert: short output", kPrinter, &defaults, true, 1000, CDM_CONVERT, FALSE, kDevModeBytes,
       ERROR_INSUFFICIENT_BUFFER},
      {"convert: own layout", kPrinter, &defaults, true, kDevModeBytes, CDM_CONVERT, TRUE, kDevModeBytes, 0},
      {"convert: larger output", kPrinter, &defaults, true, 4000, CDM_CONVERT, TRUE, kDevModeBytes, 0},
      {"convert: only the length fields", kPrinter, &shortInput, true, kDevModeBytes, CDM_CONVERT, TRUE,
       kDevModeBytes, 0},
      {"convert: an older public part", kPrinter, &olderPublic, true, kDevModeBytes, CDM_CONVERT, TRUE,
       kDevModeBytes, 0},
      {"convert: oversized private part", kPrinter, &oversized, true, kDevModeBytes, CDM_CONVERT, TRUE,
       kDevModeBytes, 0},
      {"convert: no input", kPrinter, nullptr, true, kDevModeBytes, CDM_CONVERT, FALSE, kDevModeBytes, 0},
      {"convert: no output", kPrinter, &defaults, false, kDevModeBytes, CDM_CONVERT, FALSE, kDevModeBytes, 0},
      {"3.51 conversion", kPrinter, &defaults, true, kDevModeBytes, CDM_CONVERT351, FALSE, kDevModeBytes, 0},
      {"defaults", kPrinter, nullptr, true, kDevModeBytes, CDM_DRIVER_DEFAULT, TRUE, kDevModeBytes, 0},
      {"defaults: short output", kPrinter, nullptr, true, 1547, CDM_DRIVER_DEFAULT, FALSE, kDevModeBytes,
       ERROR_INSUFFICIENT_BUFFER},
      {"unknown printer", u"No Such Printer", &defaults, true, kDevModeBytes, CDM_CONVERT, FALSE, kDevModeBytes, 0},
      {"no printer name", nullptr, &defaults, true, kDevModeBytes, CDM_CONVERT, FALSE, kDevModeBytes, 0},
  };
  for (const Case& c : cases) {
    // The output holds exactly what the caller says, so a write beyond it is caught.
    std::vector<BYTE> output(c.withOutput ? std::min<LONG>(c.size, kDevModeBytes * 3) : 0, 0);
    LONG size = c.size;
    SetLastError(0);
    const BOOL answer = ui_.convertDevMode(const_cast<LPWSTR>(c.printer), c.input ? AsDevMode(*c.input) : nullptr,
                                           c.withOutput ? AsDevMode(output) : nullptr, &size, c.mode);
    EXPECT_EQ(answer, c.answer) << c.what;
    if (c.printer != nullptr) {
      EXPECT_EQ(size, c.sizeAfter) << c.what;
    }
    if (c.error != 0) {
      EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    if (answer) {
      EXPECT_EQ(reinterpret_cast<const DEVMODEW*>(output.data())->dmSize, 220) << c.what;
      EXPECT_EQ(reinterpret_cast<const DEVMODEW*>(output.data())->dmDriverExtra, 1328) << c.what;
    }
    ExpectResourceModuleReleased();
  }
  // A missing size pointer.
  SetLastError(0);
  EXPECT_FALSE(ui_.convertDevMode(const_cast<LPWSTR>(kPrinter), AsDevMode(defaults), AsDevMode(defaults), nullptr,
                                  CDM_CONVERT));
}

TEST_F(UiExportsTest, UpgradeKeepsOrMakesThePrinterIdentity) {
  DRIVER_UPGRADE_INFO_1W info{const_cast<LPWSTR>(kPrinter), nullptr};
  SetLastError(0);
  EXPECT_FALSE(ui_.upgradePrinter(2, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
  EXPECT_FALSE(ui_.upgradePrinter(1, nullptr));
  DRIVER_UPGRADE_INFO_1W unknown{const_cast<LPWSTR>(u"No Such Printer"), nullptr};
  SetLastError(0);
  EXPECT_FALSE(ui_.upgradePrinter(1, reinterpret_cast<LPBYTE>(&unknown)));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});

  // Without an identity the upgrade makes one.
  BYTE id[kPrinterIdSize];
  ASSERT_FALSE(ReadPrinterId(printer_, id));
  EXPECT_TRUE(ui_.upgradePrinter(1, reinterpret_cast<LPBYTE>(&info)));
  ASSERT_TRUE(ReadPrinterId(printer_, id));
  DWORD type = 0;
  std::vector<BYTE> data;
  EXPECT_TRUE(SimReadPrinterData(kPrinter, nullptr, u"PrinterDataSize", type, data));
  EXPECT_TRUE(SimReadPrinterData(kPrinter, nullptr, u"FontSubTableSize", type, data));
  EXPECT_GT(SimCallCount("AddFormW"), 0);

  // A second upgrade keeps it.
  SimAdvanceClock(5000);
  EXPECT_TRUE(ui_.upgradePrinter(1, reinterpret_cast<LPBYTE>(&info)));
  BYTE again[kPrinterIdSize];
  ASSERT_TRUE(ReadPrinterId(printer_, again));
  EXPECT_EQ(std::memcmp(id, again, kPrinterIdSize), 0);
  ExpectResourceModuleReleased();
}

TEST_F(UiExportsTest, TraceLinesComeOutWithTheSwitchFile) {
  UnloadQorvexUi(&ui_);
  const std::filesystem::path driver = Host(SimDriverDirectory());
  std::ofstream(driver / "qorvex.cfg") << "[DEFAULT]\r\nLog=0x3\r\n";
  ASSERT_TRUE(LoadQorvexUi(printer_, &ui_));
  Capability(printer_, DC_DUPLEX);
  LONG size = 100;
  ui_.convertDevMode(const_cast<LPWSTR>(kPrinter), nullptr, nullptr, &size, CDM_CONVERT);
  std::ifstream in(Host(u"c:\\DEBUG_LOG\\WIN2000\\DDI_PRNUI_TRACE_LOG.txt"), std::ios::binary);
  std::ostringstream log;
  log << in.rdbuf();
  EXPECT_NE(log.str().find("IN <<DrvDeviceCapabilities\nOUT>>DrvDeviceCapabilities RetValue = 0x00000001, wCap = 7\n"),
            std::string::npos)
      << log.str();
  EXPECT_NE(log.str().find("IN <<DrvConvertDevMode\nOUT>>DrvConvertDevMode RetValue = 0\n"), std::string::npos)
      << log.str();
}

}  // namespace

namespace {

// Printers of models that leave something out: their answers where a list or a default that
// depends on it is missing.
class PartialModelTest : public UiExportsTest {
 protected:
  void AddVariant(const std::u16string& printer, const std::u16string& file, const std::vector<ModelTextEdit>& edits) {
    AddPrinter(printer, InstallSampleVariant(edits, file));
  }
};

// Letter paper only: the user papers, which default to the size of paper value 9 (A4), have no
// default on this model, which is not a failure of the model's defaults.
const std::vector<ModelTextEdit> kLetterOnly{
    {"list 8   name=str(1 101) kind=1 default=8 choices=[3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 "
     "24 25 26 27 28 29 30 31 32 33 34 35 36 37 38 39]",
     "list 8   name=str(1 101) kind=1 default=1 choices=[3]"}};
// No resolution list (item 14).
const std::vector<ModelTextEdit> kNoResolutions{{"list 14  name=\"Resolution\" kind=1 default=2 choices=[56 57 58]", ""}};

TEST_F(PartialModelTest, DriverDefaultsOfAModelWithLetterPaperOnly) {
  AddVariant(u"Letter Only", u"LETTER.DDD", kLetterOnly);
  std::vector<BYTE> out(kDevModeBytes, 0);
  LONG size = kDevModeBytes;
  SetLastError(0);
  EXPECT_TRUE(ui_.convertDevMode(const_cast<LPWSTR>(u"Letter Only"), nullptr, AsDevMode(out), &size, CDM_DRIVER_DEFAULT));
  EXPECT_EQ(size, kDevModeBytes);
  const DEVMODEW* mode = AsDevMode(out);
  EXPECT_EQ(mode->dmSize, 220);
  EXPECT_EQ(mode->dmDriverExtra, 1328);
  EXPECT_EQ(mode->dmPaperSize, 1) << "letter";
  EXPECT_EQ(std::u16string(mode->dmFormName), u"Letter");
  EXPECT_EQ(std::u16string(mode->dmDeviceName), u"Letter Only");
  ExpectResourceModuleReleased();
}

TEST_F(PartialModelTest, ResolutionListThatCannotBeBuiltAnswersMinusOne) {
  AddVariant(u"No Resolutions", u"NORES.DDD", kNoResolutions);
  HANDLE printer = Open(u"No Resolutions");
  LONG pairs[8] = {};
  const struct Case {
    const char* what;
    HANDLE printer;
    const WCHAR* name;
    void* output;
    DWORD answer;
  } cases[] = {
      {"the sample: three resolutions", printer_, kPrinter, nullptr, 3},
      {"the sample, into a buffer", printer_, kPrinter, pairs, 3},
      {"no list: count", printer, u"No Resolutions", nullptr, 0xFFFFFFFF},
      {"no list: into a buffer", printer, u"No Resolutions", pairs, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui_.deviceCapabilities(c.printer, const_cast<LPWSTR>(c.name), DC_ENUMRESOLUTIONS,
                                     c.output, nullptr),
              c.answer)
        << c.what;
    ExpectResourceModuleReleased();
  }
}

}  // namespace

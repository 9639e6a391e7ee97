// The device layer against the simulated scanner: open, lock, scan window, tone table, reads
// that match the test pattern, every scripted device condition with its message, the feeder,
// and bad device input.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "outside/pelvodev/pelvodev_sim.h"
#include "outside/pelvofilt/pelvofilt_sim.h"
#include "platform/base/byte_order.h"
#include "platform/platform.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/image_record.h"
#include "scanner/scan_run.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "scanner/text_ids.h"
#include "tests/support/scanner_fixture.h"

namespace {

class DeviceTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    SimSetAnsiCodePage(932);
    g_PreviewRequested = FALSE;
    ASSERT_TRUE(LoadFilterLibrary());
    LoadScannerSimulation();
  }

  void TearDown() override {
    EndDeviceScan();
    FreeDeviceBandBuffer();
    UnloadFilterLibrary();
    ScannerCodeTest::TearDown();
  }

  // The ops and opcodes of the log, as "1 4 3 6:4C ...".
  std::string Trace() {
    std::string trace;
    char item[16];
    for (const SimScannerCall& c : ScannerLog()) {
      if (c.Op == 6)
        std::snprintf(item, sizeof item, "6:%02X ", c.Opcode);
      else
        std::snprintf(item, sizeof item, "%d ", c.Op);
      trace += item;
    }
    return trace;
  }

  std::u16string Text(UINT id) {
    WCHAR buffer[512];
    const int n = LoadStringW(source_, id, buffer, 512);
    return std::u16string(buffer, n);
  }

  int StartGrey(WORD kind, DWORD width, DWORD length, WORD dpi = 300, BOOL paperTest = FALSE) {
    for (int i = 0; i < 256; ++i) identity_[i] = static_cast<BYTE>(i);
    if (PrepareDevice(paperTest) != kScanOk) return kScanFailed;
    return StartScan(kind, 1200, 2400, width, length, dpi, 202, 0, 1, paperTest, identity_);
  }

  BYTE identity_[256];
};

TEST_F(DeviceTest, OpenLockWindowReadsAndCloseForEveryKind) {
  struct Case {
    WORD kind;
    BOOL reverse;
    BYTE composition, bits;
  } cases[] = {
      {kScanKindGray, FALSE, 2, 8},
      {kScanKindColor, FALSE, 2, 8},
      {kScanKindThreshold, FALSE, 0, 1},
      {kScanKindThreshold, TRUE, 0, 1},
      {kScanKindGray16, FALSE, 2, 16},
      {kScanKindColor48, FALSE, 2, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " reverse " << c.reverse);
    scannerReset_();
    g_Switches.MonoBitReverse = c.reverse;
    const DWORD width = 100, lines = 30;
    ASSERT_EQ(StartGrey(c.kind, width, lines), kScanOk);
    EXPECT_EQ(DeviceFlags(), kDeviceOpen | kDeviceLocked);
    const std::vector<SimScannerCall> log = ScannerLog();
    ASSERT_GE(log.size(), 1u);
    EXPECT_STREQ(log[0].Name, "Scriptora Duo Local Scan");
    EXPECT_EQ(Trace(), "1 4 3 6:4C 6:44 6:44 6:47 6:45 6:48 ");
    const BYTE parameters8[8] = {3, 6, 1, 0, 2, 0x58, 0, 0};
    EXPECT_EQ(0, std::memcmp(log[4].Param, parameters8, 8));
    EXPECT_EQ(log[4].Direction, 1u);
    EXPECT_EQ(log[5].ParamLength, 48u);
    EXPECT_EQ(log[5].Param[0], 0x20);
    EXPECT_EQ(log[5].Param[1], 0x2E);
    EXPECT_EQ(log[5].Param[2], 0);
    EXPECT_EQ(log[8].Direction, 3u);

    SimScanWindow w;
    ASSERT_TRUE(scannerWindow_(&w));
    EXPECT_EQ(w.XResolution, 300u);
    EXPECT_EQ(w.Left, 300u);  // 300 x (1200 / 2) / 600
    EXPECT_EQ(w.Top, 600u);
    EXPECT_EQ(w.Width, 128u);
    EXPECT_EQ(w.Length, 30u);
    EXPECT_EQ(w.Composition, c.composition);
    EXPECT_EQ(w.BitsPerPixel, c.bits);
    EXPECT_EQ(w.Background, 0x40);
    EXPECT_EQ(w.Halftone, 0x32);
    EXPECT_EQ(0, std::memcmp(w.Repeat, &log[7].Param[8], 16));

    const DWORD lineBytes = PackedLineBytes(c.kind, width);
    std::vector<BYTE> band(lineBytes * lines);
    ASSERT_EQ(ReadScanBand(band.data(), lines), 0);
    for (DWORD y = 0; y < lines; ++y)
      for (DWORD x = 0; x < width; ++x) {
        const BYTE* line = band.data() + y * lineBytes;
        const DWORD bx = 300 + x, by = 600 + y;
        switch (c.kind) {
          case kScanKindGray:
            ASSERT_EQ(line[x], SimPattern8(bx, by)) << x << "," << y;
            break;
          case kScanKindColor:
            for (int k = 0; k < 3; ++k) ASSERT_EQ(line[3 * x + k], SimPattern8(bx, by)) << x << "," << y;
            break;
          case kScanKindThreshold: {
            const int bit = (line[x / 8] >> (7 - x % 8)) & 1;
            ASSERT_EQ(bit, SimPattern1(bx, by) ^ (c.reverse ? 1 : 0)) << x << "," << y;
            break;
          }
          case kScanKindGray16:
            ASSERT_EQ(line[2 * x] | (line[2 * x + 1] << 8), SimPattern16(bx, by));
            break;
          default:
            for (int k = 0; k < 3; ++k) ASSERT_EQ(line[6 * x + 2 * k] | (line[6 * x + 2 * k + 1] << 8), SimPattern16(bx, by));
            break;
        }
      }
    EndDeviceScan();
    EXPECT_EQ(DeviceFlags(), 0);
    const std::string trace = Trace();
    EXPECT_EQ(trace.substr(trace.size() - 11), "6:4C 5 5 2 ");  // abort, unlock twice, close
    EXPECT_TRUE(SimMessageBoxLog().empty());
  }
}

TEST_F(DeviceTest, WindowRoundingAndToneTable) {
  struct Case {
    WORD dpi;
    DWORD width, length, sentWidth, sentLength;
  } cases[] = {{400, 1000, 999, 1024, 1000}, {300, 1000, 999, 1024, 999}, {400, 64, 2, 64, 2}};
  for (const Case& c : cases) {
    scannerReset_();
    ASSERT_EQ(StartGrey(kScanKindGray, c.width, c.length, c.dpi), kScanOk);
    SimScanWindow w;
    ASSERT_TRUE(scannerWindow_(&w));
    EXPECT_EQ(w.Width, c.sentWidth) << c.dpi;
    EXPECT_EQ(w.Length, c.sentLength) << c.dpi;
    EndDeviceScan();
  }
  // The tone table is curve[255 - table[255 - i]] with the curve of the kind and resolution.
  struct ToneCase {
    WORD kind, dpi;
    int curve;  // -1: the table unchanged
    BYTE threshold;
  } tones[] = {
      {kScanKindGray, 300, 1, 0},  {kScanKindGray, 600, 2, 0},       {kScanKindHalftone, 200, 3, SimFilterCurve(0, 53)},
      {kScanKindDiffusion, 400, 7, SimFilterCurve(1, 53)}, {kScanKindThreshold, 300, -1, SimFilterCurve(1, 53)},
  };
  BYTE table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<BYTE>((i * 3) / 4);
  for (const ToneCase& t : tones) {
    scannerReset_();
    ASSERT_EQ(PrepareDevice(FALSE), kScanOk);
    ASSERT_EQ(StartScan(t.kind, 0, 0, 64, 8, t.dpi, 202, 0, 0, FALSE, table), kScanOk);
    BYTE sent[256];
    ASSERT_TRUE(scannerToneTable_(sent));
    for (int i = 0; i < 256; ++i)
      ASSERT_EQ(sent[i], t.curve < 0 ? table[i] : SimFilterCurve(t.curve, 255 - table[255 - i])) << t.kind << " " << i;
    SimScanWindow w;
    ASSERT_TRUE(scannerWindow_(&w));
    EXPECT_EQ(w.Threshold, t.threshold) << t.kind;
    EndDeviceScan();
  }
}

// Every device condition: the message it shows (or none), and the scan ends with the device closed.
TEST_F(DeviceTest, DeviceConditionsAndTheirMessages) {
  struct Case {
    const char* what;
    int op;
    BYTE opcode;
    LONG result;
    BYTE statusByte;
    DWORD lastStatus;
    UINT message;  // 0: no message
  } cases[] = {
      {"paper jam", 6, 0x45, -1, 2, kSimStatusPaperJam, kTextPaperJam},
      {"cover open", 6, 0x47, -1, 2, kSimStatusCoverOpen, kTextCoverOpen},
      {"busy", 6, 0x44, -1, 8, 0, kTextScannerBusy},
      {"reservation conflict", 6, 0x48, -1, 0x18, 0, kTextScannerBusy},
      {"other status", 6, 0x4C, -1, 2, 0x12345, kTextNoConnection},
      {"status byte out of range", 6, 0x45, -1, 0x41, 0xFFFFFF00, kTextNoConnection},
      {"no status byte", 6, 0x45, -1, 0, 0, kTextNoConnection},
      {"end of document", 6, 0x45, -1, 2, kSimStatusEndOfDocument, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    scannerReset_();
    SimMessageBoxReset();
    ClearDocumentEndFlag();
    scannerFail_(c.op, c.opcode, 1, c.result, c.statusByte, c.lastStatus);
    EXPECT_EQ(StartGrey(kScanKindGray, 64, 4), kScanFailed);
    const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
    if (c.message == 0) {
      EXPECT_TRUE(boxes.empty());
      EXPECT_TRUE(DocumentEndFlag());
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, Text(c.message));
      EXPECT_EQ(boxes[0].caption, u"Scriptora Duo Scanner");
      EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST));
    }
    EXPECT_EQ(DeviceFlags(), 0) << "the device is closed after a failed command";
  }
}

TEST_F(DeviceTest, OpenAndLockResults) {
  SimScannerSetupInfo info{static_cast<LONG>(0x800704DF), TRUE, 0, 0, 0};
  scannerSetup_(&info);
  EXPECT_TRUE(OpenDevice());
  CloseDevice();
  info.OpenResult = -5;
  scannerSetup_(&info);
  EXPECT_FALSE(OpenDevice());
  ASSERT_EQ(SimMessageBoxLog().size(), 1u);
  EXPECT_EQ(SimMessageBoxLog()[0].text, Text(kTextNoConnection));
  EXPECT_EQ(SimModuleUseCount(GetModuleHandleW(u"pelvodev.dll")), 1) << "freed after the failed open";

  info.OpenResult = 0;
  scannerSetup_(&info);
  SimMessageBoxReset();
  scannerFail_(4, 0, 1, -1, 8, 0);
  EXPECT_EQ(PrepareDevice(FALSE), kScanFailed);
  ASSERT_EQ(SimMessageBoxLog().size(), 1u);
  EXPECT_EQ(SimMessageBoxLog()[0].text, Text(kTextScannerBusy));
  EXPECT_FALSE(DeviceFlags() & kDeviceLocked);
  CloseDevice();
  // A lock settles for 200 ms.
  const ULONGLONG before = SimSleptMilliseconds();
  EXPECT_EQ(PrepareDevice(FALSE), kScanOk);
  EXPECT_EQ(SimSleptMilliseconds() - before, 200u);
}

TEST_F(DeviceTest, ReadConditions) {
  // Status byte 2 with a jam passes the band check of a read.
  ASSERT_EQ(StartGrey(kScanKindGray, 64, 8), kScanOk);
  scannerFail_(6, 0x49, 1, 0, 2, kSimStatusPaperJam);
  std::vector<BYTE> band(64 * 8);
  EXPECT_EQ(ReadScanBand(band.data(), 4), 0);
  EXPECT_TRUE(SimMessageBoxLog().empty());
  // Any other status with byte 2 ends the scan with its message.
  scannerFail_(6, 0x49, 1, 0, 2, 0x44000);
  EXPECT_EQ(ReadScanBand(band.data(), 4), 1);
  ASSERT_EQ(SimMessageBoxLog().size(), 1u);
  EXPECT_EQ(SimMessageBoxLog()[0].text, Text(kTextNoConnection));
  EXPECT_EQ(DeviceFlags(), 0);
}

TEST_F(DeviceTest, FeederPagesEndTheirDocument) {
  SimScannerSetupInfo info{0, TRUE, 2, 0, 10};
  scannerSetup_(&info);
  ASSERT_EQ(StartGrey(kScanKindGray, 64, 30, 300, TRUE), kScanOk);
  bool paperTestAsked = false;
  for (const SimScannerCall& c : ScannerLog())
    if (c.Op == 6 && c.Opcode == 0x44 && c.ParamLength == 48) paperTestAsked = c.Param[2] == 0x40;
  EXPECT_TRUE(paperTestAsked);
  std::vector<BYTE> band(64 * 30);
  EXPECT_EQ(ReadScanBand(band.data(), 10), 0);
  EXPECT_EQ(ReadScanBand(band.data(), 10), 1);
  EXPECT_TRUE(DocumentEndFlag());
  EXPECT_TRUE(SimMessageBoxLog().empty());
  EXPECT_EQ(Bind<SimScannerFeederPagesProc>(scanner_, "SimScannerFeederPages")(), 1u);
}

TEST_F(DeviceTest, FeederQueriesAndTheEmptyFeederMessage) {
  SimScannerSetupInfo info{0, FALSE, 0, 0, 0};
  scannerSetup_(&info);
  EXPECT_FALSE(FeederPresent());
  info.HasFeeder = TRUE;
  scannerSetup_(&info);
  EXPECT_TRUE(FeederPresent());
  EXPECT_FALSE(FeederHasPaper());
  EXPECT_EQ(DeviceFlags(), 0);
  EXPECT_EQ(Trace(), "1 8 6:43 9 2 1 8 6:43 9 2 1 8 6:42 9 2 ");

  // Empty: message 1090 with OK and Cancel until paper arrives or the user cancels.
  scannerReset_();
  info.FeederPages = 1;
  info.PaperAfterTests = 2;
  scannerSetup_(&info);
  SimMessageBoxAnswer(IDOK);
  SimMessageBoxAnswer(IDOK);
  EXPECT_TRUE(CheckFeederPaper(TRUE));
  std::vector<SimMessageBox> boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, Text(kTextFeederEmpty));
  EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST | MB_OKCANCEL));
  scannerReset_();
  SimMessageBoxReset();
  SimMessageBoxAnswer(IDCANCEL);
  EXPECT_FALSE(CheckFeederPaper(TRUE));
  EXPECT_EQ(SimMessageBoxLog().size(), 1u);
  CloseDevice();
}

TEST_F(DeviceTest, BadDeviceInputIsRefused) {
  // A device line longer than the band buffer cannot be read: refused, not looped on.
  ASSERT_EQ(StartGrey(kScanKindGray, 300000, 2), kScanOk);
  std::vector<BYTE> band(300000);
  EXPECT_EQ(ReadScanBand(band.data(), 1), 1);
  EXPECT_EQ(Trace().find("6:49"), std::string::npos);
  EndDeviceScan();
  // Compositions the device does not have are refused before any command.
  scannerReset_();
  for (WORD kind : {WORD{4}, WORD{6}, WORD{0x4004}}) {
    EXPECT_EQ(StartGrey(kind, 64, 2), kScanFailed) << kind;
    EXPECT_EQ(DeviceFlags(), 0);
  }
  EXPECT_EQ(Trace().find("6:45"), std::string::npos);
}

}  // namespace

namespace {

// The raw dumps of the device's data, and the sRGB transform a colour scan needs.
TEST_F(DeviceTest, RawDumpsAndTheColourTransform) {
  struct Case {
    WORD kind;
    const char16_t* file;
    std::string header;
    DWORD lineBytes;
  } cases[] = {
      {kScanKindGray, u"TWAIN_RAW.PGM", "P5\n128 30\n255\n", 128},
      {kScanKindColor, u"TWAIN_RAW.PGM", "P5\n128 30\n255\n", 128},
      {kScanKindThreshold, u"TWAIN_RAW.PBM", "P4\n128 30\n", 16},
  };
  g_Switches.RawDataSave = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    scannerReset_();
    ASSERT_EQ(StartGrey(c.kind, 100, 30), kScanOk);
    std::vector<BYTE> band(PackedLineBytes(c.kind, 100) * 30);
    ASSERT_EQ(ReadScanBand(band.data(), 10), 0);
    ASSERT_EQ(ReadScanBand(band.data(), 20), 0);
    EndDeviceScan();
    const std::u16string path = std::u16string(SimDriverDirectory()) + u"\\" + c.file;
    std::ifstream in(Host(path.c_str()), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), c.header.size() + c.lineBytes * 30);
    EXPECT_EQ(bytes.substr(0, c.header.size()), c.header);
    // The raw device bytes of line 29 (bed line 600 + 29), as read.
    const BYTE* last = reinterpret_cast<const BYTE*>(bytes.data()) + c.header.size() + c.lineBytes * 29;
    if (c.kind != kScanKindThreshold) {
      EXPECT_EQ(last[5], SimPattern8(305, 629));
    }
  }
  // A 16-bit grey scan has no raw dump.
  scannerReset_();
  const std::u16string grey = std::u16string(SimDriverDirectory()) + u"\\TWAIN_RAW.PGM";
  DeleteFileW(grey.c_str());
  ASSERT_EQ(StartGrey(kScanKindGray16, 100, 4), kScanOk);
  std::vector<BYTE> band(PackedLineBytes(kScanKindGray16, 100) * 4);
  ASSERT_EQ(ReadScanBand(band.data(), 4), 0);
  EndDeviceScan();
  EXPECT_EQ(GetFileAttributesW(grey.c_str()), INVALID_FILE_ATTRIBUTES);

  // With "Convert to sRGB" a colour scan needs the sRGB profile; grey scans do not.
  g_Switches.RawDataSave = 0;
  g_Switches.ConvertToSrgb = 1;
  scannerReset_();
  EXPECT_EQ(StartGrey(kScanKindColor, 100, 4), kScanFailed);
  EndDeviceScan();
  scannerReset_();
  EXPECT_EQ(StartGrey(kScanKindGray, 100, 4), kScanOk);
  EndDeviceScan();
}

}  // namespace

namespace {

// The one-bit methods decide the filter's mode for black-and-white images only: a grey or
// colour record that still carries a method from an earlier one-bit scan runs in its own mode.
TEST_F(DeviceTest, OneBitMethodsApplyToBlackAndWhiteImagesOnly) {
  HMODULE filter = GetModuleHandleW(u"pelvofilt.dll");
  ASSERT_NE(filter, nullptr);
  const auto reset = Bind<SimFilterResetProc>(filter, "SimFilterReset");
  const auto runBlock = Bind<SimFilterRunBlockProc>(filter, "SimFilterRunBlock");
  struct Case {
    WORD pixelType;
    WORD kind;
    WORD method;
    DWORD mode;  // the run block's mode field
  } const cases[] = {
      {TWPT_BW, kScanKindDiffusion, kOneBitDiffusion, 4},
      {TWPT_BW, kScanKindThreshold, kOneBitThreshold, 0},
      {TWPT_GRAY, kScanKindGray, kOneBitDiffusion, 1},
      {TWPT_GRAY, kScanKindGray, kOneBitHalftone, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pixelType * 100 + c.method);
    reset();
    ImageRecord r{};
    ASSERT_TRUE(SetImageRecordDefaults(r));
    r.PixelType = c.pixelType;
    r.ScanKind = c.kind;
    r.OneBitMethod = c.method;
    std::vector<BYTE> pixels(64 * 4, 0x80);
    ASSERT_TRUE(RunImageFilter(pixels.data(), 8, 4, 64, r));
    BYTE block[1404];
    ASSERT_TRUE(runBlock(0, block));
    EXPECT_EQ(GetLE32(block + 12), c.mode);
  }
}

}  // namespace

// Image transfers end to end: the test application scans the simulated flatbed by the native,
// memory and file transfers at several resolutions and frames and compares every pixel with
// the scanner's test pattern; the feeder scans pages with their pending counts; transfer
// set-up answers and refused transfers.
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/kernel/kernel_sim.h"
#include "tests/support/scanner_fixture.h"

namespace {

class TwainTransferTest : public TwainTest {
 protected:
  void SetUp() override {
    TwainTest::SetUp();
    ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
  }
  void TearDown() override {
    app_.Close();
    TwainTest::TearDown();
  }
  // Sets resolution and frame (1/1200 inch, through the layout in inches).
  void Negotiate(double dpi, LONG left, LONG top, LONG right, LONG bottom) {
    ASSERT_EQ(app_.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, dpi), TWRC_SUCCESS);
    ASSERT_EQ(app_.SetEnumeration(ICAP_UNITS, TWTY_UINT16, {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS}, 0),
              TWRC_SUCCESS);
    TW_IMAGELAYOUT layout{};
    layout.Frame = {ToFix32(left / 1200.0), ToFix32(top / 1200.0), ToFix32(right / 1200.0), ToFix32(bottom / 1200.0)};
    ASSERT_EQ(app_.Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
  }
  // Every pixel equals the one-bit pattern at its bed pixel (the window starts at
  // dpi x (left / 2) / 600 pixels).
  void ExpectPattern(const ReceivedImage& image, DWORD dpi, LONG left, LONG top, DWORD width, DWORD height) {
    ASSERT_EQ(image.Bits, 1);
    ASSERT_EQ(image.Width, width);
    ASSERT_EQ(image.Height, height);
    if (image.Palette.size() >= 8) {
      EXPECT_EQ(image.Palette[0], 0);  // entry 0 black, entry 1 white
      EXPECT_EQ(image.Palette[4], 255);
    }
    const DWORD x0 = dpi * (left / 2) / 600, y0 = dpi * (top / 2) / 600;
    for (DWORD y = 0; y < height; ++y)
      for (DWORD x = 0; x < width; ++x)
        ASSERT_EQ(image.Value(x, y), static_cast<DWORD>(SimPattern1(x0 + x, y0 + y))) << x << "," << y;
  }
};

TEST_F(TwainTransferTest, EveryMechanismDeliversThePatternAtSeveralResolutionsAndFrames) {
  struct Case {
    TW_UINT16 mechanism;
    DWORD dpi;
    LONG left, top, right, bottom;
  } cases[] = {
      // Frames in sixteenths of an inch, exact in the layout's fixed point.
      {TWSX_NATIVE, 100, 0, 0, 9900, 14025},    {TWSX_NATIVE, 150, 1200, 2400, 4800, 5025},
      {TWSX_MEMORY, 200, 600, 1200, 6975, 3000}, {TWSX_MEMORY, 300, 0, 0, 2400, 1200},
      {TWSX_FILE, 100, 2400, 1200, 9000, 7950},  {TWSX_FILE, 600, 0, 0, 1275, 675},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mechanism " << c.mechanism << " at " << c.dpi);
    Negotiate(c.dpi, c.left, c.top, c.right, c.bottom);
    ASSERT_EQ(app_.SetEnumeration(ICAP_XFERMECH, TWTY_UINT16, {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY}, c.mechanism),
              TWRC_SUCCESS);
    ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};
    ASSERT_EQ(app_.Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    const DWORD width = (c.right - c.left) * c.dpi / 1200, height = (c.bottom - c.top) * c.dpi / 1200;
    EXPECT_EQ(info.ImageWidth, static_cast<TW_INT32>(width));
    EXPECT_EQ(info.ImageLength, static_cast<TW_INT32>(height));
    EXPECT_EQ(info.XResolution.Whole, static_cast<TW_INT16>(c.dpi));
    EXPECT_EQ(info.BitsPerPixel, 1);
    ReceivedImage image;
    DWORD strips = 0;
    switch (c.mechanism) {
      case TWSX_NATIVE:
        ASSERT_EQ(app_.TransferNative(image), TWRC_XFERDONE);
        break;
      case TWSX_MEMORY:
        ASSERT_EQ(app_.TransferMemory(image, 4096, &strips), TWRC_XFERDONE);
        EXPECT_GT(strips, 1u);
        break;
      default:
        ASSERT_EQ(app_.TransferFile("C:\\Windows\\Temp\\scan.bmp", image), TWRC_XFERDONE);
        break;
    }
    ExpectPattern(image, c.dpi, c.left, c.top, width, height);
    SimScanWindow window;
    ASSERT_TRUE(scannerWindow_(&window));
    EXPECT_EQ(window.XResolution, c.dpi);
    TW_INT16 count = 5;
    ASSERT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
  }
}

TEST_F(TwainTransferTest, TheFeederScansPagesWhilePaperLasts) {
  SetupScanner(TRUE, 3, 0);
  ASSERT_EQ(app_.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
  Negotiate(100, 0, 0, 2400, 1200);
  ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  // Count -1: pages go on while the feeder has paper.
  for (TW_INT16 expected : {-1, -1, 0}) {
    ReceivedImage image;
    ASSERT_EQ(app_.TransferNative(image), TWRC_XFERDONE);
    // The feeder centres the sheet: the window starts at (14028 - 2400) / 2.
    ExpectPattern(image, 100, 5814, 0, 200, 100);
    TW_INT16 count = 5;
    ASSERT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, expected);
  }
  EXPECT_EQ(State(), 5);
  ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
  // A count of 2 stops after two pages even with paper left.
  SetupScanner(TRUE, 3, 0);
  ASSERT_EQ(app_.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 2), TWRC_SUCCESS);
  ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  for (TW_INT16 expected : {1, 0}) {
    ReceivedImage image;
    ASSERT_EQ(app_.TransferMemory(image), TWRC_XFERDONE);
    TW_INT16 count = 5;
    ASSERT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, expected);
  }
  ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
}

TEST_F(TwainTransferTest, SetupAnswersAndRefusedTransfers) {
  ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  // The whole bed at 200 dpi, one bit: 296-byte lines, 885 of them in the device buffer.
  TW_SETUPMEMXFER setup{};
  ASSERT_EQ(app_.Call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
  EXPECT_EQ(setup.MinBufSize, 60000u);
  EXPECT_EQ(setup.Preferred, 60000u);
  EXPECT_EQ(setup.MaxBufSize, 0xFFFFFFFFu);
  TW_SETUPFILEXFER file{};
  ASSERT_EQ(app_.Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, &file), TWRC_SUCCESS);
  const std::u16string driver = SimDriverDirectory();
  EXPECT_EQ(std::string(file.FileName), std::string(driver.begin(), driver.end()) + "\\pelvo.tmp");
  EXPECT_EQ(file.Format, TWFF_BMP);
  EXPECT_EQ(file.VRefNum, -1);
  file.Format = 0;  // TIFF
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &file), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_BADPROTOCOL);
  // An unterminated name is cut at 255 characters.
  std::memset(file.FileName, 'a', sizeof file.FileName);
  file.Format = TWFF_BMP;
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &file), TWRC_SUCCESS);
  TW_SETUPFILEXFER back{};
  ASSERT_EQ(app_.Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &back), TWRC_SUCCESS);
  EXPECT_EQ(std::strlen(back.FileName), 255u);
  // A memory buffer smaller than one line cannot take a strip.
  std::vector<BYTE> small(100);
  TW_IMAGEMEMXFER x{};
  x.Memory = {TWMF_APPOWNS | TWMF_POINTER, 100, small.data()};
  EXPECT_EQ(app_.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &x), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_LOWMEMORY);
  EXPECT_EQ(State(), 7);
  TW_INT16 count;
  ASSERT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
  ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
}

TEST_F(TwainTransferTest, BuffersByHandleAndFailedFileWrites) {
  Negotiate(100, 0, 0, 1200, 1200);
  ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  // A buffer passed by handle is locked for each strip.
  HGLOBAL buffer = GlobalAlloc(GMEM_MOVEABLE, 4096);
  ReceivedImage image;
  image.Width = image.Height = 100;
  image.Bits = 1;
  image.Pixels.assign(13 * 100, 0);
  TW_UINT16 rc;
  do {
    TW_IMAGEMEMXFER x{};
    x.Memory = {TWMF_APPOWNS | TWMF_HANDLE, 4096, buffer};
    rc = app_.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &x);
    ASSERT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) << rc;
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(buffer));
    for (DWORD r = 0; r < x.Rows; ++r) std::memcpy(&image.Pixels[(x.YOffset + r) * 13], p + r * x.BytesPerRow, 13);
    GlobalUnlock(buffer);
  } while (rc == TWRC_SUCCESS);
  GlobalFree(buffer);
  ExpectPattern(image, 100, 0, 0, 100, 100);
  TW_INT16 count;
  ASSERT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
  ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
  // A file whose rows cannot all be written is a failed transfer.
  ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  SimDiskFull(u"C:\\Windows\\Temp\\full.bmp", 500);
  EXPECT_EQ(app_.TransferFile("C:\\Windows\\Temp\\full.bmp", image), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_LOWMEMORY);
  EXPECT_EQ(State(), 6);
  ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
}

}  // namespace

namespace {

// An application that stops a memory transfer early ends that image: the next transfer
// starts a new one from its first line.
TEST_F(TwainTransferTest, AMemoryTransferStoppedEarlyEndsItsImage) {
  Negotiate(100, 0, 0, 2400, 2400);
  for (TW_UINT16 stop : {MSG_ENDXFER, MSG_DISABLEDS}) {
    SCOPED_TRACE(stop);
    ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
    std::vector<BYTE> buffer(1024);
    TW_IMAGEMEMXFER x{};
    x.Memory = {TWMF_APPOWNS | TWMF_POINTER, 1024, buffer.data()};
    ASSERT_EQ(app_.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &x), TWRC_SUCCESS);
    const TW_UINT32 offset = x.YOffset;
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(State(), 7);
    if (stop == MSG_ENDXFER) {
      // The bed holds no further page: the aborted image is not reported as still pending.
      TW_INT16 count = 0;
      ASSERT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
      EXPECT_EQ(count, 0);
      EXPECT_EQ(State(), 5);
    }
    ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
    EXPECT_EQ(State(), 4);
    ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
    EXPECT_EQ(SimModuleUseCount(scanner_), 1);  // the device was closed
    ReceivedImage image;
    ASSERT_EQ(app_.TransferMemory(image, 1024), TWRC_XFERDONE);
    ExpectPattern(image, 100, 0, 0, 200, 200);
    // After the last strip the image is done: further strips are out of sequence until the
    // application ends the transfer, and no new scan starts.
    const DWORD scans = scannerCount_();
    TW_IMAGEMEMXFER after{};
    after.Memory = {TWMF_APPOWNS | TWMF_POINTER, 1024, buffer.data()};
    EXPECT_EQ(app_.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &after), TWRC_FAILURE);
    EXPECT_EQ(app_.Condition(), TWCC_SEQERROR);
    EXPECT_EQ(scannerCount_(), scans);
    EXPECT_EQ(State(), 7);
    TW_INT16 count = 0;
    ASSERT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
    ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
  }
}

}  // namespace

namespace {

// With the store's "RawDataSave" switch the native and memory transfers leave their images as
// bitmap files in the source's directory.
TEST_F(TwainTransferTest, RawDataSaveWritesTheTransferredImages) {
  app_.Close();
  const char16_t key[] = u"SOFTWARE\\Varno Quelmar\\pelvo\\TwainDriver";
  SimRegistrySeedDword(HKEY_CURRENT_USER, key, u"RegVer", 1);
  SimRegistrySeedDword(HKEY_CURRENT_USER, key, u"RawDataSave", 1);
  const BYTE mode[72] = {};  // a stored scan mode (the switches are read with it)
  SimRegistrySeedValue(HKEY_CURRENT_USER, key, u"DefaultScanMode", REG_BINARY, mode, sizeof mode);
  ASSERT_EQ(app_.Open(), TWRC_SUCCESS);  // the switches are read as the source opens
  Negotiate(100, 0, 0, 1200, 2400);
  const std::u16string driver = SimDriverDirectory();
  auto read = [&](const char16_t* name) {
    std::ifstream in(Host((driver + u"\\" + name).c_str()), std::ios::binary);
    return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  for (TW_UINT16 mechanism : {TWSX_NATIVE, TWSX_MEMORY}) {
    SCOPED_TRACE(mechanism);
    ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
    ReceivedImage image, dumped;
    if (mechanism == TWSX_NATIVE) {
      ASSERT_EQ(app_.TransferNative(image), TWRC_XFERDONE);
      const std::vector<BYTE> file = read(u"TWAIN_DIB_NATIVE.BMP");
      ASSERT_TRUE(DecodeBitmap(file.data(), file.size(), true, dumped)) << file.size();
    } else {
      ASSERT_EQ(app_.TransferMemory(image, 1024), TWRC_XFERDONE);
      const std::vector<BYTE> file = read(u"TWAIN_DIB_MEMORY.BMP");
      ASSERT_GE(file.size(), 62u);
      // Headers for the whole image, then the strips as they came (top-down).
      EXPECT_EQ(file[0], 'B');
      EXPECT_EQ(file[18] | (file[19] << 8), 100);
      EXPECT_EQ(file[22] | (file[23] << 8), 200);
      EXPECT_EQ(file.size(), 62u + 16u * 200);
      dumped = image;
      for (DWORD y = 0; y < 200; ++y) std::memcpy(&dumped.Pixels[y * 13], &file[62 + 16 * y], 13);
    }
    EXPECT_EQ(dumped.Pixels, image.Pixels);
    TW_INT16 count;
    ASSERT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
    ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
  }
}

}  // namespace

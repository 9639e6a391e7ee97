// The ScanSettings record: defaults, validation of every field, and the ScanModeRecord.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/base/byte_order.h"
#include "platform/twain/twain.h"
#include "scanner/scan_settings.h"

namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

ScanSettings Defaults() {
  ScanSettings s{};
  ResetScanSettings(s);
  return s;
}

TEST(ScanSettings, Defaults) {
  const ScanSettings s = Defaults();
  EXPECT_EQ(s.DisplayUnit, 2);
  EXPECT_TRUE(SameRect(s.ScanArea, RECT{0, 0, 14028, 19850}));  // A3 capped to the bed
  EXPECT_TRUE(SameRect(s.PreviewArea, kWholeBed));
  EXPECT_TRUE(SameRect(s.SavedScanArea[1], kWholeBed));
  EXPECT_EQ(s.XResolution, 200);
  EXPECT_EQ(s.YResolution, 200);
  EXPECT_EQ(s.FurtherResolutions[1][0], 125);
  EXPECT_EQ(s.FurtherResolutions[2][1], 250);
  EXPECT_EQ(s.Readouts[0].Unit, 6);
  EXPECT_EQ(s.Readouts[1].ScalePercent, 100.0);
  EXPECT_EQ(s.ScalePercent, 100);
  EXPECT_EQ(s.BackgroundRemoval, 1u);
  EXPECT_EQ(s.Threshold, 202);
  EXPECT_EQ(s.LevelSlots[3].InputHigh, 255);
  EXPECT_EQ(s.LevelSlots[3].Gamma, 100);
  EXPECT_EQ(s.CurveItems[2].Curve[77], 77);
  EXPECT_EQ(s.CurveItems[2].Points[0], 0);
  EXPECT_EQ(s.CurveItems[2].Points[1], -1);
  EXPECT_EQ(s.CurveItems[2].Points[255], 255);
  EXPECT_EQ(s.AreaSizeCode, 11);
  EXPECT_EQ(s.ScanTypeCode, 0);
  EXPECT_EQ(s.PreviewZoom, 100);
  // A default record is already valid.
  ScanSettings v = s;
  ValidateScanSettings(v);
  EXPECT_EQ(0, std::memcmp(&v.ScanArea, &s.ScanArea, sizeof(RECT)));
  EXPECT_EQ(v.Threshold, 202);
}

TEST(ScanSettings, AreaSizeCodesOnFlatbedAndFeeder) {
  struct Case {
    WORD code;
    DWORD scanFrom;
    RECT area;
  } cases[] = {
      {1, 0, {0, 0, 9924, 14030}},        {3, 1, {1914, 0, 12114, 13200}},  // Letter centred
      {11, 1, {0, 0, 14028, 19850}},      {9, 0, {0, 0, 13200, 20400}},
      {77, 0, {0, 0, 5000, 6000}},  // unknown code: keeps right and bottom
  };
  for (const Case& c : cases) {
    ScanSettings s = Defaults();
    s.ScanArea = {100, 200, 5000, 6000};
    s.AreaSizeCode = c.code;
    s.ScanFrom = c.scanFrom;
    SetAreaFromSizeCode(s);
    EXPECT_TRUE(SameRect(s.ScanArea, c.area)) << c.code << " " << s.ScanArea.left << "," << s.ScanArea.right;
  }
}

// Every validation rule: a bad value and what it becomes (and a good value that stays).
TEST(ScanSettings, ValidationOfEveryField) {
  struct Case {
    const char* what;
    std::function<void(ScanSettings&)> poke;
    std::function<bool(const ScanSettings&)> check;
  } cases[] = {
      {"scan from 3", [](ScanSettings& s) { s.ScanFrom = 3; }, [](const ScanSettings& s) { return s.ScanFrom == 0; }},
      {"scan from 2", [](ScanSettings& s) { s.ScanFrom = 2; }, [](const ScanSettings& s) { return s.ScanFrom == 2; }},
      {"unit 6", [](ScanSettings& s) { s.DisplayUnit = 6; }, [](const ScanSettings& s) { return s.DisplayUnit == 3; }},
      {"unit 5", [](ScanSettings& s) { s.DisplayUnit = 5; }, [](const ScanSettings& s) { return s.DisplayUnit == 5; }},
      {"top = bottom", [](ScanSettings& s) { s.ScanArea = {0, 10, 100, 10}; },
       [](const ScanSettings& s) { return SameRect(s.ScanArea, kWholeBed); }},
      {"left > right", [](ScanSettings& s) { s.PreviewArea = {200, 0, 100, 10}; },
       [](const ScanSettings& s) { return SameRect(s.PreviewArea, kWholeBed); }},
      {"beyond bed", [](ScanSettings& s) { s.ScanArea = {0, 0, 14029, 10}; },
       [](const ScanSettings& s) { return SameRect(s.ScanArea, kWholeBed); }},
      {"below 20400", [](ScanSettings& s) { s.ScanArea = {0, 0, 10, 20401}; },
       [](const ScanSettings& s) { return SameRect(s.ScanArea, kWholeBed); }},
      {"negative", [](ScanSettings& s) { s.SavedScanArea[1] = {-5, 0, 10, 10}; },
       [](const ScanSettings& s) { return SameRect(s.SavedScanArea[1], kWholeBed); }},
      {"good area", [](ScanSettings& s) { s.ScanArea = {1, 2, 3, 4}; },
       [](const ScanSettings& s) { return SameRect(s.ScanArea, RECT{1, 2, 3, 4}); }},
      {"type 1", [](ScanSettings& s) { s.ScanTypeCode = 1; }, [](const ScanSettings& s) { return s.ScanTypeCode == 4; }},
      {"type 5", [](ScanSettings& s) { s.ScanTypeCode = 5; }, [](const ScanSettings& s) { return s.ScanTypeCode == 4; }},
      {"type 7", [](ScanSettings& s) { s.ScanTypeCode = 7; }, [](const ScanSettings& s) { return s.ScanTypeCode == 7; }},
      {"x 20", [](ScanSettings& s) { s.XResolution = 20, s.YResolution = 300; },
       [](const ScanSettings& s) { return s.XResolution == 200 && s.YResolution == 200; }},
      {"y 9601", [](ScanSettings& s) { s.XResolution = 300, s.YResolution = 9601; },
       [](const ScanSettings& s) { return s.XResolution == 200 && s.YResolution == 200; }},
      {"further", [](ScanSettings& s) { s.FurtherResolutions[1][1] = 49; },
       [](const ScanSettings& s) { return s.FurtherResolutions[1][1] == 125; }},
      {"flags", [](ScanSettings& s) { s.SpareFlag = s.CurveBoxFlag = s.PreviewAvailable = s.HorizontalMirror = s.Invert = 2; },
       [](const ScanSettings& s) { return !s.SpareFlag && !s.CurveBoxFlag && !s.PreviewAvailable && !s.HorizontalMirror && !s.Invert; }},
      {"background", [](ScanSettings& s) { s.BackgroundRemoval = 5; },
       [](const ScanSettings& s) { return s.BackgroundRemoval == 0; }},
      {"scale", [](ScanSettings& s) { s.ScalePercent = 5000, s.ScaleFlag = 1; },
       [](const ScanSettings& s) { return s.ScalePercent == 100 && s.ScaleFlag == 0; }},
      {"readout", [](ScanSettings& s) { s.Readouts[1].ScalePercent = 10.0, s.ScaleFlag = 1; },
       [](const ScanSettings& s) { return s.Readouts[1].ScalePercent == 100.0 && s.ScaleFlag == 0; }},
      {"spare choice", [](ScanSettings& s) { s.SpareChoice = 5; }, [](const ScanSettings& s) { return s.SpareChoice == 0; }},
      {"adjustment", [](ScanSettings& s) { s.SpareAdjustment = -129; },
       [](const ScanSettings& s) { return s.SpareAdjustment == 0; }},
      {"threshold 300", [](ScanSettings& s) { s.Threshold = 300; }, [](const ScanSettings& s) { return s.Threshold == 195; }},
      {"threshold -1", [](ScanSettings& s) { s.Threshold = -1; }, [](const ScanSettings& s) { return s.Threshold == 195; }},
      {"levels", [](ScanSettings& s) { s.LevelSlots[2] = {256, -1, 1001, 300, -5}; },
       [](const ScanSettings& s) {
         const LevelSlot& l = s.LevelSlots[2];
         return l.InputHigh == 255 && l.InputLow == 0 && l.Gamma == 100 && l.OutputLow == 0 && l.OutputHigh == 255;
       }},
      {"curve points", [](ScanSettings& s) { s.CurveItems[3].Points[0] = 4, s.CurveItems[3].Points[255] = 7, s.CurveItems[3].Points[9] = 256; },
       [](const ScanSettings& s) {
         return s.CurveItems[3].Points[0] == 0 && s.CurveItems[3].Points[255] == 255 && s.CurveItems[3].Points[9] == -1;
       }},
      {"indexes", [](ScanSettings& s) { s.HalftoneMode = s.Rotation = s.LevelSlotShown = s.LevelSlotEdited = s.CurveItemIndex = 4; },
       [](const ScanSettings& s) { return !s.HalftoneMode && !s.Rotation && !s.LevelSlotShown && !s.LevelSlotEdited && !s.CurveItemIndex; }},
      {"tool", [](ScanSettings& s) { s.PreviewTool = 2; }, [](const ScanSettings& s) { return s.PreviewTool == 0; }},
      {"zoom 250", [](ScanSettings& s) { s.PreviewZoom = 250; }, [](const ScanSettings& s) { return s.PreviewZoom == 100; }},
      {"zoom 900", [](ScanSettings& s) { s.PreviewZoom = 900; }, [](const ScanSettings& s) { return s.PreviewZoom == 100; }},
      {"zoom 800", [](ScanSettings& s) { s.PreviewZoom = 800; }, [](const ScanSettings& s) { return s.PreviewZoom == 800; }},
  };
  for (const Case& c : cases) {
    ScanSettings s = Defaults();
    c.poke(s);
    ValidateScanSettings(s);
    EXPECT_TRUE(c.check(s)) << c.what;
  }
  // The read-outs are recomputed for the scan area: 12000 / 1200 inch = 10 inches = 254 mm.
  ScanSettings s = Defaults();
  s.ScanArea = {0, 0, 12000, 6000};
  ValidateScanSettings(s);
  EXPECT_DOUBLE_EQ(s.Readouts[0].Values[2], 254.0);
  EXPECT_DOUBLE_EQ(s.Readouts[1].Values[3], 1000.0);  // 5 inches at 200 dpi
}

TEST(ScanModeRecord, LayoutAndRoundTrip) {
  ScanSettings s = Defaults();
  s.ScanArea = {10, 20, 3000, 4000};
  s.SavedScanArea[1] = {1, 2, 3, 4};
  s.ScanTypeCode = 6;
  s.XResolution = 300;
  s.YResolution = 600;
  s.OriginalType = 2;
  s.BackgroundRemoval = 0;
  BYTE r[kScanModeRecordBytes];
  EncodeScanModeRecord(s, r);
  EXPECT_EQ(GetLE32(r + 4), 20u);
  EXPECT_EQ(GetLE16(r + 16), 6);
  EXPECT_EQ(GetLE16(r + 18), 0);
  EXPECT_EQ(GetLE32(r + 24), 600u);
  EXPECT_EQ(GetLE32(r + 28 + 8), 3000u);  // flatbed area = the current one
  EXPECT_EQ(GetLE32(r + 44 + 12), 4u);    // feeder area = the saved one
  EXPECT_EQ(GetLE16(r + 64), 2);
  EXPECT_EQ(GetLE32(r + 68), 0u);

  ScanSettings back{};
  ApplyScanModeRecord(back, r);
  EXPECT_TRUE(SameRect(back.ScanArea, s.ScanArea));
  EXPECT_EQ(back.ScanTypeCode, 6);
  EXPECT_EQ(back.YResolution, 600);
  EXPECT_EQ(back.OriginalType, 2);
  EXPECT_EQ(back.BackgroundRemoval, 0u);

  // Scanning from the feeder: the feeder area becomes the scan area.
  PutLE32(r + 60, 1);
  ApplyScanModeRecord(back, r);
  EXPECT_TRUE(SameRect(back.ScanArea, RECT{1, 2, 3, 4}));
  // A scan-from beyond 2 chooses the feeder area as it was stored, and is itself reset to 0.
  PutLE32(r + 60, 5);
  ApplyScanModeRecord(back, r);
  EXPECT_TRUE(SameRect(back.ScanArea, RECT{1, 2, 3, 4}));
  EXPECT_EQ(back.ScanFrom, 0u);
  // Bad stored values are validated.
  PutLE32(r + 20, 20);
  PutLE32(r + 44 + 4, 4);  // top = bottom
  PutLE16(r + 64, 9);
  PutLE32(r + 68, 3);
  ApplyScanModeRecord(back, r);
  EXPECT_EQ(back.XResolution, 200);
  EXPECT_TRUE(SameRect(back.ScanArea, kWholeBed));
  EXPECT_EQ(back.OriginalType, 0);
  EXPECT_EQ(back.BackgroundRemoval, 0u);
}

}  // namespace

namespace {

// What the application negotiated comes back into the dialog's settings; the rest stays.
TEST(ScanSettings, NegotiatedValuesReachTheDialogsSettings) {
  struct Case {
    DWORD frame, pixelType, resolution;
    WORD type, kind, method;
    WORD expectedType;
  } const cases[] = {
      {0, 1, 0, TWPT_BW, kScanKindDiffusion, kOneBitDiffusion, 3},
      {0, 1, 0, TWPT_BW, kScanKindHalftone, kOneBitHalftone, 1},
      {0, 1, 0, TWPT_GRAY, kScanKindGray, 0, 6},
      {0, 1, 0, TWPT_RGB, kScanKindColor, 0, 4},
      {0, 1, 0, TWPT_RGB, kScanKindColor48, 0, 7},
      {0, 1, 0, TWPT_PALETTE, kScanKindColor, 0, 5},
      {1, 0, 1, TWPT_GRAY, kScanKindGray, 0, 9},  // pixel type not negotiated: the type stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expectedType);
    ScanSettings s{};
    ResetScanSettings(s);
    s.ScanTypeCode = 9;
    const RECT before = s.ScanArea;
    const LONG resolution = s.XResolution;
    ImageRecord r{};
    r.FrameNegotiated = c.frame;
    r.PixelTypeNegotiated = c.pixelType;
    r.ResolutionNegotiated = c.resolution;
    r.PixelType = c.type;
    r.ScanKind = c.kind;
    r.OneBitMethod = c.method;
    r.LayoutFrame = {10, 20, 1210, 2420};
    r.XResolution = 150;
    r.YResolution = 150;
    r.TransferMechanism = TWSX_MEMORY;
    CopyNegotiatedSettings(s, r);
    EXPECT_EQ(s.ScanTypeCode, c.expectedType);
    EXPECT_TRUE(SameRect(s.ScanArea, c.frame ? r.LayoutFrame : before));
    EXPECT_EQ(s.XResolution, c.resolution ? 150 : resolution);
    EXPECT_EQ(s.YResolution, c.resolution ? 150 : resolution);
    EXPECT_EQ(s.TransferMechanism, TWSX_MEMORY);
  }
}

}  // namespace

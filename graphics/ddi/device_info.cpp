#include "graphics/ddi/device_info.h"

#include <algorithm>
#include <cstring>

#include "core/store/effective_values.h"
#include "core/store/form_status.h"
#include "graphics/device/paper_layout.h"
#include "graphics/device/pdev.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/device/spooler_forms.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/engine/engine.h"
#include "platform/gdi/fonts.h"

namespace {

constexpr SHORT kDmColorColor = 2;
constexpr SHORT kDmOrientPortrait = 1;
constexpr WORD kColorModeMonochrome = 1;

// The printable page in tenths of a millimetre.
struct PageGeometry {
  LONG paperWidth;
  LONG paperHeight;
  LONG width;
  LONG height;
  LONG x;
  LONG y;
};

LONG LayoutToTenths(LONG units) { return (LayoutUnitsToMicrons(units) + 50) / 100; }

BOOL GeometryFromLayout(Pdev* pdev, PageGeometry* g) {
  const PaperLayout& page = pdev->pageLayout;
  if (page.record == nullptr || page.formName[0] == 0) {
    // A size of its own (a custom size keeps a range record but no form): the layout holds it.
    g->paperWidth = LayoutToTenths(page.paperWidth);
    g->paperHeight = LayoutToTenths(page.paperHeight);
    g->width = LayoutToTenths(page.right - page.left);
    g->height = LayoutToTenths(page.bottom - page.top);
    g->x = (g->paperWidth - g->width) / 2;
    g->y = (g->paperHeight - g->height) / 2;
    return TRUE;
  }
  WORD form[6] = {};
  if (GetFormSize(pdev->printer, page.formName, 0, form) != kFormDone) return FALSE;
  SizePairElement a{}, b{}, minimum{}, maximum{};
  if (GetPaperRecordMargins(page.record, &a, &b) != kDbOk || GetPaperRecordMinSize(page.record, &minimum) != kDbOk ||
      GetPaperRecordMaxSize(page.record, &maximum) != kDbOk)
    return FALSE;
  LONG w = form[0] - b.width - a.width;
  LONG h = form[1] - b.length - a.length;
  w = std::max<LONG>(std::min<LONG>(w, maximum.width), minimum.width);
  h = std::max<LONG>(std::min<LONG>(h, maximum.length), minimum.length);
  if (page.landscape == 0) {
    *g = {form[0], form[1], w, h, a.width, b.length};
  } else {
    *g = {form[1], form[0], h, w, a.length, a.width};
  }
  return TRUE;
}

// The application's margin block, when it leaves a printable area.
void ApplyMarginBlock(Pdev* pdev, const MarginBlock& block, PageGeometry* g) {
  const LONG m1 = block.margins[0], m2 = block.margins[1], m3 = block.margins[2], m4 = block.margins[3];
  PageGeometry edged = *g;
  if (static_cast<SHORT>(GetPdevSettingWord(pdev, kItemOrientation)) == kDmOrientPortrait) {
    edged.x = m1, edged.y = m3, edged.width = g->paperWidth - m2 - m1, edged.height = g->paperHeight - m4 - m3;
  } else {
    edged.x = m4, edged.y = m1, edged.width = g->paperWidth - m3 - m4, edged.height = g->paperHeight - m2 - m1;
  }
  if (edged.width > 0 && edged.height > 0) *g = edged;
}

constexpr COLORINFO kDeviceColors = {
    {6380, 3350, 0}, {2345, 6075, 0}, {1410, 932, 0},  {2000, 2450, 0}, {5210, 2100, 0},
    {4750, 5100, 0}, {3127, 3290, 0}, 12500,           12500,           12500,
    585,             120,             0,               0,               0,
    10000,
};

void SetFace(LOGFONTW* font, const WCHAR* face) { lstrcpynW(font->lfFaceName, face, LF_FACESIZE); }

}  // namespace

ULONG PickHalftonePatternSize(LONG xResolution, LONG yResolution) {
  const LONG m = std::min(xResolution, yResolution);
  constexpr struct {
    LONG resolution;
    ULONG size;
  } kSizes[] = {{2400, 15}, {1800, 13}, {1200, 11}, {900, 9}, {400, 7}, {180, 5}};
  for (const auto& row : kSizes)
    if (m >= row.resolution) return row.size;
  return HT_PATSIZE_4x4_M;
}

BOOL FillDeviceInfo(Pdev* pdev, const MarginBlock* margins, ULONG size, GDIINFO* info) {
  const LONG r = GetDeviceResolution(pdev);
  const LONG s = GetDeviceScale(pdev);
  PageGeometry g{};
  if (!GeometryFromLayout(pdev, &g)) return FALSE;
  if (GetEffectiveItemNumber(&pdev->settings, pdev->config, kItemWholePaper) == 1) {
    g.x = g.y = 0;
    g.width = g.paperWidth;
    g.height = g.paperHeight;
  }
  if (margins != nullptr && GetEffectiveItemNumber(&pdev->settings, pdev->config, kItemPerPaperMargins) == 1 &&
      margins->paperId == GetPdevSettingWord(pdev, kItemPaperSize))
    ApplyMarginBlock(pdev, *margins, &g);
  g.width = std::max<LONG>(g.width, 1);
  g.height = std::max<LONG>(g.height, 1);

  const bool color = static_cast<SHORT>(GetPdevSettingWord(pdev, kItemColor)) == kDmColorColor;
  GDIINFO gdi{};
  gdi.ulVersion = 0x400;
  gdi.ulTechnology = DT_RASPRINTER;
  gdi.ulHorzSize = g.width * 10 / s;
  gdi.ulVertSize = g.height * 10 / s;
  gdi.ulHorzRes = g.width * r / 254;
  gdi.ulVertRes = g.height * r / 254;
  gdi.cBitsPixel = color ? 24 : 1;
  gdi.cPlanes = 1;
  gdi.ulNumColors = color ? 16 : 2;
  gdi.ulLogPixelsX = gdi.ulLogPixelsY = pdev->logicalResolution;
  gdi.flTextCaps = 0x19F7;
  gdi.ulAspectX = gdi.ulAspectY = r;
  gdi.ulAspectXY = r * 1414 / 1000;
  gdi.xStyleStep = gdi.yStyleStep = 1;
  gdi.denStyleStep = r / 25;
  gdi.ptlPhysOffset = {g.x * r / 254, g.y * r / 254};
  gdi.szlPhysSize = {g.paperWidth * r / 254, g.paperHeight * r / 254};
  gdi.ciDevice = kDeviceColors;
  gdi.ulHTPatternSize = PickHalftonePatternSize(r, r);
  gdi.ulHTOutputFormat =
      color && GetPdevSettingWord(pdev, kItemColorMode) != kColorModeMonochrome ? HT_FORMAT_4BPP : HT_FORMAT_1BPP;
  gdi.flHTFlags = HT_FLAG_HAS_BLACK_DYE;
  std::memcpy(info, &gdi, std::min<ULONG>(size, sizeof gdi));
  return TRUE;
}

BOOL CreateDevicePalette(Pdev* pdev, ULONG size, DEVINFO* info) {
  const LONG r = GetDeviceResolution(pdev);
  DEVINFO dev{};
  dev.flGraphicsCaps = GetPdevSettingWord(pdev, kItemJournal) != 0 ? 0x11F : 0x11F | GCAPS_DONTJOURNAL;
  dev.lfDefaultFont.lfHeight = -(r * 10 / 72);
  dev.lfDefaultFont.lfCharSet = DEFAULT_CHARSET;
  dev.lfAnsiVarFont = dev.lfDefaultFont;
  dev.lfAnsiVarFont.lfCharSet = ANSI_CHARSET;
  dev.lfAnsiVarFont.lfPitchAndFamily = 0x22;
  SetFace(&dev.lfAnsiVarFont, u"Helvetica");
  dev.lfAnsiFixFont = dev.lfDefaultFont;
  dev.lfAnsiFixFont.lfCharSet = ANSI_CHARSET;
  dev.lfAnsiFixFont.lfPitchAndFamily = 0x31;
  SetFace(&dev.lfAnsiFixFont, u"Courier");
  dev.cFonts = 0;
  dev.iDitherFormat = BMF_24BPP;
  if (pdev->palette != nullptr) {
    EngDeletePalette(pdev->palette);
    pdev->palette = nullptr;
  }
  pdev->palette = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
  if (pdev->palette == nullptr) return FALSE;
  dev.hpalDefault = pdev->palette;
  std::memcpy(info, &dev, std::min<ULONG>(size, sizeof dev));
  return TRUE;
}

// System colours and metrics (see sys_colors.h).
#include "platform/user/sys_colors.h"

#include <array>
#include <mutex>

#include "platform/gdi/dc.h"
#include "platform/gdi/drawing.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"

namespace {

// The platform's classic default scheme.
constexpr std::array<COLORREF, kSystemColours> kColours = {
    RGB(212, 208, 200),  // scroll bar
    RGB(58, 110, 165),   // background
    RGB(10, 36, 106),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(212, 208, 200),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(212, 208, 200),  // active border
    RGB(212, 208, 200),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(10, 36, 106),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(212, 208, 200),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(212, 208, 200),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3D dark shadow
    RGB(212, 208, 200),  // 3D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
};

HBRUSH SystemBrush(int index) { return GetSysColorBrush(index); }

// GDI's FillRect and FrameRect take COLOR_x + 1 for these brushes.
const bool registeredBrushes = (GdiSetSystemBrushSource(&SystemBrush), true);

}  // namespace

DWORD GetSysColor(int index) { return index >= 0 && index < kSystemColours ? kColours[size_t(index)] : 0; }

HBRUSH GetSysColorBrush(int index) {
  static std::once_flag once;
  static std::array<HBRUSH, kSystemColours> brushes{};
  std::call_once(once, [] {
    for (size_t i = 0; i < kColours.size(); ++i) brushes[i] = GdiCreatePermanentBrush(kColours[i]);
  });
  return index >= 0 && index < kSystemColours ? brushes[size_t(index)] : nullptr;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return kScreenWidth;
    case SM_CYSCREEN: return kScreenHeight;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return kScrollBarSize;
    case SM_CYCAPTION: return kCaptionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER: return kBorderWidth;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return kFrameWidth;
    case SM_CXEDGE:
    case SM_CYEDGE: return kClientEdgeWidth;
    case SM_CXICON:
    case SM_CYICON: return kIconSize;
    case SM_CXSMICON:
    case SM_CYSMICON: return kSmallIconSize;
    default: return 0;
  }
}

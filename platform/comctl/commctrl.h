// The common controls: what all of them share (the notice header, the common notices, the
// set-up call) and the class names. Each control family has its own header (updown.h,
// trackbar.h, progress.h, tooltip.h, tabctrl.h, treeview.h, imagelist.h); property sheets are in
// propsheet.h. The classes are the layer's own and exist from the start, so a dialog template
// may name them before InitCommonControlsEx is called, which only answers TRUE.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/user/window.h"

#define UPDOWN_CLASSW u"msctls_updown32"
#define TRACKBAR_CLASSW u"msctls_trackbar32"
#define PROGRESS_CLASSW u"msctls_progress32"
#define TOOLTIPS_CLASSW u"tooltips_class32"
#define WC_TREEVIEWW u"SysTreeView32"
#define WC_TABCONTROLW u"SysTabControl32"

// Notices every common control may send.
#define NM_FIRST 0U
#define NM_OUTOFMEMORY (NM_FIRST - 1)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RETURN (NM_FIRST - 4)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_SETFOCUS (NM_FIRST - 7)
#define NM_KILLFOCUS (NM_FIRST - 8)

// Messages every common control answers.
#define CCM_FIRST 0x2000
#define CCM_SETBKCOLOR (CCM_FIRST + 1)
#define CCM_SETUNICODEFORMAT (CCM_FIRST + 5)
#define CCM_GETUNICODEFORMAT (CCM_FIRST + 6)

struct INITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;

#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_BAR_CLASSES 0x00000004
#define ICC_TAB_CLASSES 0x00000008
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_PROGRESS_CLASS 0x00000020
#define ICC_HOTKEY_CLASS 0x00000040
#define ICC_ANIMATE_CLASS 0x00000080
#define ICC_WIN95_CLASSES 0x000000FF
#define ICC_STANDARD_CLASSES 0x00004000

// TRUE for a structure of the right size (the classes are always there).
PLATFORM_API BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
PLATFORM_API void InitCommonControls();

// The progress bar ("msctls_progress32"): a position within a range, moved by the owner.
#pragma once

#include "platform/comctl/commctrl.h"

#define PBS_SMOOTH 0x01
#define PBS_VERTICAL 0x04
#define PBS_MARQUEE 0x08

#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETSTEP (WM_USER + 4)
#define PBM_STEPIT (WM_USER + 5)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)
#define PBM_SETBARCOLOR (WM_USER + 9)
#define PBM_SETMARQUEE (WM_USER + 10)
#define PBM_SETBKCOLOR CCM_SETBKCOLOR

struct PBRANGE {
  int iLow;
  int iHigh;
};
using PPBRANGE = PBRANGE*;

// CLR_DEFAULT: the system colour.
#define CLR_DEFAULT 0xFF000000L
#define CLR_NONE 0xFFFFFFFFL

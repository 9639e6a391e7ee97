// The up-down control ("msctls_updown32"): a pair of arrows that step a position within a
// range, optionally writing it into a buddy window (usually an edit) as a number.
#pragma once

#include "platform/comctl/commctrl.h"

#define UDS_WRAP 0x0001
#define UDS_SETBUDDYINT 0x0002
#define UDS_ALIGNRIGHT 0x0004
#define UDS_ALIGNLEFT 0x0008
#define UDS_AUTOBUDDY 0x0010
#define UDS_ARROWKEYS 0x0020
#define UDS_HORZ 0x0040
#define UDS_NOTHOUSANDS 0x0080
#define UDS_HOTTRACK 0x0100

#define UDM_SETRANGE (WM_USER + 101)
#define UDM_GETRANGE (WM_USER + 102)
#define UDM_SETPOS (WM_USER + 103)
#define UDM_GETPOS (WM_USER + 104)
#define UDM_SETBUDDY (WM_USER + 105)
#define UDM_GETBUDDY (WM_USER + 106)
#define UDM_SETACCEL (WM_USER + 107)
#define UDM_GETACCEL (WM_USER + 108)
#define UDM_SETBASE (WM_USER + 109)
#define UDM_GETBASE (WM_USER + 110)
#define UDM_SETRANGE32 (WM_USER + 111)
#define UDM_GETRANGE32 (WM_USER + 112)
#define UDM_SETPOS32 (WM_USER + 113)
#define UDM_GETPOS32 (WM_USER + 114)

#define UD_MAXVAL 0x7FFF
#define UD_MINVAL (-UD_MAXVAL)

#define UDN_FIRST (0U - 721)
#define UDN_DELTAPOS (UDN_FIRST - 1)

// UDN_DELTAPOS: the position before the step and the step proposed; the parent may change
// iDelta, and a non-zero answer cancels the step.
struct NMUPDOWN {
  NMHDR hdr;
  int iPos;
  int iDelta;
};
using LPNMUPDOWN = NMUPDOWN*;

struct UDACCEL {
  UINT nSec;
  UINT nInc;
};

// The arrows' width when the control is aligned beside its buddy.
inline constexpr int kUpDownWidth = 16;

// System colours and metrics: the platform's default colour scheme as a fixed table, brushes
// of those colours that live as long as the process, and the sizes GetSystemMetrics answers.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_BTNSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CXEDGE 45
#define SM_CYEDGE 46

// The number of system colours (COLOR_SCROLLBAR .. COLOR_INFOBK).
inline constexpr int kSystemColours = 25;

// The colour of an index; 0 for an index outside the table.
PLATFORM_API DWORD GetSysColor(int index);
// A brush of that colour that is never deleted (DeleteObject leaves it); NULL outside the table.
PLATFORM_API HBRUSH GetSysColorBrush(int index);
// The screen, frame, scroll-bar and icon sizes of the layer's windows; 0 for other indexes.
PLATFORM_API int GetSystemMetrics(int index);

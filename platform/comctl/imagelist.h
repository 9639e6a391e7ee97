// Image lists: numbered pictures of one size, kept as icons (each image added is copied, so
// the caller keeps its own icon), drawn into a DC.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/comctl/commctrl.h"

struct ImageListRecord;
using HIMAGELIST = ImageListRecord*;

#define ILC_MASK 0x0001
#define ILC_COLOR 0x0000
#define ILC_COLOR4 0x0004
#define ILC_COLOR8 0x0008
#define ILC_COLOR16 0x0010
#define ILC_COLOR24 0x0018
#define ILC_COLOR32 0x0020

#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define ILD_MASK 0x0010
#define ILD_IMAGE 0x0020

// NULL with ERROR_INVALID_PARAMETER for sizes outside 1..256.
PLATFORM_API HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
PLATFORM_API BOOL ImageList_Destroy(HIMAGELIST list);
PLATFORM_API int ImageList_GetImageCount(HIMAGELIST list);
PLATFORM_API BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Replaces image `index` with a copy of the icon (-1 appends); answers the image's index or -1.
PLATFORM_API int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
// Removes image `index` (-1: all of them).
PLATFORM_API BOOL ImageList_Remove(HIMAGELIST list, int index);
// A new icon of the image (the caller destroys it).
PLATFORM_API HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
PLATFORM_API BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
PLATFORM_API COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour);
PLATFORM_API COLORREF ImageList_GetBkColor(HIMAGELIST list);
